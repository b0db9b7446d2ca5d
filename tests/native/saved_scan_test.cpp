// Saved scans read back: our own export of random trees gives the walk's report and every
// folder's totals again; ncdu's meanings of its fields; and hostile files, each refused with
// its reason and place, never read past what bounds them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "folder_report.h"
#include "generic_type_name.h"
#include "ncdu_export.h"
#include "path_text.h"
#include "saved_scan_reader.h"
#include "saved_scan_report.h"
#include "temp_tree.h"

namespace {

std::string TypeForTest(const std::string&, const char* name, bool bFolder) {
    return GenericTypeName(name, bFolder);
}

ReadBytes FromText(const std::string& text) {
    auto offset = std::make_shared<size_t>(0);
    return [text, offset](char* buffer, size_t size) -> int64_t {
        const size_t n = std::min(size, text.size() - *offset);
        std::memcpy(buffer, text.data() + *offset, n);
        *offset += n;
        return static_cast<int64_t>(n);
    };
}

bool ReadText(const std::string& text, SavedScan& scan, SavedScanError& error) {
    return ReadSavedScan(FromText(text), scan, error);
}

// Every folder beneath `folder` by its path below it, with its totals and date.
void CollectTotals(const FolderSnapshot& s, FolderSnapshot::Index folder, const std::string& path,
                   std::map<std::string, std::string>& out) {
    FolderTotals totals;
    const bool final = s.GetTotals(folder, totals);
    out[path] = std::to_string(final) + " " + std::to_string(totals.nSize) + " " +
                std::to_string(totals.nFolders) + " " + std::to_string(totals.nFiles) + " " +
                std::to_string(s.Modified(folder)) + " " + std::to_string(s.IsUnreadable(folder));
    for (auto sub = s.FirstSubfolder(folder); sub != FolderSnapshot::kNone;
         sub = s.NextSubfolder(sub))
        CollectTotals(s, sub, path + "/" + s.Name(sub), out);
}

std::string Rows(const FolderReport& report) {
    std::string rows;
    for (const ReportEntry& entry : report.entries) {
        rows += std::to_string(entry.nSize);
        for (const std::string& cell : ReportCells(entry))
            rows += "|" + cell;
        rows += "\n";
    }
    return rows;
}

} // namespace

TEST(SavedScan, OurExportOfARandomTreeReadsBackAsTheWalkSawIt) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        TempTree tree;
        std::mt19937 rng(seed);
        MakeRandomTree(tree, "", rng);
        tree.SetModified("", 1500000000 + seed);
        ReportScanOptions options;
        options.bKeepSnapshot = true;
        options.bCountLinks = true;
        FolderReport walked;
        int nError = 0;
        ASSERT_TRUE(BuildFolderReport(tree.Root(), TypeForTest, options, nullptr, walked, nError));

        std::FILE* file = std::tmpfile();
        NcduExportInfo info = ReportExportInfo(walked);
        ASSERT_TRUE(WriteNcduExport(walked.snapshot, walked.folderNode, info, file));
        std::rewind(file);
        SavedScan scan;
        SavedScanError error;
        ASSERT_TRUE(ReadSavedScan(file, scan, error)) << error.Text();
        std::fclose(file);
        const FolderReport read = SavedScanReport(std::move(scan), TypeForTest);

        EXPECT_EQ(read.folderPath, walked.folderPath);
        EXPECT_EQ(Rows(read), Rows(walked)) << "seed " << seed;
        EXPECT_EQ(read.nTotalBytes, walked.nTotalBytes);
        EXPECT_EQ(read.nFoldersBeneath, walked.nFoldersBeneath);
        EXPECT_EQ(read.nFilesBeneath, walked.nFilesBeneath);
        EXPECT_EQ(read.nFolders, walked.nFolders);
        EXPECT_EQ(read.nFiles, walked.nFiles);
        std::map<std::string, std::string> want, got;
        CollectTotals(walked.snapshot, walked.folderNode, "", want);
        CollectTotals(read.snapshot, read.folderNode, "", got);
        EXPECT_EQ(got, want) << "seed " << seed;
        EXPECT_EQ(read.unreadable.size(), walked.unreadable.size());
    }
}

