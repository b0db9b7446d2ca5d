// dscp-report's pieces: command line, type names, and the folder report it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <cstring>
#include <map>

#include "command_line.h"
#include "csv_report.h"
#include "ncdu_export.h"
#include "folder_report.h"
#include "generic_type_name.h"
#include "linked_name_counter.h"
#include "path_text.h"
#include "size_text.h"
#include "temp_tree.h"

#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace {

bool Parse(std::vector<const char*> args, ReportOptions& options, std::string& error) {
    args.insert(args.begin(), "dscp-report");
    return ParseCommandLine(static_cast<int>(args.size()), args.data(), options, error);
}

std::string TypeForTest(const std::string&, const char* name, bool bFolder) {
    return GenericTypeName(name, bFolder);
}

} // namespace

TEST(ParseCommandLine, FolderAndOutputFile) {
    ReportOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, options, error));
    EXPECT_EQ(options.folder, ".");
    EXPECT_EQ(options.outputFile, "");

    ASSERT_TRUE(Parse({"-o", "out.txt", "--exact", "--threads", "3", "data"}, options, error));
    EXPECT_EQ(options.nThreads, 3u);
    EXPECT_EQ(options.folder, "data");
    EXPECT_EQ(options.outputFile, "out.txt");
    EXPECT_TRUE(options.bExactTotals);

    ReportOptions dashed;
    ASSERT_TRUE(Parse({"--", "-odd-name"}, dashed, error));
    EXPECT_EQ(dashed.folder, "-odd-name");
}

TEST(ParseCommandLine, RefusesBadInput) {
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"-y"}, {"--threads"}, {"a", "b"}, {"-o"}, {""}, {"-o", ""}}) {
        ReportOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(GenericTypeName, NamesTypesAsAShellThatDoesNotKnowThem) {
    EXPECT_EQ(GenericTypeName("sub", true), "File folder");
    EXPECT_EQ(GenericTypeName("notes.txt", false), "TXT File");
    EXPECT_EQ(GenericTypeName("archive.tar.gz", false), "GZ File");
    EXPECT_EQ(GenericTypeName("Makefile", false), "File");
    EXPECT_EQ(GenericTypeName("trailing.", false), "File");
    EXPECT_EQ(GenericTypeName(".profile", false), "PROFILE File");
}

TEST(BuildFolderReport, TotalsSubfoldersAndSortsLargestFirst) {
    TempTree tree;
    tree.Folder("A");
    tree.File("A/data", 3 << 20);
    tree.Folder("B/inner");
    tree.File("B/inner/data", 5 << 20);
    tree.Folder("empty");
    tree.File("kilo.txt", 1024);
    tree.File("zero", 0);
    FolderReport report;
    int nError = -1;
    std::vector<std::string> progress;
    std::vector<std::string> counts;
    ASSERT_TRUE(BuildFolderReport(
        tree.Root(), TypeForTest, 2,
        [&](size_t done, size_t n, const char* name) {
            counts.push_back(std::to_string(done) + "/" + std::to_string(n));
            progress.push_back(name);
        },
        report, nError));
    EXPECT_EQ(nError, 0);
    EXPECT_EQ(counts, (std::vector<std::string>{"1/3", "2/3", "3/3"}));
    std::sort(progress.begin(), progress.end());
    EXPECT_EQ(progress, (std::vector<std::string>{"A", "B", "empty"}));
    EXPECT_EQ(report.folderPath, tree.Root());
    EXPECT_EQ(report.nFolders, 3);
    EXPECT_EQ(report.nFiles, 2);
    EXPECT_EQ(report.nTotalBytes, (8 << 20) + 1024);
    EXPECT_EQ(report.nFoldersBeneath, 4); // A, B, B/inner, empty
    EXPECT_EQ(report.nFilesBeneath, 4);
    EXPECT_TRUE(report.unreadable.empty());
    ASSERT_EQ(report.entries.size(), 5u);
    const FolderReportRow first = ReportCells(report.entries[0]);
    EXPECT_EQ(first, (FolderReportRow{"B", "5.0 MB", "File folder", first[3], "1", "1"}));
    EXPECT_FALSE(first[3].empty());
    EXPECT_EQ(report.entries[1].name, "A");
    const FolderReportRow kilo = ReportCells(report.entries[2]);
    EXPECT_EQ(kilo, (FolderReportRow{"kilo.txt", "1.0 KB", "TXT File", kilo[3], "", ""}));
    // Equal sizes keep the list's order: subfolders before files.
    EXPECT_EQ(ReportCells(report.entries[3])[0], "empty");
    EXPECT_EQ(ReportCells(report.entries[3])[1], "0 KB");
    EXPECT_EQ(report.entries[4].name, "zero");
}

TEST(BuildFolderReport, TheLongestNamesAreRowsOfTheirOwn) {
    TempTree tree;
    const std::string longFolder(255, 'd'); // the longest a Linux name can be
    const std::string longFile(255, 'f');
    tree.File(longFolder + "/inner", 2048);
    tree.File(longFile, 1024);
    FolderReport report;
    int nError = 0;
    ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, 1, nullptr, report, nError));
    ASSERT_EQ(report.entries.size(), 2u);
    EXPECT_EQ(report.entries[0].name, longFolder);
    EXPECT_EQ(ReportCells(report.entries[0])[1], "2.0 KB");
    EXPECT_EQ(report.entries[1].name, longFile);
    EXPECT_EQ(report.nTotalBytes, 3072);
}

