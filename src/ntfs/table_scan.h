#pragma once
// A folder's whole tree read from its volume's file table, ready to stand in for a walk.

#include <string>
#include <vector>

#include "file_link_sink.h"
#include "folder_snapshot.h"
#include "table_snapshot.h"
#include "volume_bytes.h"

struct TableScan {
    FolderSnapshot snapshot;             // the tree beneath the folder, at its path
    std::vector<LinkedName> linkedNames; // every name of a file with several
};

// Reads the volume's table and fills `scan` (`options.pLinks` is not used). False, with the
// reason in `why`, when the table does not add up.
bool ScanFolderTable(VolumeBytes& volume, const TableScanOptions& options, TableScan& scan,
                     std::string& why);