TEST(SavedScan, ReadsWhatNcduMeansByEachField) {
    const std::string text =
        "[1,0,{\"progname\":\"ncdu\",\"progver\":\"2.3\",\"timestamp\":1700000000,\"x\":[{}]},\n"
        "[{\"name\":\"/"
        "data\",\"asize\":4096,\"dev\":7,\"mtime\":1600000000,\"future\":{\"a\":[1]}},\n"
        "{\"name\":\"fifo\",\"notreg\":true},\n"
        "{\"name\":\"big\",\"asize\":9000000000,\"dsize\":4096,\"mtime\":1600000001},\n"
        "{\"name\":\"mnt\",\"excluded\":\"otherfs\"},\n"
        "[{\"name\":\"shut\",\"read_error\":true,\"mtime\":5}],\n"
        "[{\"name\":\"part\",\"read_error\":true},{\"name\":\"seen\",\"asize\":10}],\n"
        "[{\"name\":\"l\"},{\"name\":\"one\",\"asize\":3,\"ino\":42,\"hlnkc\":true,\"nlink\":2},\n"
        " {\"name\":\"two\",\"asize\":3,\"ino\":42,\"nlink\":2,\"dev\":8},"
        "{\"name\":\"caf\\u00e9 \\ud83d\\ude00\\u0007\",\"asize\":1.5}]\n"
        "]]\n";
    SavedScan scan;
    SavedScanError error;
    ASSERT_TRUE(ReadText(text, scan, error)) << error.Text();
    const FolderSnapshot& s = scan.snapshot;
    EXPECT_EQ(scan.rootPath, "/data");
    EXPECT_EQ(scan.program, "ncdu");
    EXPECT_EQ(scan.programVersion, "2.3");
    EXPECT_EQ(scan.timestamp, 1700000000);
    EXPECT_EQ(scan.nDevice, 7u);
    EXPECT_EQ(s.Modified(scan.root), 1600000000);
    FolderTotals totals;
    ASSERT_TRUE(s.GetTotals(scan.root, totals));
    EXPECT_EQ(totals.nSize, 9000000000 + 10 + 3 + 3 + 1);
    EXPECT_EQ(totals.nFolders, 4);
    EXPECT_EQ(totals.nFiles, 2 + 1 + 3);
    EXPECT_TRUE(s.IsExcluded(s.Find("/data/mnt")));
    EXPECT_TRUE(s.IsUnreadable(s.Find("/data/shut")));
    EXPECT_EQ(s.Modified(s.Find("/data/shut")), 5);
    EXPECT_TRUE(s.IsHeld(s.Find("/data/part"))) << "a folder read in part holds what was read";
    EXPECT_EQ(scan.readErrors,
              (std::vector<std::string>{JoinPath("/data", "shut"), JoinPath("/data", "part")}));
    const auto links = s.Find("/data/l");
    ASSERT_EQ(s.OwnFileCount(links), 3u);
    EXPECT_STREQ(s.FileName(links, 2), "caf\xc3\xa9 \xf0\x9f\x98\x80\x07");
    EXPECT_EQ(s.FileSize(links, 2), 1) << "a fraction is dropped";
    ASSERT_EQ(scan.linkedNames.size(), 2u);
    EXPECT_EQ(scan.linkedNames[0].device, 7u) << "a file is on its folder's device";
    EXPECT_EQ(scan.linkedNames[1].device, 8u);
    EXPECT_EQ(scan.linkedNames[1].id, 42u);
    EXPECT_EQ(scan.linkedNames[1].folder, links);
    EXPECT_EQ(scan.linkedNames[1].file, 1u);
}