TEST(BuildFolderReport, ExactTotalKeepsSmallFiles) {
    TempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.File("small" + std::to_string(i), 100); // each shows as 0.1 KB
    FolderReport report;
    int nError = 0;
    ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, 0, nullptr, report, nError));
    EXPECT_EQ(report.nTotalBytes, 2000);
}

TEST(BuildFolderReport, UnreadableFolderIsRefusedWithItsReason) {
    TempTree tree;
    tree.File("file", 1);
    FolderReport report;
    int nError = 0;
    EXPECT_FALSE(BuildFolderReport(tree.Path("missing"), TypeForTest, 0, nullptr, report, nError));
    EXPECT_EQ(nError, ENOENT);
    EXPECT_FALSE(BuildFolderReport(tree.Path("file"), TypeForTest, 0, nullptr, report, nError));
    EXPECT_NE(nError, 0);
}

#ifndef _WIN32
// A folder nobody may open, and a folder that may be listed but not entered, whose
// entries' sizes cannot be read: each is named with its reason, the rest is counted.
TEST(BuildFolderReport, NamesEveryPartThatCannotBeRead) {
    TempTree tree;
    tree.File("top/readable", 700);
    tree.File("top/locked/hidden", 700);
    tree.File("top/listonly/unseen", 700);
    tree.Folder("top/listonly/inner");
    tree.File("listonly-here/unseen", 5);
    std::filesystem::permissions(tree.Path("top/locked"), std::filesystem::perms::none);
    std::filesystem::permissions(tree.Path("top/listonly"), std::filesystem::perms::owner_read);
    WithoutPermissionOverride asUser;
    if (!asUser.Works())
        GTEST_SKIP() << "cannot drop the permission override";

    FolderReport report;
    int nError = 0;
    const bool listed = BuildFolderReport(tree.Root(), TypeForTest, 2, nullptr, report, nError);
    std::vector<std::string> unreadable;
    for (const UnreadablePath& part : report.unreadable) {
        EXPECT_EQ(part.nError, EACCES) << part.path;
        unreadable.push_back(part.path);
    }
    FolderReport listOnly;
    const bool listedListOnly =
        BuildFolderReport(tree.Path("top/listonly"), TypeForTest, 1, nullptr, listOnly, nError);
    std::filesystem::permissions(tree.Path("top/locked"), std::filesystem::perms::owner_all);
    std::filesystem::permissions(tree.Path("top/listonly"), std::filesystem::perms::owner_all);

    ASSERT_TRUE(listed);
    EXPECT_EQ(unreadable, (std::vector<std::string>{tree.Path("top/listonly/inner"),
                                                    tree.Path("top/listonly/unseen"),
                                                    tree.Path("top/locked")}));
    EXPECT_EQ(report.nTotalBytes, 700 + 5);
    // Listed itself but not entered: each entry is named once, and its rows have no date
    // (in the text and in the CSV), the system having told none.
    ASSERT_TRUE(listedListOnly);
    std::vector<std::string> listOnlyUnreadable;
    for (const UnreadablePath& part : listOnly.unreadable)
        listOnlyUnreadable.push_back(part.path);
    EXPECT_EQ(listOnlyUnreadable, (std::vector<std::string>{tree.Path("top/listonly/inner"),
                                                            tree.Path("top/listonly/unseen")}));
    ASSERT_EQ(listOnly.entries.size(), 2u);
    for (const ReportEntry& entry : listOnly.entries) {
        EXPECT_EQ(ReportCells(entry)[3], "") << entry.name;
        const std::string ending = entry.bFolder ? ",File folder,,0,0\r\n" : ",File,,,\r\n";
        EXPECT_NE(CsvRow(entry).find(ending), std::string::npos) << CsvRow(entry);
    }
}
#endif

