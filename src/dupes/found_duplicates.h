#pragma once
// The duplicates found beneath a folder, as a list shows them: one row per file, the groups
// most waste first and each group's files by path. Kept by path, not by place in a snapshot,
// so the list outlives the snapshot's changes and other folders shown meanwhile. Files
// deleted since go from their groups, and a group left with one file is no group.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "duplicate_finder.h"
#include "snapshot_candidates.h"

struct DuplicateFile {
    std::string path;
    int64_t size = 0;
    int64_t modified = 0; // seconds since 1970, 0 where not known
};

class FoundDuplicates {
public:
    FoundDuplicates() = default;
    // What a search of `candidates` found beneath `folder`.
    FoundDuplicates(std::string folder, const SnapshotCandidates& candidates,
                    const DuplicateSearch& search);

    const std::string& Folder() const { return m_folder; }
    size_t RowCount() const { return m_rows.size(); }
    const DuplicateFile& FileOfRow(size_t row) const { return m_files[m_rows[row].file]; }
    // The group's place in the order, from 0.
    size_t GroupOfRow(size_t row) const { return m_rows[row].group; }
    // The row of the file at `path`, or -1.
    int RowOfPath(const std::string& path) const;

    size_t GroupCount() const { return m_groups.size(); }
    int64_t TotalWaste() const;
    const std::vector<std::string>& Unreadable() const { return m_unreadable; }
    bool IsStopped() const { return m_bStopped; }
    int64_t BytesRead() const { return m_nBytesRead; }

    // The groups (by place) of which `rows` hold every file: deleting them all would leave
    // no copy.
    std::vector<size_t> GroupsWhollyIn(const std::vector<size_t>& rows) const;
    // The files at `paths`, and those beneath the folders among them, are gone. False when
    // none of them was a file found.
    bool Remove(const std::vector<std::string>& paths);

private:
    struct Group {
        int64_t size = 0;
        std::vector<uint32_t> files; // into m_files, by path
        int64_t Waste() const { return size * static_cast<int64_t>(files.size() - 1); }
    };
    struct Row {
        uint32_t group;
        uint32_t file;
    };
    void Order();

    std::string m_folder;
    std::vector<DuplicateFile> m_files;
    std::vector<Group> m_groups;
    std::vector<Row> m_rows;
    std::vector<std::string> m_unreadable;
    bool m_bStopped = false;
    int64_t m_nBytesRead = 0;
};
