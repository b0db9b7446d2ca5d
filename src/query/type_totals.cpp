#include "type_totals.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "extension_ids.h"

std::vector<TypeTotal> TypeTotals(const FolderSnapshot& s, const SnapshotScope& scope,
                                  const std::atomic<bool>* stop, SizeMeasure measure) {
    ExtensionIds ids;
    std::vector<TypeTotal> totals;
    const bool walked = ForEachFolderWithFiles(s, scope, stop, [&](FolderSnapshot::Index folder) {
        const uint32_t n = s.OwnFileCount(folder);
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t id = ids.IdOf(s.FileName(folder, i));
            if (id >= totals.size())
                totals.resize(id + 1);
            totals[id].bytes += MeasuredFileSize(s, folder, i, measure);
            totals[id].sizeBytes += s.FileSize(folder, i);
            ++totals[id].files;
        }
    });
    if (!walked)
        return {};
    int64_t all = 0;
    for (size_t id = 0; id < totals.size(); ++id) {
        totals[id].key = ids.Key(static_cast<uint32_t>(id));
        all += totals[id].bytes;
    }
    totals.erase(std::remove_if(totals.begin(), totals.end(),
                                [](const TypeTotal& t) { return t.files == 0; }),
                 totals.end());
    for (TypeTotal& t : totals)
        t.share = all > 0 ? static_cast<double>(t.bytes) / static_cast<double>(all) : 0.0;
    std::sort(totals.begin(), totals.end(), [](const TypeTotal& a, const TypeTotal& b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.key < b.key;
    });
    return totals;
}

std::string SharePercentText(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", share * 100.0);
    return text;
}

std::vector<int64_t> TypeBytesThen(const std::vector<TypeTotal>& now,
                                   const std::vector<TypeTotal>& then) {
    std::unordered_map<std::string, int64_t> bytes;
    for (const TypeTotal& type : then)
        bytes.emplace(type.key, type.sizeBytes);
    std::vector<int64_t> result;
    result.reserve(now.size());
    for (const TypeTotal& type : now) {
        const auto it = bytes.find(type.key);
        result.push_back(it == bytes.end() ? -1 : it->second);
    }
    return result;
}
