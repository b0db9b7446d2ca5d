#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "report_layout.h"
#include "temp_tree.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string Contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

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

// Every column starts at the same display column whatever script the name is written
// in: 8 Greek letters, 6 Cyrillic, 3 Chinese ones taking two columns each, and a
// combining accent taking none. The counts pad to the same place as in an ASCII line.
TEST(FolderReportLines, PadsByDisplayColumnsNotBytes) {
    const auto lines = FolderReportLines("/x", {{"ascii", "1.0 KB"},
                                                {"Ελληνικά", "1.0 KB"},
                                                {"Привет", "1.0 KB"},
                                                {"中文名", "1.0 KB"},
                                                {"e\xCC\x81t\xC3\xA9", "1.0 KB"}});
    ASSERT_EQ(lines.size(), 9u);
    const std::string tail = std::string(4, ' ') + "1.0 KB" + std::string(1 + 25 + 1 + 20, ' ') +
                             std::string(1 + 10 + 1 + 10, ' ');
    EXPECT_EQ(lines[4], "ascii" + std::string(23, ' ') + " " + tail);
    EXPECT_EQ(lines[5], "Ελληνικά" + std::string(20, ' ') + " " + tail);
    EXPECT_EQ(lines[6], "Привет" + std::string(22, ' ') + " " + tail);
    EXPECT_EQ(lines[7], "中文名" + std::string(22, ' ') + " " + tail);
    EXPECT_EQ(lines[8], "e\xCC\x81t\xC3\xA9" + std::string(25, ' ') + " " + tail);
}

// A newline in a name would split its row, an escape sequence would drive the terminal
// the report is shown on: both are shown as '?', in the rows and the Path line.
TEST(FolderReportLines, ShowsControlCharactersAsQuestionMarks) {
    const auto lines = FolderReportLines("/x/new\nline", {{"tab\there", "0 KB"},
                                                          {"esc\x1b[2J", "0 KB"},
                                                          {"c1\xC2\x9B"
                                                           "1m",
                                                           ""}});
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Path: /x/new?line");
    EXPECT_EQ(lines[4].substr(0, 29), "tab?here                     ");
    EXPECT_EQ(lines[5].substr(0, 29), "esc?[2J                      ");
    EXPECT_EQ(lines[6].substr(0, 29), "c1?1m                        ");
    for (const std::string& line : lines)
        for (char c : line)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << line;
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
    // The system's reason, not a stand-in.
    ReplacingFile file;
    EXPECT_FALSE(file.Open(tree.Path("missing/report.txt")));
    EXPECT_EQ(file.Error(), ENOENT);
    tree.Folder("folder");
    EXPECT_FALSE(file.Open(tree.Path("folder")));
    EXPECT_NE(file.Error(), 0);
    EXPECT_NE(file.Error(), EIO);
}

// A report replaces the file at its name only once it is whole; the folder never holds
// anything else of it.
TEST(ReplacingFile, ReplacesTheFileOnlyWhenCommitted) {
    TempTree tree;
    const std::string name = tree.Path("report.txt");
    ASSERT_TRUE(WriteReportFile(name, {"old"}));
    ReplacingFile file;
    ASSERT_TRUE(file.Open(name));
    std::fputs("new", file.Stream());
    std::fflush(file.Stream());
    EXPECT_EQ(Contents(name), "old\r\n");
    file.Discard();
    EXPECT_EQ(Contents(name), "old\r\n");
    EXPECT_EQ(NamesIn(tree.Root()), std::vector<std::string>{"report.txt"});

    ASSERT_TRUE(file.Open(name));
    std::fputs("new", file.Stream());
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(Contents(name), "new");
    EXPECT_EQ(NamesIn(tree.Root()), std::vector<std::string>{"report.txt"});
}

#ifndef _WIN32
TEST(WriteReportFile, AFullDiskIsAFailureAndTheDeviceStays) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(WriteReportFile("/dev/full", {std::string(1 << 16, 'x')}));
    EXPECT_EQ(WriteReport("/dev/full", {"short"}), ReportWriteResult::NotWritten);
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

// A regular file that fills up partway (here: the process's file size limit) is
// removed, so no cut report is left looking like a whole one.
TEST(WriteReportFile, APartialFileIsRemoved) {
    TempTree tree;
    const std::string file = tree.Path("report.txt");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*savedHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ReportWriteResult result =
        WriteReport(file, std::vector<std::string>(1000, std::string(100, 'x')));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_EQ(result, ReportWriteResult::NotWritten);
    EXPECT_FALSE(std::filesystem::exists(file));
}

// A write that fails partway leaves the file that was there as it was, and no partial
// one beside it; a whole one takes its place with its permissions.
TEST(WriteReportFile, AFailedWriteKeepsTheOldFile) {
    TempTree tree;
    const std::string file = tree.Path("report.txt");
    ASSERT_TRUE(WriteReportFile(file, {"old"}));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0) << "giving a file away needs root";
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*savedHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    ReportFileWriter writer;
    const bool opened = writer.Open(file);
    for (int i = 0; i < 1000; ++i)
        writer.WriteLine(std::string(100, 'x'));
    const ReportWriteResult result = writer.Close();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    ASSERT_TRUE(opened);
    EXPECT_EQ(result, ReportWriteResult::NotWritten);
    EXPECT_EQ(writer.Error(), EFBIG);
    EXPECT_EQ(Contents(file), "old\r\n");
    EXPECT_EQ(NamesIn(tree.Root()), std::vector<std::string>{"report.txt"});

    ASSERT_TRUE(WriteReportFile(file, {"new"}));
    EXPECT_EQ(Contents(file), "new\r\n");
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
}

// What is not a regular file is written as it is: a device stays a device, a pipe's reader
// gets the bytes, and nothing is made beside either.
TEST(ReplacingFile, WritesDevicesAndPipesDirectly) {
    ReplacingFile null;
    ASSERT_TRUE(null.Open("/dev/null"));
    std::fputs("gone", null.Stream());
    EXPECT_TRUE(null.Commit());
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    TempTree tree;
    const std::string pipe = tree.Path("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Contents(pipe); });
    ReplacingFile file;
    const bool opened = file.Open(pipe);
    if (opened)
        std::fputs("through the pipe", file.Stream());
    const bool committed = opened && file.Commit();
    if (!opened)
        std::ofstream(pipe).close(); // lets the reader finish
    reader.join();
    EXPECT_TRUE(committed);
    EXPECT_EQ(received, "through the pipe");
    EXPECT_EQ(NamesIn(tree.Root()), std::vector<std::string>{"pipe"});
}
#endif
