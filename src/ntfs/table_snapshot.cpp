#include "table_snapshot.h"

#include <cstring>

#include "file_record.h"
#include "path_text.h"
#include "snapshot_builder.h"
#include "snapshot_level.h"

namespace {

constexpr uint32_t kNoRecord = 0xFFFFFFFFu;

// The table's folders with the names each holds, in the table's order.
class FolderContents {
public:
    // False, with the reason, when a name lies in no folder there is, or folders hold each
    // other round in a loop.
    bool Build(const FileTable& table, std::string& why);

    // Names in `folder`, as indexes into the table's names.
    const uint32_t* Begin(uint32_t folder) const { return m_held.data() + m_first[folder]; }
    const uint32_t* End(uint32_t folder) const { return m_held.data() + m_first[folder + 1]; }

private:
    bool CheckNames(const FileTable& table, std::string& why);
    bool CheckChains(const FileTable& table, std::string& why);

    std::vector<uint32_t> m_parent; // a folder's own parent; kNoRecord where none is shown
    std::vector<uint32_t> m_first;  // per record, then one past the last
    std::vector<uint32_t> m_held;
};

// Whether the file's names are ones a listing of the volume shows: the volume's own files
// (its root excepted, which is shown as the volume itself) are not.
bool IsShown(const FileTable::Name& name) {
    return name.nRecord >= FileTable::kFirstUserRecord;
}

bool IsListableName(const char* text, uint32_t length) {
    if (length == 0 || std::memchr(text, '/', length) || std::memchr(text, '\0', length))
        return false;
    return !(length == 1 && text[0] == '.') && !(length == 2 && text[0] == '.' && text[1] == '.');
}

std::string RecordText(uint32_t record) {
    return "record " + std::to_string(record);
}

bool FolderContents::CheckNames(const FileTable& table, std::string& why) {
    const uint32_t count = table.RecordCount();
    m_parent.assign(count, kNoRecord);
    for (const FileTable::Name& name : table.Names()) {
        if (!IsShown(name))
            continue;
        const uint64_t parent = RecordNumber(name.nParent);
        const FileTable::Entry* folder = parent < count ? &table.At(uint32_t(parent)) : nullptr;
        if (!folder || !(folder->flags & FileTable::kInUse) ||
            !(folder->flags & FileTable::kFolder) ||
            (RecordSequence(name.nParent) != 0 &&
             RecordSequence(name.nParent) != folder->nSequence)) {
            why = RecordText(name.nRecord) + " names a folder that is not there";
            return false;
        }
        if (!IsListableName(table.Text(name), name.nLength)) {
            why = RecordText(name.nRecord) + " has a name no folder can hold";
            return false;
        }
        if (table.At(name.nRecord).flags & FileTable::kFolder) {
            if (m_parent[name.nRecord] != kNoRecord) {
                why = RecordText(name.nRecord) + " is a folder with two names";
                return false;
            }
            m_parent[name.nRecord] = static_cast<uint32_t>(parent);
        }
    }
    return true;
}

// Every folder shown leads up to the root, or into the volume's own files (the hidden
// folder of its extensions); one that leads round in a loop would be lost to a walk too.
bool FolderContents::CheckChains(const FileTable& table, std::string& why) {
    enum : uint8_t { kUnknown, kOnPath, kLeadsUp };
    std::vector<uint8_t> state(table.RecordCount(), kUnknown);
    std::vector<uint32_t> path;
    for (uint32_t folder = FileTable::kFirstUserRecord; folder < table.RecordCount(); ++folder) {
        uint32_t at = folder;
        path.clear();
        while (m_parent[at] != kNoRecord && at >= FileTable::kFirstUserRecord &&
               state[at] == kUnknown) {
            state[at] = kOnPath;
            path.push_back(at);
            at = m_parent[at];
        }
        if (state[at] == kOnPath) {
            why = RecordText(at) + " lies within itself (folders that hold each other)";
            return false;
        }
        if (!path.empty() && at >= FileTable::kFirstUserRecord && state[at] == kUnknown) {
            why = RecordText(at) + " holds files but lies in no folder";
            return false;
        }
        for (uint32_t on : path)
            state[on] = kLeadsUp;
    }
    return true;
}

bool FolderContents::Build(const FileTable& table, std::string& why) {
    if (!CheckNames(table, why) || !CheckChains(table, why))
        return false;
    const uint32_t count = table.RecordCount();
    m_first.assign(size_t{count} + 1, 0);
    const std::vector<FileTable::Name>& names = table.Names();
    for (const FileTable::Name& name : names)
        if (IsShown(name))
            ++m_first[RecordNumber(name.nParent) + 1];
    for (uint32_t i = 0; i < count; ++i)
        m_first[i + 1] += m_first[i];
    m_held.resize(m_first[count]);
    std::vector<uint32_t> next(m_first.begin(), m_first.end() - 1);
    for (uint32_t i = 0; i < names.size(); ++i)
        if (IsShown(names[i]))
            m_held[next[RecordNumber(names[i].nParent)]++] = i;
    return true;
}

// The subfolder of `folder` named `name`: the same name, or failing that, the same but for
// case. kNoRecord when there is none.
uint32_t FindSubfolder(const FileTable& table, const FolderContents& contents, uint32_t folder,
                       const std::string& name) {
    uint32_t found = kNoRecord;
    for (const uint32_t* i = contents.Begin(folder); i != contents.End(folder); ++i) {
        const FileTable::Name& n = table.Names()[*i];
        if (!(table.At(n.nRecord).flags & FileTable::kFolder))
            continue;
        const std::string text(table.Text(n), n.nLength);
        if (text == name)
            return n.nRecord;
        if (found == kNoRecord && CompareNoCase(text.c_str(), name.c_str()) == 0)
            found = n.nRecord;
    }
    return found;
}

class TreeFiller {
public:
    TreeFiller(const FileTable& table, const FolderContents& contents,
               const TableScanOptions& options, FolderSnapshot& snapshot)
        : m_table(table), m_contents(contents), m_options(options), m_builder(snapshot) {}