#ifndef _WIN32
// A file with three names in three subfolders (one of them a level down, another beside
// the listed folder's own files) counts once, in the subfolder of its first path by name,
// with any number of threads; counting every link gives each row the bytes again.
TEST(BuildFolderReport, HardLinksCountOnceInTheFolderOfTheFirstPath) {
    TempTree tree;
    tree.File("zeta/deeper/shared", 4096);
    tree.File("mid/other", 10);
    tree.Folder("alpha/sub");
    std::filesystem::create_hard_link(tree.Path("zeta/deeper/shared"), tree.Path("mid/name2"));
    std::filesystem::create_hard_link(tree.Path("zeta/deeper/shared"), tree.Path("alpha/sub/x"));
    std::filesystem::create_hard_link(tree.Path("zeta/deeper/shared"), tree.Path("here"));
    for (unsigned threads : {1u, 2u, 4u}) {
        ReportScanOptions options;
        options.nThreads = threads;
        FolderReport report;
        int nError = 0;
        ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, options, nullptr, report, nError));
        EXPECT_EQ(report.nCountedOnce, 1);
        EXPECT_EQ(report.nTotalBytes, 4096 + 10) << threads;
        std::map<std::string, int64_t> sizes;
        for (const ReportEntry& entry : report.entries)
            sizes[entry.name] = entry.nSize;
        EXPECT_EQ(sizes, (std::map<std::string, int64_t>{
                             {"alpha", 4096}, {"mid", 10}, {"zeta", 0}, {"here", 4096}}))
            << threads;

        options.bCountLinks = true;
        ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, options, nullptr, report, nError));
        EXPECT_EQ(report.nCountedOnce, 0);
        EXPECT_EQ(report.nTotalBytes, 4 * 4096 + 10);
    }
}
#endif

#ifndef _WIN32
namespace {

// A small file system of its own mounted inside a test's tree, for as long as this lives.
class TmpfsMount {
public:
    TmpfsMount(const std::string& path, const char* options) : m_path(path) {
        std::filesystem::create_directories(path);
        m_bMounted = mount("none", path.c_str(), "tmpfs", 0, options) == 0;
        m_nError = errno;
    }
    ~TmpfsMount() {
        if (m_bMounted)
            umount2(m_path.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_bMounted; }
    int Error() const { return m_nError; }

private:
    std::string m_path;
    bool m_bMounted = false;
    int m_nError = 0;
};

} // namespace

// -x: another file system inside the tree is one folder holding nothing, marked excluded
// in the snapshot; one that may not be read is left out the same way, not reported.
TEST(BuildFolderReport, OneFileSystemLeavesOtherMountsOut) {
    TempTree tree;
    tree.File("here/data", 300);
    TmpfsMount other(tree.Path("here/mnt"), "size=64k,mode=700,uid=65534,gid=65534");
    ASSERT_TRUE(other.Mounted()) << "mounting a tmpfs needs root (CAP_SYS_ADMIN): "
                                 << std::strerror(other.Error());
    tree.File("here/mnt/elsewhere", 4000);

    ReportScanOptions options;
    options.bOneFileSystem = true;
    options.bKeepSnapshot = true;
    FolderReport report;
    int nError = 0;
    ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, options, nullptr, report, nError));
    EXPECT_EQ(report.nTotalBytes, 300);
    EXPECT_EQ(report.nFoldersBeneath, 2);
    EXPECT_TRUE(report.snapshot.IsExcluded(report.snapshot.Find(tree.Path("here/mnt"))));

    FolderReport asUser;
    FolderReport everything;
    bool listed = false;
    bool listedEverything = false;
    {
        WithoutPermissionOverride dropped;
        ASSERT_TRUE(dropped.Works()) << "cannot drop the permission override";
        listed = BuildFolderReport(tree.Root(), TypeForTest, options, nullptr, asUser, nError);
        listedEverything =
            BuildFolderReport(tree.Root(), TypeForTest, 1, nullptr, everything, nError);
    }
    ASSERT_TRUE(listed && listedEverything);
    EXPECT_TRUE(asUser.unreadable.empty()) << asUser.unreadable[0].path;
    EXPECT_EQ(asUser.nTotalBytes, 300);
    EXPECT_TRUE(asUser.snapshot.IsExcluded(asUser.snapshot.Find(tree.Path("here/mnt"))));
    // Without -x the same mount point is a folder that could not be read.
    ASSERT_EQ(everything.unreadable.size(), 1u);
    EXPECT_EQ(everything.unreadable[0].path, tree.Path("here/mnt"));
}
#endif

