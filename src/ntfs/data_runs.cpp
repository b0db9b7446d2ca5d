#include "data_runs.h"

namespace {

// The `width`-byte little-endian number at `p`, sign-extended when `bSigned`.
int64_t Field(const uint8_t* p, unsigned width, bool bSigned) {
    uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value |= uint64_t{p[i]} << (8 * i);
    if (bSigned && width < 8 && (p[width - 1] & 0x80))
        value |= ~uint64_t{0} << (8 * width);
    return static_cast<int64_t>(value);
}

} // namespace

bool DecodeDataRuns(const uint8_t* runs, size_t size, uint64_t clusters, uint64_t volumeClusters,
                    std::vector<Extent>& extents, std::string& why) {
    size_t at = 0;
    uint64_t covered = 0;
    int64_t cluster = 0; // each run's start is given relative to the previous one's
    while (at < size && runs[at] != 0) {
        const unsigned countWidth = runs[at] & 0x0F;
        const unsigned startWidth = runs[at] >> 4;
        ++at;
        if (countWidth == 0 || countWidth > 8 || startWidth > 8 ||
            size - at < countWidth + startWidth) {
            why = "a data run is malformed";
            return false;
        }
        const uint64_t count = static_cast<uint64_t>(Field(runs + at, countWidth, false));
        at += countWidth;
        if (count == 0 || count > clusters - covered) {
            why = "data runs cover more clusters than their attribute holds";
            return false;
        }
        covered += count;
        if (startWidth == 0) {
            extents.push_back({Extent::kSparse, count});
            continue;
        }
        const int64_t delta = Field(runs + at, startWidth, true);
        at += startWidth;
        if ((delta > 0 && cluster > INT64_MAX - delta) || cluster + delta < 0) {
            why = "a data run starts before the volume";
            return false;
        }
        cluster += delta;
        const uint64_t start = static_cast<uint64_t>(cluster);
        if (start >= volumeClusters || count > volumeClusters - start) {
            why = "a data run lies past the end of the volume";
            return false;
        }
        extents.push_back({start, count});
    }
    if (covered != clusters) {
        why = "data runs cover fewer clusters than their attribute holds";
        return false;
    }
    return true;
}
