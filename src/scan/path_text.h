#pragma once
// Path and name helpers shared by the scan, the report and the tools.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The folder path, one separator, the name. A folder that already ends in a
// separator (the Linux root "/") gets none added, so separators never double.
std::string JoinPath(const std::string& folder, const char* name);

// True for the pseudo-entries "." and ".." (nothing else: ".profile" and "..." are names).
inline bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Case-insensitive comparison as the C runtime's _stricmp does it in the C locale:
// A-Z folded to lower case, then bytes compared as unsigned values.
int CompareNoCase(const char* a, const char* b);

// Copies text into a fixed field of `size` bytes. Returns false, leaving the field
// empty, when the text and its terminator do not fit: a cut path would name
// another file.
bool CopyToField(char* field, size_t size, const std::string& text);

// Drops trailing separators, but keeps a root ("/" stays "/"; "C:\" becomes "C:").
std::string TrimTrailingSeparators(std::string path);

// A separator: '\\' or '/' on Windows, '/' elsewhere.
inline bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// A path as the tree takes it: its root (with its separator: "/", "C:\", "\\server\share\";
// empty for a relative path) and the names after it.
struct SplitPath {
    std::string root;
    std::vector<std::string_view> names; // views into the path given

    explicit SplitPath(const std::string& path);
    // The names point into the path, which must outlive them: never a temporary.
    explicit SplitPath(std::string&&) = delete;
};
