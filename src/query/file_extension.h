#pragma once
// A file's type as its name tells it: the text after the last dot, unless that dot is the
// name's first character (".bashrc" has none) or nothing follows it ("notes." has none).
// Case does not matter: "photo.JPG" and "photo.jpg" are one type, named in lower case.
// Only ASCII letters are folded, as the names' other bytes are UTF-8 left as they are.

#include <string>
#include <string_view>

// What a name without an extension is listed as.
constexpr const char* kNoExtensionText = "(none)";

// The extension as the name spells it; empty when there is none.
std::string_view ExtensionOf(std::string_view name);

// The extension in lower case; empty when there is none.
std::string ExtensionKey(std::string_view name);

// The key as a list shows it: the key itself, or kNoExtensionText.
std::string ExtensionText(const std::string& key);

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
