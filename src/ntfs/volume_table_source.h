#pragma once
// A folder's whole tree from its NTFS volume's file table, for the window's scan.

#include <functional>
#include <memory>

#include "folder_volume.h"
#include "whole_tree_source.h"

class VolumeTableSource : public WholeTreeSource {
public:
    // How the folder's volume is opened: OpenFolderVolume, or a test's image file.
    using OpenFn = std::function<VolumeAccess(const std::string& folderPath, FolderVolume& volume,
                                              std::string& why)>;

    // `bFolderOwnSizes`: folders keep the size of their own index, as a POSIX walk records
    // them (a Windows walk is not told it).
    explicit VolumeTableSource(OpenFn open = OpenFolderVolume, bool bFolderOwnSizes = false)
        : m_open(std::move(open)), m_bFolderOwnSizes(bFolderOwnSizes) {}

    // A folder already scanned is walked again (NotHere) when it holds under a quarter of
    // the table's records: natively the reader takes about 2.4 us a record and a walk of
    // folders the system has cached about 2.5 us an entry (docs/perf.md), and the quarter
    // leaves room for the walk's cost per folder and a cache that kept only part of it.
    static constexpr uint64_t kRecordsPerWalkedEntry = 4;

    Outcome Read(const std::string& folderPath, uint64_t nKnownEntries,
                 const std::atomic<bool>& stop, const std::function<void()>& reading,
                 FolderSnapshot& tree, std::string& why) override;

private:
    OpenFn m_open;
    bool m_bFolderOwnSizes;
};
