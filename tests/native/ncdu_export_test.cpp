// The JSON export read back: a made tree written out, parsed by a reader as strict as ncdu's,
// and compared with what is on disk.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "folder_report.h"
#include "generic_type_name.h"
#include "ncdu_export.h"
#include "temp_tree.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    int64_t number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;
};

// JSON as ncdu reads it: integers only, and no raw control character or DEL in a string.
class JsonReader {
public:
    explicit JsonReader(const std::string& text) : m_text(text) {}

    bool Read(JsonValue& value) { return Value(value) && (Space(), m_pos == m_text.size()); }
    size_t Position() const { return m_pos; }

private:
    void Space() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }
    bool Take(char c) {
        Space();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const size_t length = std::char_traits<char>::length(word);
        if (m_text.compare(m_pos, length, word) != 0)
            return false;
        m_pos += length;
        return true;
    }
    bool Value(JsonValue& value) {
        Space();
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos];
        if (c == '"') {
            value.kind = JsonValue::String;
            return Text(value.text);
        }
        if (c == '[') {
            value.kind = JsonValue::Array;
            ++m_pos;
            if (Take(']'))
                return true;
            do {
                value.items.emplace_back();
                if (!Value(value.items.back()))
                    return false;
            } while (Take(','));
            return Take(']');
        }
        if (c == '{') {
            value.kind = JsonValue::Object;
            ++m_pos;
            if (Take('}'))
                return true;
            do {
                std::string name;
                Space();
                if (!Text(name) || !Take(':') || !Value(value.fields[name]))
                    return false;
            } while (Take(','));
            return Take('}');
        }
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            value.kind = JsonValue::Number;
            size_t used = 0;
            value.number = std::stoll(m_text.substr(m_pos, 24), &used);
            m_pos += used;
            return true;
        }
        value.kind = JsonValue::Bool;
        value.flag = c == 't';
        if (Word("true") || Word("false"))
            return true;
        value.kind = JsonValue::Null;
        return Word("null");
    }
    bool Text(std::string& out) {
        if (m_pos >= m_text.size() || m_text[m_pos] != '"')
            return false;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20 || c == 0x7f)
                return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (++m_pos >= m_text.size())
                return false;
            const char e = m_text[m_pos];
            static const std::string kPlain = "\"\\/bfnrt";
            static const std::string kMeant = "\"\\/\b\f\n\r\t";
            if (kPlain.find(e) != std::string::npos) {
                out += kMeant[kPlain.find(e)];
            } else if (e == 'u' && m_pos + 4 < m_text.size()) {
                const unsigned code = std::stoul(m_text.substr(m_pos + 1, 4), nullptr, 16);
                if (code >= 0x80) // the export escapes nothing beyond DEL
                    return false;
                out += static_cast<char>(code);
                m_pos += 4;
            } else {
                return false;
            }
        }
        return false;
    }

    const std::string& m_text;
    size_t m_pos = 0;
};

std::string TypeForTest(const std::string&, const char* name, bool bFolder) {
    return GenericTypeName(name, bFolder);
}

// The export of `folder`'s report, parsed.
JsonValue ExportOf(const std::string& folder, FolderReport& report) {
    ReportScanOptions options;
    options.bKeepSnapshot = true;
    options.nThreads = 2;
    int nError = 0;
    EXPECT_TRUE(BuildFolderReport(folder, TypeForTest, options, nullptr, report, nError));
    NcduExportInfo info = ReportExportInfo(report);
    info.progver = "1.2.3";
    info.timestamp = 1234;
    std::FILE* file = std::tmpfile();
    EXPECT_TRUE(WriteNcduExport(report.snapshot, report.folderNode, info, file));
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(&text[0], 1, text.size(), file), text.size());
    std::fclose(file);
    JsonValue doc;
    JsonReader reader(text);
    EXPECT_TRUE(reader.Read(doc)) << "stops at byte " << reader.Position() << " of:\n" << text;
    return doc;
}

// Every entry of an exported tree by its path beneath the root ("" for the root): its fields.
void Flatten(const JsonValue& node, const std::string& path,
             std::map<std::string, std::map<std::string, JsonValue>>& out) {
    const JsonValue& info = node.kind == JsonValue::Array ? node.items.at(0) : node;
    const std::string here = path + "/" + info.fields.at("name").text;
    out[here] = info.fields;
    out[here]["folder"].flag = node.kind == JsonValue::Array;
    for (size_t i = 1; node.kind == JsonValue::Array && i < node.items.size(); ++i)
        Flatten(node.items[i], here, out);
}

} // namespace

