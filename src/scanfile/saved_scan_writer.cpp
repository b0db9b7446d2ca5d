#include "saved_scan_writer.h"

namespace {

void AppendNumber(std::string& json, uint64_t value) {
    char digits[24];
    char* p = digits + sizeof digits;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    json.append(p, static_cast<size_t>(digits + sizeof digits - p));
}

// The entry's last-write time, as ncdu's extended export has it; none where not known (and
// none before 1970, which ncdu cannot read).
void AppendTime(std::string& json, int64_t seconds) {
    if (seconds <= 0)
        return;
    json += ",\"mtime\":";
    AppendNumber(json, static_cast<uint64_t>(seconds));
}

// The disk usage, where not known, is taken to be the size.
void AppendSizes(std::string& json, int64_t bytes, int64_t diskBytes) {
    if (bytes < 0)
        return;
    json += ",\"asize\":";
    AppendNumber(json, static_cast<uint64_t>(bytes));
    json += ",\"dsize\":";
    AppendNumber(json, static_cast<uint64_t>(diskBytes < 0 ? bytes : diskBytes));
}

// Output in blocks: one write call per 64 KiB, whatever the size of the tree.
class JsonOut {
public:
    explicit JsonOut(std::FILE* out) : m_out(out) { m_text.reserve(kBlock + 4096); }
    std::string& Text() { return m_text; }
    bool Flush(bool bAll = false) {
        if (m_text.size() < kBlock && !bAll)
            return true;
        m_bOk = m_bOk && std::fwrite(m_text.data(), 1, m_text.size(), m_out) == m_text.size();
        m_text.clear();
        return m_bOk;
    }

private:
    static constexpr size_t kBlock = 1 << 16;
    std::FILE* m_out;
    std::string m_text;
    bool m_bOk = true;
};

} // namespace

void AppendJsonText(std::string& json, const char* text) {
    static const char kHex[] = "0123456789abcdef";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        const unsigned char c = *p;
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c >= 0x20 && c != 0x7f) {
            json += static_cast<char>(c);
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\t') {
            json += "\\t";
        } else if (c == '\r') {
            json += "\\r";
        } else {
            json += "\\u00";
            json += kHex[c >> 4];
            json += kHex[c & 15];
        }
    }
}

bool WriteNcduExport(const FolderSnapshot& snapshot, FolderSnapshot::Index folder,
                     const NcduExportInfo& info, std::FILE* out) {
    using Index = FolderSnapshot::Index;
    // A file with several names carries its identity; the folder and place find it.
    std::unordered_map<uint64_t, const LinkedName*> linked;
    if (info.pLinkedNames)
        for (const LinkedName& name : *info.pLinkedNames)
            linked.emplace(uint64_t{name.folder} << 32 | name.file, &name);

    const UnreadFiles* unreadFiles = info.unreadFiles.empty() ? nullptr : &info.unreadFiles;
    JsonOut json(out);
    std::string& text = json.Text();
    text += "[1,2,{\"progname\":\"dscp\",\"progver\":\"";
    AppendJsonText(text, info.progver.c_str());
    text += "\",\"timestamp\":";
    AppendNumber(text, static_cast<uint64_t>(info.timestamp < 0 ? 0 : info.timestamp));
    text += "},\n";

    // Depth first without recursion: each open folder's next subfolder to write.
    std::vector<Index> next;
    Index current = folder;
    for (;;) {
        // The folder's own entry and its files; then its subfolders, each an array.
        text += "[{\"name\":\"";
        AppendJsonText(text, current == folder ? info.rootName.c_str() : snapshot.Name(current));
        text += '"';
        const std::unordered_set<std::string>* unread = nullptr; // its files not read
        if (snapshot.IsExcluded(current)) {
            text += ",\"excluded\":\"otherfs\"";
            AppendTime(text, snapshot.Modified(current));
        } else {
            AppendTime(text, snapshot.Modified(current));
            if (current == folder)
                AppendSizes(text, info.nOwnBytes, info.nOwnDiskBytes);
            else
                AppendSizes(text, snapshot.OwnBytes(current), snapshot.OwnAllocated(current));
            if (current == folder) {
                text += ",\"dev\":";
                AppendNumber(text, info.nDevice);
            }
            if (unreadFiles && unreadFiles->count(current))
                unread = &unreadFiles->at(current);
            if (unread || snapshot.IsUnreadable(current))
                text += ",\"read_error\":true";
        }
        text += '}';
        if (snapshot.FilesHeld(current)) {
            const uint32_t count = snapshot.OwnFileCount(current);
            for (uint32_t i = 0; i < count; ++i) {
                if (unread && unread->count(snapshot.FileName(current, i)))
                    continue;
                text += ",\n{\"name\":\"";
                AppendJsonText(text, snapshot.FileName(current, i));
                text += '"';
                AppendSizes(text, snapshot.FileSize(current, i),
                            snapshot.FileAllocated(current, i));
                AppendTime(text, snapshot.FileModified(current, i));
                if (!linked.empty()) {
                    const auto it = linked.find(uint64_t{current} << 32 | i);
                    if (it != linked.end()) {
                        const LinkedName& file = *it->second;
                        if (file.device != info.nDevice) {
                            text += ",\"dev\":";
                            AppendNumber(text, file.device);
                        }
                        text += ",\"ino\":";
                        AppendNumber(text, file.id);
                        text += ",\"hlnkc\":true,\"nlink\":";
                        AppendNumber(text, file.links);
                    }
                }
                text += '}';
                if (!json.Flush())
                    return false;
            }
        }
        Index child = snapshot.FirstSubfolder(current);
        while (child == FolderSnapshot::kNone) {
            text += ']';
            if (current == folder) {
                text += "]\n";
                return json.Flush(true) && std::fflush(out) == 0;
            }
            child = next.back();
            next.pop_back();
            current = snapshot.Parent(current);
        }
        next.push_back(snapshot.NextSubfolder(child));
        text += ",\n";
        current = child;
        if (!json.Flush())
            return false;
    }
}
