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

SplitPath::SplitPath(const std::string& path) {
    size_t at = 0;
#ifdef _WIN32
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        // "\\server\share\" (or "\\?\C:\"): the first two names after the separators.
        at = 2;
        for (int part = 0; part < 2; ++part) {
            while (at < path.size() && !IsPathSeparator(path[at]))
                ++at;
            if (part == 0 && at < path.size())
                ++at;
        }
        root = path.substr(0, at) + '\\';
    } else if (path.size() >= 2 && path[1] == ':') {
        root = path.substr(0, 2) + '\\';
        if (root[0] >= 'a' && root[0] <= 'z')
            root[0] = static_cast<char>(root[0] - 'a' + 'A');
        at = 2;
    } else if (!path.empty() && IsPathSeparator(path[0])) {
        root = "\\";
    }
    for (char& c : root)
        if (c == '/')
            c = '\\';
#else
    if (!path.empty() && path[0] == '/')
        root = "/";
#endif
    while (at < path.size()) {
        while (at < path.size() && IsPathSeparator(path[at]))
            ++at;
        const size_t start = at;
        while (at < path.size() && !IsPathSeparator(path[at]))
            ++at;
        if (at > start)
            names.emplace_back(path.data() + start, at - start);
    }
}