    bool Fill(uint32_t top, std::string& why) {
        struct Open {
            uint32_t record;
            const uint32_t* next; // the next name in it to look at
            FolderSnapshot::Index node;
        };
        std::vector<Open> open;
        const FolderSnapshot::Index root = m_builder.Open(m_options.folderPath.c_str());
        if (root == FolderSnapshot::kNone)
            return Full(why);
        open.push_back({top, m_contents.Begin(top), root});
        while (!open.empty()) {
            Open& at = open.back();
            if (at.next == m_contents.End(at.record)) {
                const Open done = at;
                open.pop_back();
                if (!CloseFolder(done.record, done.node))
                    return Full(why);
                continue;
            }
            const FileTable::Name& name = m_table.Names()[*at.next++];
            const FileTable::Entry& entry = m_table.At(name.nRecord);
            if (!(entry.flags & FileTable::kFolder))
                continue;
            m_text.assign(m_table.Text(name), name.nLength);
            const FolderSnapshot::Index node = m_builder.Open(m_text.c_str());
            if (node == FolderSnapshot::kNone)
                return Full(why);
            if (entry.flags & FileTable::kReparsePoint) {
                m_builder.CloseLink(OwnOf(entry));
                continue;
            }
            open.push_back({name.nRecord, m_contents.Begin(name.nRecord), node});
        }
        return true;
    }

private:
    static bool Full(std::string& why) {
        why = "the snapshot's memory cap was reached";
        return false;
    }

    const SnapshotLevel& OwnOf(const FileTable::Entry& folder) {
        m_own.Clear();
        if (m_options.bFolderOwnSizes)
            m_own.SetOwn(folder.nBytes, folder.nAllocated, folder.tModified);
        else
            m_own.SetOwn(-1, -1, folder.tModified);
        return m_own;
    }

    // The folder's files in, once everything beneath it is.
    bool CloseFolder(uint32_t record, FolderSnapshot::Index node) {
        const FileTable::Entry& folder = m_table.At(record);
        m_level.Clear();
        for (const uint32_t* i = m_contents.Begin(record); i != m_contents.End(record); ++i) {
            const FileTable::Name& name = m_table.Names()[*i];
            const FileTable::Entry& file = m_table.At(name.nRecord);
            if (file.flags & FileTable::kFolder)
                continue;
            m_text.assign(m_table.Text(name), name.nLength);
            m_level.AddFile(m_text.c_str(), file.nBytes, file.tModified, file.nAllocated);
            if (file.nLinks > 1)
                m_level.SetFileLinks(file.nLinks, m_table.Geometry().nSerial, name.nRecord);
        }
        if (m_options.bFolderOwnSizes)
            m_level.SetOwn(folder.nBytes, folder.nAllocated, folder.tModified);
        else
            m_level.SetOwn(-1, -1, folder.tModified);
        if (!m_builder.Close(m_level))
            return false;
        if (m_options.pLinks)
            for (const SnapshotLevel::FileLinks& link : m_level.LinkedFiles())
                m_options.pLinks->Take({link.device, link.id, link.links,
                                        m_level.FileSize(link.file), node, link.file});
        return true;
    }

    const FileTable& m_table;
    const FolderContents& m_contents;
    const TableScanOptions& m_options;
    SnapshotBuilder m_builder;
    SnapshotLevel m_level;
    SnapshotLevel m_own;
    std::string m_text;
};

} // namespace

bool FillSnapshotFromTable(const FileTable& table, const TableScanOptions& options,
                           FolderSnapshot& snapshot, std::string& why) {
    if (table.RecordCount() <= FileTable::kRoot ||
        (table.At(FileTable::kRoot).flags & (FileTable::kInUse | FileTable::kFolder)) !=
            (FileTable::kInUse | FileTable::kFolder)) {
        why = "the volume's root folder is not in its table";
        return false;
    }
    FolderContents contents;
    if (!contents.Build(table, why))
        return false;
    uint32_t top = FileTable::kRoot;
    for (const std::string& name : options.beneath) {
        top = FindSubfolder(table, contents, top, name);
        if (top == kNoRecord) {
            why = "no folder " + name + " in the volume's table";
            return false;
        }
        if (table.At(top).flags & FileTable::kReparsePoint) {
            why = name + " is a link to another folder";
            return false;
        }
    }
    TreeFiller filler(table, contents, options, snapshot);
    return filler.Fill(top, why);
}
