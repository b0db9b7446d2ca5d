#pragma once
// Totals of whole folder trees, walked by a few threads at once.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "file_link_sink.h"
#include "folder_entry.h"

#include "folder_snapshot.h"

enum class WalkResult {
    Complete,   // every readable folder beneath was read
    Unreadable, // the folder itself could not be enumerated; the totals are 0
    Stopped,    // the stop flag was raised; the totals are partial
};

// What a walk does besides totalling.
struct WalkOptions {
    // With a snapshot: every name of a file that has several goes to this sink.
    FileLinkSink* pLinks = nullptr;
    // Enter no folder on another file system than `nDevice` (FolderIdentity::nDevice): such
    // a folder counts as one folder holding nothing, and a snapshot marks it excluded.
    bool bOneFileSystem = false;
    uint64_t nDevice = 0;
};

// As many threads as the machine has cores (at least one).
unsigned DefaultWalkThreads();

// Called once a root's totals are final: its index, totals and result. Calls are made
// one at a time, from whichever walking thread finished the root.
using RootTotalledFn = std::function<void(size_t index, const FolderTotals&, WalkResult)>;

// Called for every folder that cannot be enumerated (a root included) and every entry
// whose details cannot be read: its path and the errno value saying why. Calls are made
// one at a time (never at the same time as a RootTotalledFn call), from walking threads.
using UnreadableFn = std::function<void(const std::string& path, int nError)>;

// Totals the tree beneath each of `roots`: bytes of every file, and the numbers of
// folders and files at every level. A folder that cannot be read counts as one folder
// holding nothing; reparse points count as folders but are not entered. Each folder
// is read exactly once. Up to `threads` threads walk (0: DefaultWalkThreads(); 1: the
// calling thread alone); earlier roots are preferred, so they tend to finish first.
// Every thread checks `stopRequested` between entries; a stopped walk returns
// Stopped, and no thread outlives the call.
// With a `snapshot`, the walk also records in it every folder it reads, with its files,
// at its full path (folder_snapshot.h); a root the snapshot holds already, for instance as a
// subfolder of a level the caller recorded, is read again in place. Nothing else may use
// the snapshot until the call returns. Recording takes no lock of its own: a folder's level
// goes in under the lock the walk takes once per folder anyway.
WalkResult TotalFolderTrees(const std::vector<std::string>& roots,
                            std::vector<FolderTotals>& totals, std::vector<WalkResult>& results,
                            const std::atomic<bool>* stopRequested = nullptr, unsigned threads = 0,
                            const RootTotalledFn& onRootTotalled = nullptr,
                            const UnreadableFn& onUnreadable = nullptr,
                            FolderSnapshot* snapshot = nullptr,
                            const WalkOptions& options = WalkOptions());

// The same for a single tree.
WalkResult TotalFolderTree(const std::string& folderPath, FolderTotals& totals,
                           const std::atomic<bool>* stopRequested = nullptr, unsigned threads = 0);

// Walks the tree beneath `folderPath` into a snapshot of its own (the folders above it known
// by name only), as a piece to merge into another. A stopped walk's piece leaves what it
// did not finish not final.
FolderSnapshot WalkIntoSnapshot(const std::string& folderPath,
                                const std::atomic<bool>* stopRequested = nullptr,
                                unsigned threads = 1);