#ifndef _WIN32
// Which name carries a linked file's bytes goes by the whole path as text ("x-/f" comes
// before "x/f": '-' sorts before the separator), however deep the names lie and in whatever
// order they are taken; the counter keeps one entry a file, not one a name.
TEST(BuildFolderReport, LinkedNamesGoByWholePathsAtAnyDepth) {
    TempTree tree;
    tree.File("x/f", 100);
    tree.Folder("x-");
    std::filesystem::create_hard_link(tree.Path("x/f"), tree.Path("x-/f"));
    std::string deep = "deep";
    for (int i = 0; i < 400; ++i)
        deep += "/d";
    tree.File(deep + "/n0", 4096);
    for (int i = 1; i < 300; ++i)
        std::filesystem::create_hard_link(tree.Path(deep + "/n0"),
                                          tree.Path(deep + "/n" + std::to_string(i)));
    std::filesystem::create_hard_link(tree.Path(deep + "/n0"), tree.Path("deeq"));

    ReportScanOptions options;
    options.nThreads = 4;
    options.bKeepSnapshot = true;
    FolderReport report;
    int nError = 0;
    ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, options, nullptr, report, nError));
    EXPECT_EQ(report.nCountedOnce, 2);
    EXPECT_EQ(report.nTotalBytes, 100 + 4096);
    std::map<std::string, int64_t> sizes;
    for (const ReportEntry& entry : report.entries)
        sizes[entry.name] = entry.nSize;
    EXPECT_EQ(sizes, (std::map<std::string, int64_t>{
                         {"x", 0}, {"x-", 100}, {"deep", 4096}, {"deeq", 4096}}));
    ASSERT_EQ(report.linkedNames.size(), 2u + 301u);

    // The same names the other way round: the same first names and later bytes.
    LinkedNameCounter reversed(report.snapshot, report.folderNode, false);
    for (auto it = report.linkedNames.rbegin(); it != report.linkedNames.rend(); ++it)
        reversed.Take(*it);
    EXPECT_EQ(reversed.FileCount(), 2u);
    EXPECT_EQ(reversed.CountedOnce(), 2);
    std::map<std::string, int64_t> later;
    for (const auto& [folder, bytes] : reversed.LaterBytes())
        later[report.snapshot.PathOf(folder)] += bytes;
    EXPECT_EQ(later,
              (std::map<std::string, int64_t>{
                  {tree.Path("x"), 100}, {tree.Path("deep"), 299 * 4096}, {tree.Root(), 4096}}));
}
#endif

TEST(SortLargestFirst, ComparesExactBytesAndKeepsTheOrderOfEqualSizes) {
    // 0.1 KB against 0.9 KB and 2.0 KB against 2.9 KB: whole kilobytes would tie them.
    std::vector<ReportEntry> entries;
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, int64_t>>{
             {"a", 102}, {"b", 2048}, {"c", 922}, {"d", 2970}, {"e", 0}, {"f", 922}, {"g", 0}})
        entries.push_back({name, "", bytes, 0, 0, 0, false});
    SortLargestFirst(entries);
    std::string order;
    for (const ReportEntry& entry : entries)
        order += entry.name;
    EXPECT_EQ(order, "dbcfaeg");
}

TEST(ParseCommandLine, FormatsAndWalkOptions) {
    ReportOptions options;
    std::string error;
    ASSERT_TRUE(
        Parse({"--json", "-o", "-", "-x", "--count-links", "--version", "dir"}, options, error));
    EXPECT_EQ(options.format, ReportFormat::Json);
    EXPECT_EQ(options.outputFile, "-");
    EXPECT_TRUE(options.bOneFileSystem && options.bCountLinks && options.bVersion);
    ReportOptions both;
    EXPECT_FALSE(Parse({"--csv", "--json"}, both, error));
    EXPECT_TRUE(Parse({"--csv", "--csv", "--one-file-system"}, both, error));
    EXPECT_EQ(both.format, ReportFormat::Csv);
}

TEST(ReportFormats, JsonKeepsEveryByteButTheOnesItMustEscape) {
    std::string json;
    // DEL too: ncdu's reader takes no raw control character, DEL included.
    AppendJsonText(json, "a\"b\\c\n\t\x01\x1f\x7f\x80\xff\xfe \xce\xb1");
    EXPECT_EQ(json, "a\\\"b\\\\c\\n\\t\\u0001\\u001f\\u007f\x80\xff\xfe \xce\xb1");
}

TEST(ReportFormats, CsvQuotesWhatNeedsItAndWritesUtf8) {
    EXPECT_EQ(CsvRecord({"plain", "a,b", "say \"hi\"", "two\nlines", ""}),
              "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\r\n");
    ReportEntry file{"bad\xff\xc3(\xe4\xb8\xad", "File", 1536, 0, 0, 0, false};
    const std::string row = CsvRow(file);
    EXPECT_EQ(row.substr(0, row.find(",File,")),
              "bad\xef\xbf\xbd\xef\xbf\xbd(\xe4\xb8\xad,1536,1.5 KB");
    EXPECT_NE(row.find(",File,1970-01-01T00:00,,\r\n"), std::string::npos) << row;
    ReportEntry folder{"sub", "File folder", 0, 0, 2, 7, true};
    EXPECT_EQ(CsvRow(folder).substr(CsvRow(folder).size() - 6), ",2,7\r\n");
}
