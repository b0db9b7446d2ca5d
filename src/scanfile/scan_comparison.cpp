#include "scan_comparison.h"

#include <algorithm>
#include <unordered_map>

#include "size_text.h"

namespace {

// The entries directly in a folder: each name and kind with its bytes.
std::vector<EntryChange> EntriesOf(const FolderSnapshot& s, FolderSnapshot::Index folder) {
    std::vector<EntryChange> entries;
    for (auto sub = s.FirstSubfolder(folder); sub != FolderSnapshot::kNone;
         sub = s.NextSubfolder(sub)) {
        FolderTotals totals;
        s.GetTotals(sub, totals);
        entries.push_back({s.Name(sub), true, 0, totals.nSize, ChangeStatus::New});
    }
    for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
        entries.push_back(
            {s.FileName(folder, i), false, 0, s.FileSize(folder, i), ChangeStatus::New});
    return entries;
}

std::string KeyOf(const EntryChange& entry) {
    return (entry.bFolder ? "d" : "f") + entry.name;
}

} // namespace

FolderComparison CompareFolder(const FolderSnapshot& before, FolderSnapshot::Index beforeFolder,
                               const FolderSnapshot& after, FolderSnapshot::Index afterFolder) {
    FolderComparison comparison;
    FolderTotals totals;
    if (before.GetTotals(beforeFolder, totals))
        comparison.nBefore = totals.nSize;
    if (after.GetTotals(afterFolder, totals))
        comparison.nAfter = totals.nSize;

    std::vector<EntryChange>& entries = comparison.entries;
    entries = EntriesOf(after, afterFolder);
    std::unordered_map<std::string, size_t> now; // the entry of each name and kind
    now.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        now.emplace(KeyOf(entries[i]), i);
    for (EntryChange& then : EntriesOf(before, beforeFolder)) {
        const auto it = now.find(KeyOf(then));
        if (it == now.end()) {
            then.nBefore = then.nAfter;
            then.nAfter = 0;
            then.status = ChangeStatus::Gone;
            entries.push_back(std::move(then));
            continue;
        }
        EntryChange& entry = entries[it->second];
        if (entry.status != ChangeStatus::New)
            continue; // a name twice in one folder: the first is matched
        entry.nBefore = then.nAfter;
        entry.status = entry.nAfter > entry.nBefore   ? ChangeStatus::Grown
                       : entry.nAfter < entry.nBefore ? ChangeStatus::Shrunk
                                                      : ChangeStatus::Same;
    }
    std::sort(entries.begin(), entries.end(), [](const EntryChange& a, const EntryChange& b) {
        if (a.Change() != b.Change())
            return a.Change() > b.Change();
        return a.name != b.name ? a.name < b.name : a.bFolder > b.bFolder;
    });
    return comparison;
}

std::string SignedSizeText(int64_t bytes) {
    if (bytes > 0)
        return "+" + FormatSize(bytes);
    if (bytes < 0)
        return "-" + FormatSize(-bytes);
    return FormatSize(0);
}

std::string ChangeText(const EntryChange& change) {
    if (change.status == ChangeStatus::New)
        return "new";
    if (change.status == ChangeStatus::Gone)
        return "gone";
    return SignedSizeText(change.Change());
}

std::string ChangeText(int64_t nBytesThen, int64_t nBytesNow) {
    if (nBytesThen < 0)
        return "new";
    if (nBytesNow < 0)
        return "gone";
    return SignedSizeText(nBytesNow - nBytesThen);
}

std::string ChangeTotalText(int64_t nBytesThen, int64_t nBytesNow) {
    return SignedSizeText(nBytesNow - nBytesThen) + " (" + FormatSize(nBytesThen) + " then, " +
           FormatSize(nBytesNow) + " now)";
}

const char* StatusName(ChangeStatus status) {
    switch (status) {
    case ChangeStatus::Grown:
        return "grown";
    case ChangeStatus::Shrunk:
        return "shrunk";
    case ChangeStatus::Same:
        return "same";
    case ChangeStatus::New:
        return "new";
    case ChangeStatus::Gone:
        break;
    }
    return "gone";
}
