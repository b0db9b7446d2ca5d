#include "path_text.h"

#include <cstring>

std::string JoinPath(const std::string& folder, const char* name) {
    std::string path;
    path.reserve(folder.size() + 1 + std::strlen(name));
    path = folder;
    if (path.empty() || path.back() != kPathSeparator)
        path += kPathSeparator;
    path += name;
    return path;
}

static inline unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

int CompareNoCase(const char* a, const char* b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    for (;; ++pa, ++pb) {
        const unsigned char ca = FoldCase(*pa);
        const unsigned char cb = FoldCase(*pb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

bool CopyToField(char* field, size_t size, const std::string& text) {
    if (text.size() >= size) {
        field[0] = '\0';
        return false;
    }
    std::memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

std::string TrimTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == kPathSeparator || path.back() == '/'))
        path.pop_back();
    return path;
}
