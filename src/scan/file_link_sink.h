#pragma once
// Where a walk sends the files that have more than one name, for whoever counts them: the
// snapshot does not keep them.

#include <cstdint>

// One name of a file that has several.
struct LinkedName {
    uint64_t device; // the file system (volume) it lies on
    uint64_t id;     // the file's number there
    uint32_t links;  // how many names it has
    int64_t bytes;
    uint32_t folder; // the folder holding this name, as a FolderSnapshot::Index
    uint32_t file;   // its position among that folder's files
};

// Told of every name a walk records of a file with several, once the folder's files are in
// the snapshot with every name on the way up to it, so the names may be read there. Calls
// come one at a time, from walking threads.
class FileLinkSink {
public:
    virtual ~FileLinkSink() = default;
    virtual void Take(const LinkedName& name) = 0;
};
