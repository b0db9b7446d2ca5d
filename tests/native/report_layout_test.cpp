#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "report_layout.h"
#include "temp_tree.h"

TEST(FolderReportLines, EmptyFolderHasHeadingTitlesAndRuleOnly) {
    const auto lines = FolderReportLines("C:\\Data", {});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Path: C:\\Data");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2],
              "Name                               Size Type                      Date       "
              "              Folder      Files");
    EXPECT_EQ(lines[2].size(), 108u);
    EXPECT_EQ(lines[3], std::string(108, '='));
}

TEST(FolderReportLines, RowsArePaddedAndNeverCut) {
    const auto lines = FolderReportLines(
        "/x", {{"docs", "8.0 MB", "File folder", "5/29/2006 16:5", "2", "31"},
               {"a-name-that-is-longer-than-28-chars.txt", "0.3 KB", "TXT File", "d", "", ""}});
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "docs                             8.0 MB File folder               "
                        "5/29/2006 16:5                2         31");
    // "d" fills its 20 columns, then " " + 10 + " " + 10 for the empty counts.
    EXPECT_EQ(lines[5], "a-name-that-is-longer-than-28-chars.txt     0.3 KB TXT File            "
                        "      d" +
                            std::string(19 + 1 + 10 + 1 + 10, ' '));
}

TEST(DriveReportLines, ThreeColumnsAndBlankCellsForDrivesWithoutSizes) {
    const auto lines = DriveReportLines("", {{"C:", "40.0 GB", "12.5 GB"}, {"A:", "", ""}});
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Path: ");
    EXPECT_EQ(lines[2], "Name             Size Free Space");
    EXPECT_EQ(lines[3], std::string(30, '='));
    EXPECT_EQ(lines[4], "C:            40.0 GB    12.5 GB");
    EXPECT_EQ(lines[5], "A:" + std::string(8 + 1 + 10 + 1 + 10, ' '));
}

TEST(WriteReportFile, EndsEveryLineWithCrLf) {
    TempTree tree;
    const std::string file = tree.Path("report.txt");
    ASSERT_TRUE(WriteReportFile(file, {"Path: x", "", "row"}));
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "Path: x\r\n\r\nrow\r\n");
}

TEST(WriteReportFile, ReportsFilesThatCannotBeOpened) {
    TempTree tree;
    EXPECT_FALSE(WriteReportFile(tree.Path("missing/report.txt"), {"x"}));
    EXPECT_EQ(WriteReport(tree.Path("missing/report.txt"), {"x"}), ReportWriteResult::NotOpened);
}

#ifndef _WIN32
TEST(WriteReportFile, AFullDiskIsAFailureAndTheDeviceStays) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(WriteReportFile("/dev/full", {std::string(1 << 16, 'x')}));
    EXPECT_EQ(WriteReport("/dev/full", {"short"}), ReportWriteResult::NotWritten);
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}
#endif