TEST(SavedScan, RefusesBadFilesWithTheReasonAndThePlace) {
    const std::string head = "[1,2,{},\n[{\"name\":\"/r\"}";
    struct Case {
        std::string text;
        const char* reason;
        uint64_t line, byte;
    } cases[] = {
        {"", "an empty file", 1, 1},
        {"  \n\x1f\x8b\x08", "compressed file (gzip)", 2, 1},
        {"\xbfncduEX1", "ncdu's binary export", 1, 1},
        {"<html>", "not a scan in ncdu's JSON export format", 1, 1},
        {"[2,0,{},[{\"name\":\"/r\"}]]", "version 2 of ncdu's export format", 1, 2},
        {head, "the file ends where a comma or ] should be", 2, 15},
        {head + ",{\"name\":\"a\",\"asize\":12", "the file ends where a comma or } should be", 2,
         38},
        {head + ",{\"name\":\"a\",\"asize\":99999999999999999999}]]", "too large for 64 bits", 2,
         36},
        {head + ",{\"name\":\"a\",\"asize\":-1}]]", "a negative size", 2, 36},
        {head + ",{\"name\":\"a\",\"asize\":1e3}]]", "exponent", 2, 36},
        {head + ",{\"name\":\"a\",\"asize\":9000000000000000000},{\"name\":\"b\",\"asize\":"
                "9000000000000000000}]]",
         "add up to more than 8 EiB", 2, 57},
        {head + ",{\"name\":\"a\\u0000b\"}]]", "a NUL character", 2, 16},
        {head + ",{\"name\":\"a/b\"}]]", "a path separator", 2, 16},
        {head + ",[{\"name\":\"..\"}]]]", "named . or ..", 2, 17},
        {head + ",{\"name\":\"\"}]]", "an empty name", 2, 16},
        {head + ",{\"asize\":1}]]", "an entry without a name", 2, 16},
        {head + ",{\"name\":\"a\\ud800\"}]]", "high surrogate alone", 2, 33},
        {head + ",{\"name\":\"a\tb\"}]]", "a control character (byte 0x09)", 2, 26},
        {head + ",{\"name\":\"a\",\"hlnkc\":1}]]", "expected true or false", 2, 36},
        {head + ",{\"name\":\"a\",\"x\":" + std::string(100, '[') + "]]", "nested too deep", 2, 96},
        {head + ",7]]", "expected a file ({) or a folder ([)", 2, 16},
        {head + "]] x", "more text after the end of the scan", 2, 18},
        {head + "]", "the file ends where the end of the scan (]) should be", 2, 16},
    };
    for (const Case& c : cases) {
        SavedScan scan;
        SavedScanError error;
        EXPECT_FALSE(ReadText(c.text, scan, error)) << c.text;
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << c.text << "\n" << error.Text();
        EXPECT_EQ(error.position.line, c.line) << c.text << "\n" << error.Text();
        EXPECT_EQ(error.position.byte, c.byte) << c.text << "\n" << error.Text();
    }
}

// Folders nested without end, a name of 2 GB, a scan past the memory cap: each stops once
// past its bound, long before the input ends.
TEST(SavedScan, StopsAtEachBoundWithoutReadingOn) {
    struct Endless {
        std::string head, repeated;
        const char* reason;
        uint64_t cap;
    } cases[] = {
        {"[1,2,{},", "[{\"name\":\"d\"},", "nested more than 4096 deep", 0},
        {"[1,2,{},[{\"name\":\"/r\"},{\"name\":\"", "aaaaaaaaaaaaaaaa", "a string longer than", 0},
        {"[1,2,{},[{\"name\":\"/r\"}", ",{\"name\":\"file\",\"asize\":1}",
         "a scan larger than the 1 MiB", 1 << 20},
        {"[1,2,{},[{\"name\":\"/r\"}", ",[{\"name\":\"f\"}]", "a scan larger than the 1 MiB",
         1 << 20},
    };
    for (const Endless& c : cases) {
        uint64_t given = 0;
        const uint64_t kTwoGigabytes = uint64_t{2} << 30;
        ReadBytes endless = [&](char* buffer, size_t size) -> int64_t {
            size_t n = 0;
            for (; n < size && given < kTwoGigabytes; ++n, ++given)
                buffer[n] = given < c.head.size()
                                ? c.head[given]
                                : c.repeated[(given - c.head.size()) % c.repeated.size()];
            return static_cast<int64_t>(n);
        };
        SavedScan scan;
        if (c.cap)
            scan.snapshot.SetMemoryCap(c.cap);
        SavedScanError error;
        EXPECT_FALSE(ReadSavedScan(endless, scan, error));
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.Text();
        EXPECT_LT(given, uint64_t{64} << 20) << c.reason;
    }
}
