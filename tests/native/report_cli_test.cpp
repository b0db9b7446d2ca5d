// dscp-report's pieces: command line, type names, and the folder report it prints.
#include <gtest/gtest.h>

#include <algorithm>

#include "command_line.h"
#include "folder_report.h"
#include "generic_type_name.h"
#include "path_text.h"
#include "size_text.h"
#include "temp_tree.h"

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
    for (const auto& args :
         std::vector<std::vector<const char*>>{{"-x"}, {"--threads"}, {"a", "b"}, {"-o"}, {""}}) {
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
    std::vector<std::string> progress;
    std::vector<std::string> counts;
    ASSERT_TRUE(BuildFolderReport(
        tree.Root(), TypeForTest, 2,
        [&](size_t done, size_t n, const char* name) {
            counts.push_back(std::to_string(done) + "/" + std::to_string(n));
            progress.push_back(name);
        },
        report));
    EXPECT_EQ(counts, (std::vector<std::string>{"1/3", "2/3", "3/3"}));
    std::sort(progress.begin(), progress.end());
    EXPECT_EQ(progress, (std::vector<std::string>{"A", "B", "empty"}));
    EXPECT_EQ(report.folderPath, tree.Root());
    EXPECT_EQ(report.nFolders, 3);
    EXPECT_EQ(report.nFiles, 2);
    EXPECT_EQ(report.nTotalBytes, (8 << 20) + 1024);
    EXPECT_EQ(report.nFoldersBeneath, 4); // A, B, B/inner, empty
    EXPECT_EQ(report.nFilesBeneath, 4);
    ASSERT_EQ(report.rows.size(), 5u);
    EXPECT_EQ(report.rows[0],
              (FolderReportRow{"B", "5.0 MB", "File folder", report.rows[0][3], "1", "1"}));
    EXPECT_EQ(report.rows[1][0], "A");
    EXPECT_EQ(report.rows[2],
              (FolderReportRow{"kilo.txt", "1.0 KB", "TXT File", report.rows[2][3], "", ""}));
    // Equal sizes keep the list's order: subfolders before files.
    EXPECT_EQ(report.rows[3][0], "empty");
    EXPECT_EQ(report.rows[3][1], "0 KB");
    EXPECT_EQ(report.rows[4][0], "zero");
    EXPECT_FALSE(report.rows[0][3].empty());
}

TEST(BuildFolderReport, TheLongestNamesAreRowsOfTheirOwn) {
    TempTree tree;
    const std::string longFolder(255, 'd'); // the longest a Linux name can be
    const std::string longFile(255, 'f');
    tree.File(longFolder + "/inner", 2048);
    tree.File(longFile, 1024);
    FolderReport report;
    ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, 1, nullptr, report));
    ASSERT_EQ(report.rows.size(), 2u);
    EXPECT_EQ(report.rows[0][0], longFolder);
    EXPECT_EQ(report.rows[0][1], "2.0 KB");
    EXPECT_EQ(report.rows[1][0], longFile);
    EXPECT_EQ(report.nTotalBytes, 3072);
}

TEST(BuildFolderReport, ExactTotalKeepsSmallFiles) {
    TempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.File("small" + std::to_string(i), 100); // each shows as 0.1 KB
    FolderReport report;
    ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, 0, nullptr, report));
    EXPECT_EQ(report.nTotalBytes, 2000);
}

TEST(BuildFolderReport, UnreadableFolderIsRefused) {
    TempTree tree;
    FolderReport report;
    EXPECT_FALSE(BuildFolderReport(tree.Path("missing"), TypeForTest, 0, nullptr, report));
}

TEST(SortRowsBySize, ComparesByValueNotText) {
    std::vector<FolderReportRow> rows = {{"a", "900.0 KB"}, {"b", "2.0 MB"}, {"c", "1023.9 MB"},
                                         {"d", "1.0 GB"},   {"e", ""},       {"f", "0 KB"}};
    SortRowsBySize(rows);
    std::string order;
    for (const auto& row : rows)
        order += row[0];
    EXPECT_EQ(order, "dcbaef");
}
