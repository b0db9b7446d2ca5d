#pragma once
// A scan written in the JSON export format that ncdu and gdu read (ncdu's format 1.2): the tree
// beneath a folder of a snapshot, folder by folder, as it goes out. Names are written as the
// snapshot holds them: UTF-8 (the Windows program's names come from its wide names through its
// UTF-8 code page).

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "file_link_sink.h"
#include "folder_snapshot.h"

// Files whose details could not be read (in a folder that may be listed but not entered), by
// the folder they lie in.
using UnreadFiles = std::unordered_map<FolderSnapshot::Index, std::unordered_set<std::string>>;

struct NcduExportInfo {
    std::string rootName;       // the folder as named at the top: its full path
    std::string progver;        // dscp's version
    int64_t timestamp = 0;      // seconds since 1970-01-01 00:00 UTC
    uint64_t nDevice = 0;       // the folder's file system
    int64_t nOwnBytes = -1;     // the folder's own size; -1: not known
    int64_t nOwnDiskBytes = -1; // the bytes it takes on disk itself; -1: not known
    // Every name of a file that has several, each marked with the file's identity.
    const std::vector<LinkedName>* pLinkedNames = nullptr;
    // Their folders are marked as not read whole, as ncdu marks a folder it cannot enter;
    // the files themselves are left out, their sizes being unknown.
    UnreadFiles unreadFiles;
};

// Writes the tree beneath `folder` (read and final in `snapshot`, every file held) to `out`.
// "asize" is the apparent size, "dsize" the disk usage where the snapshot recorded it (the
// apparent size again where it did not, as on Windows); "mtime" the last-write time where known,
// as ncdu's extended export has it; a name is written as its bytes. False when writing failed
// (errno tells why).
bool WriteNcduExport(const FolderSnapshot& snapshot, FolderSnapshot::Index folder,
                     const NcduExportInfo& info, std::FILE* out);

// `text` as a JSON string's contents: quote, backslash, control characters and DEL escaped
// (ncdu's reader refuses them raw), every other byte as it is (names that are not UTF-8 stay what
// they are on disk).
void AppendJsonText(std::string& json, const char* text);
