#pragma once
// What the tests of the portable code share: a folder tree of the test's own under the
// system's temp folder, removed afterwards, and (on POSIX) the means to see unreadable
// folders and to count the process's threads.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "folder_entry.h"

#include "path_text.h"

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root as the engine takes it: a native path without a trailing separator.
    const std::string& Root() const { return m_strRoot; }
    // Root + separator + relative path ('/' in `relative` is turned into the separator).
    std::string Path(const std::string& relative) const;

    void Folder(const std::string& relative) const;
    void File(const std::string& relative, size_t bytes) const; // makes missing folders
    // A file of `bytes` that takes no room on disk.
    void SparseFile(const std::string& relative, uint64_t bytes) const;
    // Sets the last-write time, in seconds since 1970-01-01 00:00 UTC.
    void SetModified(const std::string& relative, int64_t seconds) const;

private:
    std::string m_strRoot;
};

// A random tree under `top` whose totals the generator knows: folders of random width and
// depth, files of random sizes, and on POSIX links to folders (files of their own size to
// the walk) and a folder "locked" that cannot be read once the permission override is gone.
FolderTotals MakeRandomTree(const TempTree& tree, const std::string& top, std::mt19937& rng);

#ifndef _WIN32
// Root reads every folder; to see a folder it cannot read, a test drops the
// capabilities that override permissions for as long as this object lives (threads
// started meanwhile inherit the reduced set).
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride();
    ~WithoutPermissionOverride();
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;
    bool Works() const;

private:
    unsigned m_saved[6] = {}; // the capability sets as capget gave them
    bool m_bDropped = false;
};

// The number of threads of this process now, as the kernel counts them.
int ThreadCount();
#endif
