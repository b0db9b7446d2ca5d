#pragma once
// Where a non-resident attribute's clusters lie: its runs, as packed in the attribute.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Extent {
    uint64_t nCluster; // on the volume; kSparse for a run that takes no clusters
    uint64_t nCount;   // clusters
    static constexpr uint64_t kSparse = ~uint64_t{0};
};

// Decodes the runs packed in [runs, runs + size), appending them to `extents`. They must
// cover exactly `clusters` clusters and lie wholly within a volume of `volumeClusters`.
// False, with the reason in `why`, for runs that overflow, run past their bytes or the
// volume, or cover another number of clusters.
bool DecodeDataRuns(const uint8_t* runs, size_t size, uint64_t clusters, uint64_t volumeClusters,
                    std::vector<Extent>& extents, std::string& why);
