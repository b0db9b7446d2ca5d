#pragma once
// JSON text read as it streams in, a value at a time, for a reader that knows the shape it
// expects: nothing of the document is kept but the value being read. Every fault (malformed
// text, a value too large, the end of the input too early) throws JsonInputError with the
// reason and the line and byte where it was found.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// Fills `buffer` with up to `size` bytes of the input: how many it gave, 0 at its end, -1 when
// it could not be read.
using ReadBytes = std::function<int64_t(char* buffer, size_t size)>;

// Where in the text: line and byte in that line, both from 1.
struct TextPosition {
    uint64_t line = 1;
    uint64_t byte = 1;
};

class JsonInputError : public std::runtime_error {
public:
    JsonInputError(const TextPosition& where, const std::string& reason)
        : std::runtime_error(reason), position(where) {}
    TextPosition position;
};

class JsonInput {
public:
    explicit JsonInput(ReadBytes read);

    // The next byte after white space, not taken; -1 at the end of the input.
    int Peek();
    // Takes the next byte after white space when it is `c`.
    bool Take(char c);
    // Takes `c`, or fails naming what was expected there.
    void Expect(char c, const char* what);
    // The position of the next byte after white space.
    TextPosition Here();
    // Bytes taken so far.
    uint64_t Offset() const { return m_nOffset + static_cast<uint64_t>(m_pNext - m_buffer.get()); }

    // A string into `text` (escapes resolved; bytes that are not UTF-8 kept as they are). One
    // longer than `limit` bytes fails, unless `bTrim`: then `text` is cut at the limit and
    // the rest is read past.
    void String(std::string& text, size_t limit, bool bTrim = false);
    // An integer; a fraction is dropped, an exponent fails. `negative` tells its sign; the
    // value beyond what 64 bits hold fails.
    uint64_t Integer(bool& negative);
    bool Boolean();
    // Reads past any value, nested at most `depth` deep.
    void Skip(unsigned depth);

    [[noreturn]] void Fail(const TextPosition& where, const std::string& reason) const;

private:
    bool Refill();
    int NextByte(); // -1 at the end
    void SkipSpace() {
        // Most tokens follow one another without white space between them.
        if (m_pNext == m_pEnd || static_cast<unsigned char>(*m_pNext) <= ' ')
            SkipSpaceAndRefill();
    }
    void SkipSpaceAndRefill();
    [[noreturn]] void FailHere(const std::string& reason);
    void Word(const char* word);
    unsigned HexDigits();
    void SkipNumber();

    ReadBytes m_read;
    std::unique_ptr<char[]> m_buffer; // not cleared first: only what was read is read
    const char* m_pNext = nullptr;
    const char* m_pEnd = nullptr;
    uint64_t m_nOffset = 0;    // of the buffer's first byte in the input
    uint64_t m_nLine = 1;      // of the next byte
    uint64_t m_nLineStart = 0; // offset of that line's first byte
    bool m_bEnded = false;
};
