#include "generic_type_name.h"

#include <cstring>

std::string GenericTypeName(const char* name, bool bFolder) {
    if (bFolder)
        return "File folder";
    const char* dot = std::strrchr(name, '.');
    if (!dot || dot[1] == '\0')
        return "File";
    std::string type;
    for (const char* p = dot + 1; *p; ++p)
        type += (*p >= 'a' && *p <= 'z') ? static_cast<char>(*p - ('a' - 'A')) : *p;
    return type + " File";
}
