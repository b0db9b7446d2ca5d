#pragma once
// Somewhere a folder's whole tree can be read at once rather than walked folder by folder
// (an NTFS volume's file table). The background scan asks it first and walks when it
// cannot be used.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "folder_snapshot.h"

class WholeTreeSource {
public:
    enum class Outcome {
        Read,    // the tree is in the snapshot
        NotHere, // the folder lies where this source has nothing to read: walk without a word
        Denied,  // it would apply, but this process may not read it (not an administrator)
        Failed,  // it was read and did not add up; `why` says why
    };

    virtual ~WholeTreeSource() = default;

    // Fills `tree` (empty, its cap set) with the folder at `folderPath` and everything
    // beneath it, final, at that path; `reading` is told once there is something to read
    // and the reading starts. `nKnownEntries`: the folders and files beneath the folder as
    // last scanned (0: not known), which a walk would visit again; a source that would
    // read far more than that answers NotHere. Anything but Read leaves `tree` to be
    // dropped. Runs on the scan's thread, and gives up soon once `stop` is raised.
    virtual Outcome Read(const std::string& folderPath, uint64_t nKnownEntries,
                         const std::atomic<bool>& stop, const std::function<void()>& reading,
                         FolderSnapshot& tree, std::string& why) = 0;
};
