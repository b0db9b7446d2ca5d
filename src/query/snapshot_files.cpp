#include "snapshot_files.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "path_text.h"

uint64_t HeldFileCount(const FolderSnapshot& s, const SnapshotScope& scope) {
    uint64_t count = 0;
    ForEachFolderWithFiles(s, scope, nullptr,
                           [&](FolderSnapshot::Index folder) { count += s.OwnFileCount(folder); });
    return count;
}

std::string RelativeFolderPrefix(const FolderSnapshot& s, FolderSnapshot::Index top,
                                 FolderSnapshot::Index folder) {
    std::vector<const char*> names;
    for (auto f = folder; f != top && f != FolderSnapshot::kNone; f = s.Parent(f))
        names.push_back(s.Name(f));
    std::string prefix;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        prefix += *it;
        prefix += kPathSeparator;
    }
    return prefix;
}

std::string RelativePath(const FolderSnapshot& s, FolderSnapshot::Index top, FileRef file) {
    return RelativeFolderPrefix(s, top, file.folder) + s.FileName(file.folder, file.file);
}

void SortByPath(const FolderSnapshot& s, FolderSnapshot::Index top, std::vector<FileRef>& files) {
    std::unordered_map<FolderSnapshot::Index, std::string> prefixes;
    std::vector<std::pair<std::string, FileRef>> keyed;
    keyed.reserve(files.size());
    for (const FileRef& file : files) {
        auto it = prefixes.find(file.folder);
        if (it == prefixes.end())
            it = prefixes.emplace(file.folder, RelativeFolderPrefix(s, top, file.folder)).first;
        keyed.emplace_back(it->second + s.FileName(file.folder, file.file), file);
    }
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < files.size(); ++i)
        files[i] = keyed[i].second;
}
