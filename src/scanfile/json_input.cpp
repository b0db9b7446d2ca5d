#include "json_input.h"

#include <cstring>

namespace {

constexpr size_t kBufferBytes = size_t{1} << 16;

// A byte as an error message names it.
std::string Describe(int c) {
    if (c > 0x20 && c < 0x7f)
        return std::string("'") + static_cast<char>(c) + "'";
    static const char kHex[] = "0123456789abcdef";
    return std::string("byte 0x") + kHex[(c >> 4) & 15] + kHex[c & 15];
}

void AppendUtf8(std::string& text, uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | code >> 12);
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | code >> 18);
        text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

JsonInput::JsonInput(ReadBytes read) : m_read(std::move(read)), m_buffer(new char[kBufferBytes]) {
    m_pNext = m_pEnd = m_buffer.get();
}

bool JsonInput::Refill() {
    if (m_bEnded)
        return false;
    m_nOffset += static_cast<uint64_t>(m_pEnd - m_buffer.get());
    m_pNext = m_pEnd = m_buffer.get();
    const int64_t got = m_read(m_buffer.get(), kBufferBytes);
    if (got < 0)
        FailHere("the file could not be read");
    if (got == 0) {
        m_bEnded = true;
        return false;
    }
    m_pEnd = m_buffer.get() + got;
    return true;
}

int JsonInput::NextByte() {
    if (m_pNext == m_pEnd && !Refill())
        return -1;
    return static_cast<unsigned char>(*m_pNext++);
}

void JsonInput::SkipSpaceAndRefill() {
    for (;;) {
        while (m_pNext != m_pEnd) {
            const char c = *m_pNext;
            if (c == '\n') {
                ++m_pNext;
                ++m_nLine;
                m_nLineStart = Offset();
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++m_pNext;
            } else {
                return;
            }
        }
        if (!Refill())
            return;
    }
}

int JsonInput::Peek() {
    SkipSpace();
    return m_pNext == m_pEnd ? -1 : static_cast<unsigned char>(*m_pNext);
}

bool JsonInput::Take(char c) {
    if (Peek() != static_cast<unsigned char>(c))
        return false;
    ++m_pNext;
    return true;
}

void JsonInput::Expect(char c, const char* what) {
    if (Take(c))
        return;
    const int found = Peek();
    if (found < 0)
        FailHere(std::string("the file ends where ") + what + " should be");
    FailHere(std::string("expected ") + what + ", found " + Describe(found));
}

TextPosition JsonInput::Here() {
    SkipSpace();
    return {m_nLine, Offset() - m_nLineStart + 1};
}

void JsonInput::Fail(const TextPosition& where, const std::string& reason) const {
    throw JsonInputError(where, reason);
}

void JsonInput::FailHere(const std::string& reason) {
    // Not through Here: a failed read must not read on.
    Fail({m_nLine, Offset() - m_nLineStart + 1}, reason);
}

void JsonInput::String(std::string& text, size_t limit, bool bTrim) {
    text.clear();
    const TextPosition start = Here();
    Expect('"', "a string");
    auto append = [&](const char* bytes, size_t count) {
        if (text.size() + count <= limit) {
            text.append(bytes, count);
        } else if (bTrim) {
            text.append(bytes, limit - text.size());
        } else {
            Fail(start, "a string longer than " + std::to_string(limit) + " bytes");
        }
    };
    for (;;) {
        // Plain bytes go over in runs.
        const char* run = m_pNext;
        while (m_pNext != m_pEnd) {
            const unsigned char c = static_cast<unsigned char>(*m_pNext);
            if (c == '"' || c == '\\' || c < 0x20)
                break;
            ++m_pNext;
        }
        if (m_pNext != run)
            append(run, static_cast<size_t>(m_pNext - run));
        if (m_pNext == m_pEnd) {
            if (!Refill())
                FailHere("the file ends inside a string");
            continue; // the buffer ended within the run
        }
        const int c = static_cast<unsigned char>(*m_pNext);
        if (c < 0x20)
            FailHere("a control character (" + Describe(c) + ") inside a string");
        ++m_pNext;
        if (c == '"')
            return;
        const int e = NextByte();
        char plain;
        switch (e) {
        case '"':
            plain = '"';
            break;
        case '\\':
            plain = '\\';
            break;
        case '/':
            plain = '/';
            break;
        case 'b':
            plain = '\b';
            break;
        case 'f':
            plain = '\f';
            break;
        case 'n':
            plain = '\n';
            break;
        case 'r':
            plain = '\r';
            break;
        case 't':
            plain = '\t';
            break;
        case 'u': {
            uint32_t code = HexDigits();
            if (code >= 0xDC00 && code <= 0xDFFF)
                FailHere("a \\u escape of half a character (a low surrogate alone)");
            if (code >= 0xD800 && code <= 0xDBFF) {
                if (NextByte() != '\\' || NextByte() != 'u')
                    FailHere("a \\u escape of half a character (a high surrogate alone)");
                const uint32_t low = HexDigits();
                if (low < 0xDC00 || low > 0xDFFF)
                    FailHere("a \\u escape of half a character (a high surrogate alone)");
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            std::string bytes;
            AppendUtf8(bytes, code);
            append(bytes.data(), bytes.size());
            continue;
        }
        default:
            if (e < 0)
                FailHere("the file ends inside a string");
            --m_pNext;
            FailHere("an unknown escape \\" + std::string(1, static_cast<char>(e)) +
                     " inside a string");
        }
        append(&plain, 1);
    }
}

unsigned JsonInput::HexDigits() {
    unsigned code = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = NextByte();
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            FailHere(c < 0 ? "the file ends inside a string"
                           : "a \\u escape without four hexadecimal digits");
        code = code << 4 | digit;
    }
    return code;
}

