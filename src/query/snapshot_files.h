#pragma once
// Files of the snapshot beneath one folder, as the queries see them: every file the snapshot
// holds in that folder and in the read folders at every level beneath (a folder whose files
// the memory cap dropped, or one the scan has not read yet, adds none); of a scope that is
// final only (snapshot_scope.h), the folder's own files and those of its final subtrees. A query's
// answer names a file by where it lies in the snapshot, 8 bytes, valid until the snapshot changes.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "folder_snapshot.h"
#include "size_measure.h"
#include "snapshot_scope.h"

struct FileRef {
    FolderSnapshot::Index folder;
    uint32_t file; // its position among the folder's files

    bool operator==(const FileRef& other) const {
        return folder == other.folder && file == other.file;
    }
};
static_assert(sizeof(FileRef) == 8, "a row of a query's answer takes 8 bytes");

// A file's size by `measure`; bytes on disk not known count 0.
inline int64_t MeasuredFileSize(const FolderSnapshot& s, FolderSnapshot::Index folder, uint32_t i,
                                SizeMeasure measure) {
    if (measure == SizeMeasure::Bytes)
        return s.FileSize(folder, i);
    const int64_t allocated = s.FileAllocated(folder, i);
    return allocated < 0 ? 0 : allocated;
}

// Calls fn(folder) for `top` and every read folder beneath it whose files are held, until
// `stop` is raised. Returns false when stopped.
template <typename Fn>
bool ForEachFolderWithFiles(const FolderSnapshot& s, FolderSnapshot::Index top,
                            const std::atomic<bool>* stop, Fn&& fn) {
    std::vector<FolderSnapshot::Index> stack{top};
    while (!stack.empty()) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        const FolderSnapshot::Index folder = stack.back();
        stack.pop_back();
        if (!s.IsRead(folder))
            continue;
        if (s.FilesHeld(folder) && s.OwnFileCount(folder))
            fn(folder);
        for (auto c = s.FirstSubfolder(folder); c != FolderSnapshot::kNone; c = s.NextSubfolder(c))
            stack.push_back(c);
    }
    return true;
}

// The same over a scope: of one that is final only, its folder's own files and the folders
// of its final subtrees; nothing else of the folder is looked at.
template <typename Fn>
bool ForEachFolderWithFiles(const FolderSnapshot& s, const SnapshotScope& scope,
                            const std::atomic<bool>* stop, Fn&& fn) {
    if (!scope.bFinalOnly)
        return ForEachFolderWithFiles(s, scope.top, stop, fn);
    if (s.IsRead(scope.top) && s.FilesHeld(scope.top) && s.OwnFileCount(scope.top))
        fn(scope.top);
    for (const FolderSnapshot::Index sub : scope.finalSubfolders)
        if (!ForEachFolderWithFiles(s, sub, stop, fn))
            return false;
    return true;
}

// How many files ForEachFolderWithFiles offers beneath `top`.
uint64_t HeldFileCount(const FolderSnapshot& s, const SnapshotScope& scope);

// The file's path beneath `top`, names joined by the system's separator.
std::string RelativePath(const FolderSnapshot& s, FolderSnapshot::Index top, FileRef file);

// The same for a folder beneath `top` (or `top` itself: empty); ends with a separator
// unless empty.
std::string RelativeFolderPrefix(const FolderSnapshot& s, FolderSnapshot::Index top,
                                 FolderSnapshot::Index folder);

// Orders files by their paths beneath `top`, each path formed once.
void SortByPath(const FolderSnapshot& s, FolderSnapshot::Index top, std::vector<FileRef>& files);
