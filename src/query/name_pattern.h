#pragma once
// What a search looks for in a file's name. Plain text is found anywhere in the name; text
// with wildcards ('*' any run of characters, '?' one character) must match the whole name;
// both regardless of the case of ASCII letters. A regular expression (ECMAScript, through the
// standard library, also regardless of case) is found anywhere in the name. Empty text
// matches every name.

#include <memory>
#include <regex>
#include <string>

class NamePattern {
public:
    enum class Kind { Everything, Substring, Wildcard, Regex };

    // Takes `text` as a pattern, or as a regular expression when `regex` is set. False, with
    // why in `error`, for a regular expression that is not one.
    bool Compile(const std::string& text, bool regex, std::string& error);

    Kind GetKind() const { return m_kind; }
    bool Matches(const char* name) const;

private:
    Kind m_kind = Kind::Everything;
    std::string m_lower; // the text with ASCII letters in lower case
    std::shared_ptr<const std::regex> m_regex;
};

// Case-insensitive (ASCII letters) matches, for names and patterns given as UTF-8.
bool ContainsFolded(const char* name, const std::string& lowerText);
bool WildcardMatchesFolded(const char* name, const char* lowerPattern);
