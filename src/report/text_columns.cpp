#include "text_columns.h"

#include <algorithm>
#include <cstdint>

namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

// Combining marks and zero-width characters of the scripts names are written in.
constexpr CodeRange kZeroWidth[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489},   {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7},   {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
    {0x06D6, 0x06DC}, {0x06DF, 0x06E4},   {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0711, 0x0711},
    {0x0730, 0x074A}, {0x0900, 0x0902},   {0x093A, 0x093A}, {0x093C, 0x093C}, {0x0941, 0x0948},
    {0x094D, 0x094D}, {0x0951, 0x0957},   {0x0962, 0x0963}, {0x0981, 0x0981}, {0x09BC, 0x09BC},
    {0x09C1, 0x09C4}, {0x09CD, 0x09CD},   {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
    {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},   {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x2064},
    {0x20D0, 0x20FF}, {0x302A, 0x302D},   {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
    {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

// East Asian wide and fullwidth characters.
constexpr CodeRange kDoubleWidth[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

template <size_t N> bool InRanges(char32_t c, const CodeRange (&ranges)[N]) {
    const CodeRange* end = ranges + N;
    const CodeRange* it = std::lower_bound(
        ranges, end, c, [](const CodeRange& range, char32_t value) { return range.last < value; });
    return it != end && it->first <= c;
}

// Decodes the character at text[i]; returns its length in bytes, 0 for a byte that does
// not start a valid, shortest-form sequence.
size_t DecodeUtf8(const std::string& text, size_t i, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

size_t DisplayWidth(const std::string& text) {
    size_t width = 0;
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) { // the common case, one column
            ++width;
            ++i;
            continue;
        }
        char32_t c = 0;
        const size_t length = DecodeUtf8(text, i, c);
        if (length == 0) {
            ++width;
            ++i;
            continue;
        }
        i += length;
        if (InRanges(c, kZeroWidth))
            continue;
        width += InRanges(c, kDoubleWidth) ? 2 : 1;
    }
    return width;
}

std::string PrintableText(const std::string& text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x7F;
    });
    if (plain)
        return text;
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(text, i, c);
        if (length == 0) {
            // Not UTF-8: kept, except a byte an 8-bit terminal takes as a C1 control.
            const auto byte = static_cast<unsigned char>(text[i++]);
            shown += IsControl(byte) ? '?' : static_cast<char>(byte);
            continue;
        }
        if (IsControl(c))
            shown += '?';
        else
            shown.append(text, i, length);
        i += length;
    }
    return shown;
}
