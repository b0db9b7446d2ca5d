#pragma once
// Two scans of one tree compared beneath their roots: the older scan's folder that matches
// a path below the compared root, the older bytes of each entry of a folder listed now
// (and the entries gone since), and a walk over every file of both trees. Entries match by
// path, name and kind: a rename is one entry gone and one new, and so is a moved folder.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "folder_entry.h"
#include "folder_snapshot.h"

// The folder at `relative` beneath `root` (names joined by '\' or '/'; "" is `root`
// itself), or kNone.
FolderSnapshot::Index FindBeneath(const FolderSnapshot& snapshot, FolderSnapshot::Index root,
                                  const std::string& relative);

// An entry the older scan had and the folder no longer has.
struct GoneEntry {
    std::string name;
    bool bFolder = false;
    int64_t nBytes = 0; // a folder's: its totals then
};

// One folder as listed now against its older self: the bytes then of each subfolder and
// file (-1: new since), and what is gone.
struct LevelChanges {
    std::vector<int64_t> folderBytesThen; // by the subfolders' order
    std::vector<int64_t> fileBytesThen;   // by the files' order
    std::vector<GoneEntry> gone;          // in the older scan's order
    int64_t nBytesThen = 0;               // the folder's total then
};

// `olderFolder` (kNone: the folder is new, every entry with it) against the folder's
// subfolders and files as listed now. A name listed twice matches once.
LevelChanges CompareLevel(const FolderSnapshot& older, FolderSnapshot::Index olderFolder,
                          const std::vector<FolderEntry>& folders,
                          const std::vector<FolderEntry>& files);

// Told of every file beneath the compared roots, once each.
class FileChangeVisitor {
public:
    virtual ~FileChangeVisitor() = default;
    // File `file` of `newerFolder` (of the newer scan), with its bytes then (-1: new).
    virtual void File(FolderSnapshot::Index newerFolder, uint32_t file, int64_t nBytesThen) = 0;
    // File `file` of `olderFolder` (of the older scan), which the newer one no longer has.
    virtual void GoneFile(FolderSnapshot::Index olderFolder, uint32_t file) = 0;
};

// Walks `newerRoot` of `newer` and `olderRoot` of `older` (kNone: all is new) side by side,
// folders matched by name, and tells `visitor` of every file of either: held files only
// (a folder whose files were not kept tells none). Returns false when `stop` was raised.
bool WalkFileChanges(const FolderSnapshot& older, FolderSnapshot::Index olderRoot,
                     const FolderSnapshot& newer, FolderSnapshot::Index newerRoot,
                     FileChangeVisitor& visitor, const std::atomic<bool>* stop = nullptr);

// What a whole comparison found: files by how they changed, and the bytes they moved.
struct TreeChangeCounts {
    uint64_t nGrown = 0, nShrunk = 0, nSame = 0, nNew = 0, nGone = 0;
    int64_t nGrowth = 0;    // bytes added: grown files' growth and new files
    int64_t nShrinkage = 0; // bytes taken: shrunk files' loss and gone files (positive)
};

TreeChangeCounts CountFileChanges(const FolderSnapshot& older, FolderSnapshot::Index olderRoot,
                                  const FolderSnapshot& newer, FolderSnapshot::Index newerRoot);
