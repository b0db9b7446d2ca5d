#pragma once
// Finding the files whose bytes are the same. Candidates come from a scan (their sizes are
// already known, the first and cheapest filter); then the first 4 KiB of each file of a size
// shared by others are read and hashed; what still matches is read whole and compared byte
// for byte, a group at a time in step, so a file is read once and nothing is called a
// duplicate that has not compared equal. Hashes only narrow the candidates.
//
// Files below the minimum size, empty files, and the other names of a file with several
// (hard links: one file, not copies) are left out. A file that cannot be read, or whose size
// is not what the scan found (it changed since), is reported apart and grouped with nothing.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DuplicateCandidate {
    std::string path;
    int64_t size = 0;
    // Where the file has several names: its device and number, else 0.
    uint64_t device = 0;
    uint64_t fileId = 0;
};

struct DuplicateOptions {
    int64_t minSize = 1;            // smaller files are not looked at
    size_t chunkBytes = 256 * 1024; // read a file at a time, in pieces this large
    // Ask each file opened which file it is, where its candidate does not say (a scan that
    // kept no links): two names of one file are then one file too.
    bool bAskIdentity = false;
};

struct DuplicateGroup {
    int64_t size = 0;
    std::vector<size_t> files; // indexes of the candidates, by path
    // What all copies but one take.
    int64_t Waste() const { return size * static_cast<int64_t>(files.size() - 1); }
};

struct DuplicateSearch {
    std::vector<DuplicateGroup> groups; // most waste first
    std::vector<size_t> unreadable;     // candidates that could not be read whole, by index
    int64_t bytesRead = 0;
    bool bStopped = false; // stopped before the end: the groups found so far are sure
};

// Read by another thread while a search runs.
struct DuplicateProgress {
    std::atomic<int64_t> bytesRead{0};
    std::atomic<int64_t> bytesToRead{0}; // grows as the search learns what it must read
};

DuplicateSearch FindDuplicates(const std::vector<DuplicateCandidate>& files,
                               const DuplicateOptions& options = DuplicateOptions(),
                               DuplicateProgress* progress = nullptr,
                               const std::atomic<bool>* stop = nullptr);
