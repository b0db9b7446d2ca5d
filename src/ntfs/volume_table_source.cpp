#include "volume_table_source.h"

#include "file_table.h"
#include "table_snapshot.h"

namespace {

// The volume's bytes until the scan is stopped: a stopped read fails at its next request.
class StoppableBytes : public VolumeBytes {
public:
    StoppableBytes(VolumeBytes& bytes, const std::atomic<bool>& stop)
        : m_bytes(bytes), m_stop(stop) {}
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override {
        return !m_stop.load() && m_bytes.ReadAt(offset, buffer, size);
    }

private:
    VolumeBytes& m_bytes;
    const std::atomic<bool>& m_stop;
};

} // namespace

WholeTreeSource::Outcome VolumeTableSource::Read(const std::string& folderPath,
                                                 uint64_t nKnownEntries,
                                                 const std::atomic<bool>& stop,
                                                 const std::function<void()>& reading,
                                                 FolderSnapshot& tree, std::string& why) {
    FolderVolume volume;
    switch (m_open(folderPath, volume, why)) {
    case VolumeAccess::NotNtfs:
        return Outcome::NotHere;
    case VolumeAccess::Denied:
        return Outcome::Denied;
    case VolumeAccess::Failed:
        return Outcome::Failed;
    case VolumeAccess::Opened:
        break;
    }
    StoppableBytes bytes(*volume.bytes, stop);
    FileTable table;
    if (!table.Locate(bytes, why))
        return Outcome::Failed;
    if (nKnownEntries > 0 && nKnownEntries * kRecordsPerWalkedEntry < table.TableRecords())
        return Outcome::NotHere;
    if (reading)
        reading();
    if (!table.ReadRecords(bytes, why))
        return Outcome::Failed;
    TableScanOptions options;
    options.folderPath = folderPath;
    options.beneath = volume.beneath;
    options.bFolderOwnSizes = m_bFolderOwnSizes;
    if (!FillSnapshotFromTable(table, options, tree, why)) {
        if (why.empty())
            why = "the folder is not in it";
        return Outcome::Failed;
    }
    return Outcome::Read;
}
