#pragma once
// A folder snapshot filled from a volume's file table rather than by a walk: the same
// folders, files, sizes, bytes on disk and times a walk of the mounted volume records.

#include <string>
#include <vector>

#include "file_link_sink.h"
#include "file_table.h"
#include "folder_snapshot.h"

struct TableScanOptions {
    // The folder's path in the snapshot (where the volume is mounted, and beneath), and its
    // names from the volume's root down (empty: the root itself).
    std::string folderPath;
    std::vector<std::string> beneath;
    // Folders keep the size and bytes on disk of their own index, as a POSIX system reports
    // them; otherwise they are left unknown, as the Windows walk leaves them.
    bool bFolderOwnSizes = true;
    // Every name of a file with several goes here, as a walk sends them (its device is the
    // volume's serial number, its number the file's record).
    FileLinkSink* pLinks = nullptr;
};

// Records the tree beneath the folder in `snapshot`, as SnapshotBuilder records one. False,
// with the reason in `why` and the snapshot to be dropped, when the table does not add up:
// a name in a folder that is not there, folders that hold each other, a folder with two
// names, a name no walk could list, or the folder not found; or past the snapshot's cap.
bool FillSnapshotFromTable(const FileTable& table, const TableScanOptions& options,
                           FolderSnapshot& snapshot, std::string& why);
