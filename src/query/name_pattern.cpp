#include "name_pattern.h"

#include <cstring>

#include "file_extension.h"

namespace {

// How many bytes the UTF-8 sequence that starts with `lead` takes (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// One character of `name` at `p`: the end of it, never past the terminator.
const char* NextCharacter(const char* p) {
    const char* next = p + 1;
    for (size_t n = SequenceLength(static_cast<unsigned char>(*p)); n > 1 && *next; --n)
        ++next;
    return next;
}

std::string RegexErrorText(std::regex_constants::error_type code) {
    using namespace std::regex_constants;
    switch (code) {
    case error_brack:
        return "a [ without its ]";
    case error_paren:
        return "a ( or ) without its pair";
    case error_brace:
        return "a { or } without its pair";
    case error_badbrace:
        return "a repeat count in { } that is not one";
    case error_range:
        return "a range in [ ] that runs backwards";
    case error_badrepeat:
        return "a *, +, ? or { } with nothing before it to repeat";
    case error_escape:
        return "a \\ that escapes nothing";
    case error_backref:
        return "a back reference to a group that does not exist";
    case error_collate:
    case error_ctype:
        return "a character class that does not exist";
    case error_complexity:
    case error_stack:
        return "too complex";
    default:
        return "not a regular expression";
    }
}

} // namespace

bool ContainsFolded(const char* name, const std::string& lowerText) {
    const size_t n = lowerText.size();
    if (n == 0)
        return true;
    const char first = lowerText[0];
    for (const char* p = name; *p; ++p) {
        if (LowerAscii(*p) != first)
            continue;
        size_t i = 1;
        while (i < n && p[i] && LowerAscii(p[i]) == lowerText[i])
            ++i;
        if (i == n)
            return true;
    }
    return false;
}

bool WildcardMatchesFolded(const char* name, const char* lowerPattern) {
    // Greedy with one step back: on a mismatch the last '*' takes one more character.
    const char* star = nullptr;
    const char* resume = nullptr;
    const char* p = lowerPattern;
    const char* s = name;
    while (*s) {
        if (*p == '*') {
            star = ++p;
            resume = s;
        } else if (*p == '?') {
            ++p;
            s = NextCharacter(s);
        } else if (*p && *p == LowerAscii(*s)) {
            ++p;
            ++s;
        } else if (star) {
            p = star;
            s = resume = NextCharacter(resume);
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}

bool NamePattern::Compile(const std::string& text, bool regex, std::string& error) {
    m_regex.reset();
    m_lower = text;
    for (char& c : m_lower)
        c = LowerAscii(c);
    if (text.empty()) {
        m_kind = Kind::Everything;
        return true;
    }
    if (regex) {
        try {
            m_regex = std::make_shared<const std::regex>(
                text, std::regex::ECMAScript | std::regex::icase | std::regex::optimize);
        } catch (const std::regex_error& e) {
            error = "Invalid regular expression: " + RegexErrorText(e.code()) + ".";
            m_kind = Kind::Everything;
            return false;
        }
        m_kind = Kind::Regex;
        return true;
    }
    m_kind = text.find_first_of("*?") == std::string::npos ? Kind::Substring : Kind::Wildcard;
    return true;
}

bool NamePattern::Matches(const char* name) const {
    switch (m_kind) {
    case Kind::Everything:
        return true;
    case Kind::Substring:
        return ContainsFolded(name, m_lower);
    case Kind::Wildcard:
        return WildcardMatchesFolded(name, m_lower.c_str());
    case Kind::Regex:
        return std::regex_search(name, *m_regex);
    }
    return false;
}
