#include "type_colours.h"

#include <cmath>

namespace {

constexpr uint32_t kFirstColours[] = {
    0xFF4E79D8u, 0xFFE8743Bu, 0xFF3FB67Eu, 0xFFD94B5Eu, 0xFF9D6CD6u, 0xFFE0C53Au,
    0xFF3EC1D3u, 0xFFD768B6u, 0xFF8DBE3Cu, 0xFFB07D50u, 0xFF6F8FA8u, 0xFFF29E9Eu,
};
constexpr size_t kFirstCount = sizeof kFirstColours / sizeof kFirstColours[0];

// Hue in turns, saturation and value from 0 to 1.
uint32_t FromHsv(double hue, double saturation, double value) {
    const double h = (hue - std::floor(hue)) * 6.0;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double p = value * (1 - saturation), q = value * (1 - saturation * f),
                 t = value * (1 - saturation * (1 - f));
    double r = value, g = t, b = p;
    switch (sector) {
    case 1:
        r = q, g = value, b = p;
        break;
    case 2:
        r = p, g = value, b = t;
        break;
    case 3:
        r = p, g = q, b = value;
        break;
    case 4:
        r = t, g = p, b = value;
        break;
    case 5:
        r = value, g = p, b = q;
        break;
    default:
        break;
    }
    auto channel = [](double v) { return static_cast<uint32_t>(std::lround(v * 255.0)); };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

// Step n of the sequence beyond the first colours.
uint32_t SteppedColour(size_t n) {
    constexpr double kGoldenTurn = 0.3819660112501051; // 1 - 1/φ of a turn
    static const double kValues[] = {0.86, 0.70, 0.95};
    static const double kSaturations[] = {0.62, 0.55, 0.45};
    const double hue = 0.07 + kGoldenTurn * static_cast<double>(n);
    return FromHsv(hue, kSaturations[(n / 3) % 3], kValues[n % 3]);
}

} // namespace

uint32_t TypeColourTable::ColourOf(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_colours.find(key);
    if (it != m_colours.end())
        return it->second;
    const uint32_t colour = NextFreeColour();
    m_colours.emplace(key, colour);
    return colour;
}

size_t TypeColourTable::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_colours.size();
}

TypeColourTable& TypeColourTable::Program() {
    static TypeColourTable table;
    return table;
}

uint32_t TypeColourTable::NextFreeColour() {
    for (;;) {
        const size_t n = m_nNext++;
        const uint32_t base = n < kFirstCount ? kFirstColours[n] : SteppedColour(n - kFirstCount);
        // Past some thousands of types the stepped hues round to colours given before: a
        // free one that differs in the low bits of its channels is as good.
        for (uint32_t k = 0; k < 512; ++k) {
            const uint32_t colour = base ^ ((k & 7) | (k >> 3 & 7) << 8 | (k >> 6 & 7) << 16);
            if (m_given.insert(colour).second)
                return colour;
        }
    }
}
