#include "told_batch.h"

#include <string>
#include <unordered_map>

void ThinToldBatch(std::vector<RawChange>& batch) {
    using Kind = RawChange::Kind;
    // Each path's telling that would be looked at, while nothing since has made it moot.
    std::unordered_map<std::string, size_t> lookedAt;
    std::vector<bool> dropped(batch.size(), false);
    for (size_t i = 0; i < batch.size(); ++i) {
        RawChange& change = batch[i];
        switch (change.kind) {
        case Kind::Added:
        case Kind::Modified: {
            const auto [found, bNew] = lookedAt.try_emplace(change.path, i);
            if (!bNew) {
                // The earlier telling is looked at as this one, which keeps its kind if it
                // was a creation: a new folder is walked, not taken for a time changed.
                if (batch[found->second].kind == Kind::Added)
                    change.kind = Kind::Added;
                dropped[found->second] = true;
                found->second = i;
            }
            break;
        }
        case Kind::Removed: {
            const auto found = lookedAt.find(change.path);
            if (found == lookedAt.end())
                break;
            // Created and gone within the batch: nothing of it ever reached the snapshot.
            if (batch[found->second].kind == Kind::Added)
                dropped[i] = true;
            dropped[found->second] = true;
            lookedAt.erase(found);
            break;
        }
        case Kind::RenamedFrom:
        case Kind::RenamedTo:
            // What a rename names is looked at in its place in the order.
            lookedAt.erase(change.path);
            break;
        case Kind::Overflow:
        case Kind::Failed:
            lookedAt.clear();
            break;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < batch.size(); ++i)
        if (!dropped[i]) {
            if (kept != i)
                batch[kept] = std::move(batch[i]);
            ++kept;
        }
    batch.resize(kept);
}
