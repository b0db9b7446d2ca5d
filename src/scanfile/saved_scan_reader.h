#pragma once
// A scan saved in ncdu's JSON export format, versions 1.0 to 1.2 (as dscp-report --json,
// ncdu -o and -e, ncdu 2's JSON export and gdu -o write it), read straight into a folder
// snapshot as the text streams in: nothing of the file is kept but the snapshot it
// describes and the files of the folders still open.
//
// What ncdu means by an entry is what it becomes: an array is a folder, an object inside it a
// file (special files, "notreg", included); "excluded" marks a folder not entered (counted
// as one holding nothing), "read_error" one not read whole (one with nothing in it counts as
// a folder that could not be read). Sizes are "asize" (bytes) and "dsize" (bytes on disk),
// times "mtime" where the file has them; a file with several names carries "ino" with
// "hlnkc" or "nlink". Names are kept as the file's bytes.
//
// Bad input fails with the reason and where it was found: malformed or truncated text, a file
// that is not such a scan or of another version, folders nested too deep, numbers too large,
// a name that is empty, holds a NUL or a path separator, or is "." or "..", and a scan
// larger than the snapshot's memory cap.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "file_link_sink.h"
#include "folder_snapshot.h"
#include "json_input.h"

struct SavedScan {
    FolderSnapshot snapshot; // its memory cap bounds what is read
    FolderSnapshot::Index root = FolderSnapshot::kNone;
    std::string rootPath; // the folder scanned, as the file names it
    std::string program;  // the program that wrote the file ("progname", "progver")
    std::string programVersion;
    int64_t timestamp = 0; // when the scan was taken, seconds since 1970; 0: not said
    uint64_t nDevice = 0;  // the root's file system
    // Every entry the scan marks as not read whole, by path.
    std::vector<std::string> readErrors;
    // Every name of a file that has several, with the file's identity.
    std::vector<LinkedName> linkedNames;
};

struct SavedScanError {
    TextPosition position;
    std::string reason;
    // "line 3, byte 10: reason"
    std::string Text() const;
};

// Reads the scan `read` gives into `scan` (new, but for its snapshot's memory cap). False
// with the reason in `error` when it is not a scan this reads; `scan` then holds what was
// read up to there and is to be dropped.
bool ReadSavedScan(const ReadBytes& read, SavedScan& scan, SavedScanError& error);

// The same from a file opened for reading in binary mode.
bool ReadSavedScan(std::FILE* file, SavedScan& scan, SavedScanError& error);
