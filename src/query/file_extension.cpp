#include "file_extension.h"

std::string_view ExtensionOf(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return std::string_view();
    return name.substr(dot + 1);
}

std::string ExtensionKey(std::string_view name) {
    std::string key(ExtensionOf(name));
    for (char& c : key)
        c = LowerAscii(c);
    return key;
}

std::string ExtensionText(const std::string& key) {
    return key.empty() ? std::string(kNoExtensionText) : key;
}
