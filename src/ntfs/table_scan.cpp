#include "table_scan.h"

#include "file_table.h"

namespace {

class NameList : public FileLinkSink {
public:
    explicit NameList(std::vector<LinkedName>& names) : m_names(names) {}
    void Take(const LinkedName& name) override { m_names.push_back(name); }

private:
    std::vector<LinkedName>& m_names;
};

} // namespace

bool ScanFolderTable(VolumeBytes& volume, const TableScanOptions& options, TableScan& scan,
                     std::string& why) {
    FileTable table;
    if (!table.Read(volume, why))
        return false;
    NameList names(scan.linkedNames);
    TableScanOptions fill = options;
    fill.pLinks = &names;
    return FillSnapshotFromTable(table, fill, scan.snapshot, why);
}
