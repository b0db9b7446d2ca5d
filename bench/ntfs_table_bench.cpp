// The NTFS file table reader on a volume image: reading the table and filling a snapshot
// from it, as one process (ntfs_bench.sh times it against dd of the table's own bytes).
//   ntfs_table_bench IMAGE            reads it once; prints what it found
//   ntfs_table_bench IMAGE --extents  prints the table's extents as dd arguments
#include <cstdio>
#include <cstring>
#include <string>

#include "file_table.h"
#include "table_snapshot.h"
#include "volume_file.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ntfs_table_bench IMAGE [--extents]\n");
        return 2;
    }
    int error = 0;
    auto volume = OpenVolumeFile(argv[1], error);
    if (!volume) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], std::strerror(error));
        return 1;
    }
    FileTable table;
    std::string why;
    if (!table.Read(*volume, why)) {
        std::fprintf(stderr, "the table cannot be read: %s\n", why.c_str());
        return 1;
    }
    if (argc > 2 && std::strcmp(argv[2], "--extents") == 0) {
        const unsigned long long cluster = table.Geometry().nClusterBytes;
        for (const FileTable::Extent& e : table.Extents())
            std::printf("bs=%llu skip=%llu count=%llu\n", cluster,
                        static_cast<unsigned long long>(e.nCluster),
                        static_cast<unsigned long long>(e.nCount));
        return 0;
    }
    FolderSnapshot snapshot;
    snapshot.SetMemoryCap(UINT64_MAX);
    TableScanOptions options;
    options.folderPath = "/volume";
    if (!FillSnapshotFromTable(table, options, snapshot, why)) {
        std::fprintf(stderr, "the table does not add up: %s\n", why.c_str());
        return 1;
    }
    FolderTotals totals;
    snapshot.GetTotals(snapshot.Find("/volume"), totals);
    std::printf("%u records, %llu table bytes; %d folders, %d files, %lld bytes; snapshot %llu "
                "bytes\n",
                table.RecordCount(), static_cast<unsigned long long>(table.TableBytes()),
                totals.nFolders, totals.nFiles, static_cast<long long>(totals.nSize),
                static_cast<unsigned long long>(snapshot.MemoryUsed()));
    return 0;
}