uint64_t JsonInput::Integer(bool& negative) {
    const TextPosition start = Here();
    negative = Take('-');
    if (m_pNext == m_pEnd && !Refill())
        FailHere("the file ends where a number should be");
    int c = static_cast<unsigned char>(*m_pNext);
    if (c < '0' || c > '9')
        FailHere("expected a number, found " + Describe(c));
    uint64_t value = 0;
    int digits = 0;
    for (;;) {
        if (m_pNext == m_pEnd && !Refill())
            break;
        c = static_cast<unsigned char>(*m_pNext);
        if (c < '0' || c > '9')
            break;
        if (digits == 1 && value == 0)
            Fail(start, "a number with a leading zero");
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            Fail(start, "a number too large for 64 bits");
        value = value * 10 + digit;
        ++digits;
        ++m_pNext;
    }
    if (m_pNext != m_pEnd && *m_pNext == '.') {
        ++m_pNext;
        int fraction = 0;
        while ((m_pNext != m_pEnd || Refill()) && *m_pNext >= '0' && *m_pNext <= '9') {
            ++m_pNext;
            ++fraction;
        }
        if (fraction == 0)
            FailHere("a number without digits after its point");
    }
    if (m_pNext != m_pEnd && (*m_pNext == 'e' || *m_pNext == 'E'))
        Fail(start, "a number with an exponent where a whole number should be");
    return value;
}

void JsonInput::SkipNumber() {
    Take('-');
    int digits = 0;
    auto skipDigits = [&] {
        digits = 0;
        while ((m_pNext != m_pEnd || Refill()) && *m_pNext >= '0' && *m_pNext <= '9') {
            ++m_pNext;
            ++digits;
        }
    };
    skipDigits();
    if (digits == 0)
        FailHere("a number without digits");
    if ((m_pNext != m_pEnd || Refill()) && *m_pNext == '.') {
        ++m_pNext;
        skipDigits();
        if (digits == 0)
            FailHere("a number without digits after its point");
    }
    if ((m_pNext != m_pEnd || Refill()) && (*m_pNext == 'e' || *m_pNext == 'E')) {
        ++m_pNext;
        if ((m_pNext != m_pEnd || Refill()) && (*m_pNext == '+' || *m_pNext == '-'))
            ++m_pNext;
        skipDigits();
        if (digits == 0)
            FailHere("a number without digits in its exponent");
    }
}

void JsonInput::Word(const char* word) {
    const TextPosition start = Here();
    for (const char* p = word; *p; ++p)
        if (NextByte() != static_cast<unsigned char>(*p))
            Fail(start, std::string("expected ") + word);
}

bool JsonInput::Boolean() {
    const int c = Peek();
    if (c == 't') {
        Word("true");
        return true;
    }
    if (c == 'f') {
        Word("false");
        return false;
    }
    FailHere(c < 0 ? std::string("the file ends where true or false should be")
                   : "expected true or false, found " + Describe(c));
}

void JsonInput::Skip(unsigned depth) {
    const int c = Peek();
    if (c == '[' || c == '{') {
        if (depth == 0)
            FailHere("values nested too deep");
        const char close = c == '[' ? ']' : '}';
        ++m_pNext;
        if (Take(close))
            return;
        std::string key;
        do {
            if (close == '}') {
                String(key, 0, true);
                Expect(':', "a colon");
            }
            Skip(depth - 1);
        } while (Take(','));
        Expect(close, close == ']' ? "a comma or ]" : "a comma or }");
    } else if (c == '"') {
        std::string text;
        String(text, 0, true);
    } else if (c == '-' || (c >= '0' && c <= '9')) {
        SkipNumber();
    } else if (c == 't' || c == 'f') {
        Boolean();
    } else if (c == 'n') {
        Word("null");
    } else if (c < 0) {
        FailHere("the file ends where a value should be");
    } else {
        FailHere("expected a value, found " + Describe(c));
    }
}
