#include "size_text.h"

#include <cstdio>

namespace {

constexpr uint64_t kMB = uint64_t{1} << 20;
constexpr uint64_t kGB = uint64_t{1} << 30;

// bytes / 2^shift in tenths, rounded to nearest with an exact tie going away from
// zero. Integer arithmetic: printf rounds ties to even, which would make 256 bytes
// "0.2 KB" instead of "0.3 KB".
uint64_t TenthsOf(uint64_t bytes, int shift) {
    const uint64_t unit = uint64_t{1} << shift;
    const uint64_t whole = bytes >> shift;
    const uint64_t rest10 = (bytes & (unit - 1)) * 10; // < 10 * 2^30, fits
    uint64_t tenths = whole * 10 + rest10 / unit;
    if ((rest10 % unit) * 2 >= unit)
        ++tenths;
    return tenths;
}

} // namespace

std::string FormatSize(int64_t bytes) {
    if (bytes == 0)
        return "0 KB";
    const bool negative = bytes < 0;
    // The value as a double, as the unit arithmetic is defined on it: counts above
    // 2^53 keep the double's rounding. The magnitude of INT64_MIN fits unsigned.
    const uint64_t magnitude =
        negative ? uint64_t{0} - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
    const uint64_t value = static_cast<uint64_t>(static_cast<double>(magnitude));

    const char* unit = "KB";
    int shift = 10;
    if (magnitude >= kGB) {
        unit = "GB";
        shift = 30;
    } else if (magnitude >= kMB) {
        unit = "MB";
        shift = 20;
    }
    const uint64_t tenths = TenthsOf(value, shift);
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu.%u %s", negative ? "-" : "",
                  static_cast<unsigned long long>(tenths / 10), static_cast<unsigned>(tenths % 10),
                  unit);
    return text;
}

int64_t ParseSizeText(const std::string& text) {
    if (text.size() < 3)
        return 0;
    const std::string unit = text.substr(text.size() - 2);
    const std::string number = text.substr(0, text.size() - 3);

    // The leading decimal number, as atof would read it, but independent of the
    // locale's decimal point and exact for the one-decimal texts: tenths * scale / 10.
    size_t i = 0;
    while (i < number.size() && (number[i] == ' ' || number[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '-' || number[i] == '+'))
        negative = number[i++] == '-';
    // Sizes this large do not occur; stop before the arithmetic could overflow.
    constexpr int64_t kLimit = INT64_C(1) << 30;
    int64_t whole = 0;
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
        if (whole < kLimit)
            whole = whole * 10 + (number[i] - '0');
    // Fraction digits: keep up to six (micro-units), enough for any text we write.
    int64_t fraction = 0, fractionScale = 1;
    if (i < number.size() && number[i] == '.')
        for (++i; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
            if (fractionScale < 1000000) {
                fraction = fraction * 10 + (number[i] - '0');
                fractionScale *= 10;
            }

    int64_t scale = 1;
    if (unit == "MB")
        scale = 1024;
    else if (unit == "GB")
        scale = 1048576;
    const int64_t kilobytes = whole * scale + fraction * scale / fractionScale;
    return negative ? -kilobytes : kilobytes;
}