TEST(NcduExport, ReadsBackAsTheTreeOnDisk) {
    TempTree tree;
    tree.File("sub/inner/data", 5000);
    tree.Folder("empty");
    tree.File("top.txt", 10);
    std::vector<std::string> names = {"plain", "two words.txt"};
#ifndef _WIN32
    for (const char* odd : {"αβγ.txt", "say \"hi\"", "back\\slash", "new\nline", "tab\there",
                            "del\x7fname", "bell\x07", "not utf8 \xff\xfe"})
        names.push_back(odd);
    std::filesystem::create_hard_link(tree.Path("top.txt"), tree.Path("sub/second name"));
#endif
    for (size_t i = 0; i < names.size(); ++i)
        tree.File("sub/" + names[i], i + 1);

    FolderReport report;
    const JsonValue doc = ExportOf(tree.Root(), report);
    ASSERT_EQ(doc.kind, JsonValue::Array);
    ASSERT_EQ(doc.items.size(), 4u);
    EXPECT_EQ(doc.items[0].number, 1);
    EXPECT_EQ(doc.items[1].number, 2);
    EXPECT_EQ(doc.items[2].fields.at("progname").text, "dscp");
    EXPECT_EQ(doc.items[2].fields.at("progver").text, "1.2.3");
    EXPECT_EQ(doc.items[2].fields.at("timestamp").number, 1234);
    ASSERT_EQ(doc.items[3].kind, JsonValue::Array);
    std::map<std::string, std::map<std::string, JsonValue>> exported;
    Flatten(doc.items[3], "", exported);
    const std::string root = "/" + tree.Root();
    ASSERT_EQ(exported.count(root), 1u) << "the root is named by its full path";
    EXPECT_EQ(exported[root].count("dev"), 1u);

    // What is on disk, by the same paths: folders, and files with their sizes.
    std::map<std::string, int64_t> onDisk{{root, -1}};
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Root())) {
        const std::string path =
            root + "/" + std::filesystem::relative(entry.path(), tree.Root()).generic_string();
        onDisk[path] = entry.is_directory() ? -1 : static_cast<int64_t>(entry.file_size());
    }
    std::map<std::string, int64_t> read;
    for (auto& [path, fields] : exported) {
        read[path] = fields["folder"].flag ? -1 : fields["asize"].number;
        // A folder's own size is known on POSIX only.
        EXPECT_TRUE(fields["folder"].flag || fields.count("dsize")) << path;
        EXPECT_EQ(fields.count("read_error"), 0u) << path;
#ifndef _WIN32
        // Every entry carries its time, folders and the root included.
        struct stat st;
        ASSERT_EQ(lstat(path.substr(1).c_str(), &st), 0) << path;
        EXPECT_EQ(fields["mtime"].number, static_cast<int64_t>(st.st_mtime)) << path;
#endif
    }
    EXPECT_EQ(read, onDisk);
#ifndef _WIN32
    // Both names of the linked file carry its identity, so a reader counts it once.
    const auto& first = exported[root + "/top.txt"];
    const auto& second = exported[root + "/sub/second name"];
    EXPECT_EQ(first.at("ino").number, second.at("ino").number);
    EXPECT_EQ(first.at("nlink").number, 2);
    EXPECT_TRUE(second.at("hlnkc").flag);
#endif
}

#ifndef _WIN32
// A folder that may be listed but not entered: its files' sizes are unknown, so they are left
// out and the folder is marked read_error, as ncdu marks a folder it cannot enter.
TEST(NcduExport, AFolderListedButNotEnteredIsNotReadWhole) {
    TempTree tree;
    tree.File("open/file", 100);
    tree.File("listonly/unseen", 700);
    tree.Folder("listonly/sub");
    tree.File("shut/hidden", 5);
    chmod(tree.Path("listonly").c_str(), 0444);
    chmod(tree.Path("shut").c_str(), 0);
    FolderReport report;
    JsonValue doc;
    {
        WithoutPermissionOverride asUser;
        ASSERT_TRUE(asUser.Works()) << "cannot drop the permission override";
        doc = ExportOf(tree.Root(), report);
    }
    chmod(tree.Path("listonly").c_str(), 0755);
    chmod(tree.Path("shut").c_str(), 0755);
    ASSERT_EQ(doc.items.size(), 4u);
    std::map<std::string, std::map<std::string, JsonValue>> exported;
    Flatten(doc.items[3], "", exported);
    const std::string root = "/" + tree.Root();
    std::map<std::string, bool> readError;
    for (auto& [path, fields] : exported)
        readError[path] = fields.count("read_error") && fields["read_error"].flag;
    EXPECT_EQ(readError, (std::map<std::string, bool>{{root, false},
                                                      {root + "/open", false},
                                                      {root + "/open/file", false},
                                                      {root + "/listonly", true},
                                                      {root + "/listonly/sub", true},
                                                      {root + "/shut", true}}));
}
#endif
