#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "boot_sector.h"
#include "data_runs.h"
#include "file_record.h"
#include "file_table.h"
#include "folder_scan.h"
#include "folder_scan_controller.h"
#include "folder_snapshot.h"
#include "ntfs_image.h"
#include "table_snapshot.h"
#include "tree_totals.h"
#include "volume_file.h"
#include "volume_table_source.h"

namespace {

class MemoryVolume : public VolumeBytes {
public:
    explicit MemoryVolume(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override {
        if (offset > m_bytes.size() || size > m_bytes.size() - offset)
            return false;
        std::memcpy(buffer, m_bytes.data() + offset, size);
        return true;
    }

private:
    std::vector<uint8_t> m_bytes;
};

// A volume in use: the byte at `torn` reads wrong the first time only, as a record being
// written while the table is read does.
class TearingVolume : public MemoryVolume {
public:
    TearingVolume(std::vector<uint8_t> bytes, size_t torn)
        : MemoryVolume(std::move(bytes)), m_torn(torn) {}
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override {
        if (!MemoryVolume::ReadAt(offset, buffer, size))
            return false;
        if (!m_bTorn && offset <= m_torn && m_torn < offset + size) {
            static_cast<uint8_t*>(buffer)[m_torn - offset] ^= 0x5A;
            m_bTorn = true;
        }
        return true;
    }

private:
    size_t m_torn;
    bool m_bTorn = false;
};

void WriteFile(const std::string& path, size_t bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_NE(fd, -1) << path;
    std::string data(bytes, 'x');
    for (size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<char>('a' + (i * 7 + bytes) % 26);
    ASSERT_EQ(write(fd, data.data(), bytes), static_cast<ssize_t>(bytes));
    close(fd);
}

void MakeFolder(const std::string& path) {
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path;
}

uint64_t RecordOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Everything the reader must get right, in one volume: sizes around the resident limit
// and the cluster size, sparse files, names with several links (one with so many that its
// record spills into others), long and Unicode names, a deep tree, a wide folder, a table
// fragmented by files made and deleted, and a file in hundreds of runs.
void FillVolume(const std::string& root) {
    MakeFolder(root + "/docs");
    const size_t sizes[] = {0, 1, 500, 700, 1023, 4095, 4096, 4097, 65536, 100000, 1048579};
    for (size_t size : sizes)
        WriteFile(root + "/docs/size" + std::to_string(size), size);
    MakeFolder(root + "/empty");

    MakeFolder(root + "/sparse");
    const int sparse = open((root + "/sparse/holes").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(sparse, 1ll << 30), 0);
    ASSERT_EQ(pwrite(sparse, "data", 4, 300 << 20), 4);
    close(sparse);
    const int hollow = open((root + "/sparse/hollow").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(hollow, 50 << 20), 0);
    close(hollow);

    MakeFolder(root + "/links");
    WriteFile(root + "/links/a", 12345);
    ASSERT_EQ(link((root + "/links/a").c_str(), (root + "/links/b").c_str()), 0);
    ASSERT_EQ(link((root + "/links/a").c_str(), (root + "/docs/also a").c_str()), 0);
    WriteFile(root + "/links/many", 777);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(link((root + "/links/many").c_str(),
                       (root + "/links/" + std::string(200, 'n') + std::to_string(i)).c_str()),
                  0);

    MakeFolder(root + "/names");
    for (const char* name : {"café", "日本語のファイル", "emoji 😀 pair", "Mixed Case.TXT",
                             "trailing.dots..", "with\\backslash"})
        WriteFile(root + "/names/" + name, std::strlen(name));
    WriteFile(root + "/names/" + std::string(255, 'L'), 255);
    MakeFolder(root + "/names/" + std::string(250, 'F') + "é");

    std::string deep = root + "/deep";
    for (int depth = 0; depth < 60; ++depth) {
        MakeFolder(deep);
        WriteFile(deep + "/f", static_cast<size_t>(depth) * 100);
        deep += "/d" + std::to_string(depth % 7);
    }

    MakeFolder(root + "/wide");
    for (int i = 0; i < 2500; ++i)
        WriteFile(root + "/wide/file " + std::to_string(i), static_cast<size_t>(i * 37 % 6000));

    // Made and deleted, so that new records go into the table's holes.
    MakeFolder(root + "/churn");
    for (int i = 0; i < 900; ++i)
        WriteFile(root + "/churn/old" + std::to_string(i), static_cast<size_t>(i));
    for (int i = 0; i < 900; i += 3)
        ASSERT_EQ(unlink((root + "/churn/old" + std::to_string(i)).c_str()), 0);
    for (int i = 0; i < 200; ++i) {
        MakeFolder(root + "/churn/new" + std::to_string(i));
        WriteFile(root + "/churn/new" + std::to_string(i) + "/g", static_cast<size_t>(i * 11));
    }

    // Two files written in turns, a cluster at a time: each lies in hundreds of runs.
    const int one = open((root + "/docs/runs one").c_str(), O_WRONLY | O_CREAT, 0644);
    const int two = open((root + "/docs/runs two").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string block(4096, 'r');
    for (int i = 0; i < 600; ++i) {
        ASSERT_EQ(write(one, block.data(), block.size()), 4096);
        fsync(one);
        ASSERT_EQ(write(two, block.data(), block.size()), 4096);
        fsync(two);
    }
    close(one);
    close(two);
}

// Differences between two snapshots' trees beneath `a` and `b`, one line each.
void Compare(const FolderSnapshot& walked, FolderSnapshot::Index a, const FolderSnapshot& read,
             FolderSnapshot::Index b, const std::string& path, std::vector<std::string>& out) {
    auto differ = [&](const std::string& what) {
        if (out.size() < 30)
            out.push_back(path + ": " + what);
    };
    if (walked.IsLink(a) != read.IsLink(b) || walked.IsRead(a) != read.IsRead(b))
        differ("state");
    if (walked.OwnBytes(a) != read.OwnBytes(b) || walked.OwnAllocated(a) != read.OwnAllocated(b))
        differ("own size " + std::to_string(walked.OwnBytes(a)) + "/" +
               std::to_string(walked.OwnAllocated(a)) + " read " +
               std::to_string(read.OwnBytes(b)) + "/" + std::to_string(read.OwnAllocated(b)));
    if (walked.Modified(a) != read.Modified(b))
        differ("time");
    if (walked.OwnFileCount(a) != read.OwnFileCount(b)) {
        differ("file count " + std::to_string(walked.OwnFileCount(a)) + " read " +
               std::to_string(read.OwnFileCount(b)));
        return;
    }
    for (uint32_t i = 0; i < walked.OwnFileCount(a); ++i) {
        const std::string name = walked.FileName(a, i);
        uint32_t j = 0;
        while (j < read.OwnFileCount(b) && name != read.FileName(b, j))
            ++j;
        if (j == read.OwnFileCount(b)) {
            differ("missing file " + name);
            continue;
        }
        if (walked.FileSize(a, i) != read.FileSize(b, j) ||
            walked.FileAllocated(a, i) != read.FileAllocated(b, j) ||
            walked.FileModified(a, i) != read.FileModified(b, j))
            differ(name + ": " + std::to_string(walked.FileSize(a, i)) + "/" +
                   std::to_string(walked.FileAllocated(a, i)) + " read " +
                   std::to_string(read.FileSize(b, j)) + "/" +
                   std::to_string(read.FileAllocated(b, j)));
    }
    for (auto sub = walked.FirstSubfolder(a); sub != FolderSnapshot::kNone;
         sub = walked.NextSubfolder(sub)) {
        const auto other = read.FindSubfolder(b, walked.Name(sub));
        if (other == FolderSnapshot::kNone)
            differ(std::string("missing folder ") + walked.Name(sub));
        else
            Compare(walked, sub, read, other, path + "/" + walked.Name(sub), out);
    }
    FolderTotals x, y;
    walked.GetTotals(a, x);
    read.GetTotals(b, y);
    if (x.nSize != y.nSize || x.nFolders != y.nFolders || x.nFiles != y.nFiles ||
        walked.TotalAllocated(a) != read.TotalAllocated(b))
        differ("totals");
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::vector<uint8_t> bytes;
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat st;
    if (fd == -1 || fstat(fd, &st) != 0)
        return bytes;
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = pread(fd, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
        if (n <= 0)
            break;
        at += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(at);
    return bytes;
}

std::string FailureOf(std::vector<uint8_t> bytes, const std::string& folder) {
    MemoryVolume volume(std::move(bytes));
    FileTable table;
    std::string why;
    if (!table.Read(volume, why))
        return why;
    FolderSnapshot snapshot;
    TableScanOptions options;
    options.folderPath = folder;
    if (!FillSnapshotFromTable(table, options, snapshot, why))
        return why;
    return "";
}

// Where record `number` lies in the image (the records made first lie in the table's first
// run).
size_t RecordOffset(const std::vector<uint8_t>& image, uint64_t number) {
    VolumeGeometry g;
    std::string why;
    EXPECT_TRUE(ReadBootSector(image.data(), g, why)) << why;
    return static_cast<size_t>(g.nTableCluster * g.nClusterBytes + number * g.nRecordBytes);
}

// The offset of the first attribute of `type` in the record at `record`.
size_t AttributeOffset(const std::vector<uint8_t>& image, size_t record, uint32_t type) {
    size_t at = record + (image[record + 0x14] | image[record + 0x15] << 8);
    for (;;) {
        uint32_t t, length;
        std::memcpy(&t, &image[at], 4);
        std::memcpy(&length, &image[at + 4], 4);
        if (t == type || t == 0xFFFFFFFF || length == 0)
            return t == type ? at : 0;
        at += length;
    }
}

// A folder of the mounted image read from the image file itself, as the window's scan
// reads a volume's device: `beneath` names where the folder lies in the volume.
std::shared_ptr<VolumeTableSource> ImageSource(const std::string& imagePath,
                                               std::vector<std::string> beneath) {
    return std::make_shared<VolumeTableSource>(
        [imagePath, beneath](const std::string&, FolderVolume& volume, std::string& why) {
            int error = 0;
            volume.bytes = OpenVolumeFile(imagePath, error);
            volume.beneath = beneath;
            why = std::strerror(error);
            return volume.bytes ? VolumeAccess::Opened : VolumeAccess::Failed;
        },
        true);
}

// Shows `folder` through a controller whose scan asks `source` first, and waits for its
// totals (false after a minute).
bool ScanShownFolder(FolderScanController& scan, const std::string& folder,
                     std::shared_ptr<WholeTreeSource> source) {
    scan.SetWholeTreeSource(std::move(source));
    scan.BeginFolder();
    FolderListing listing = ListFolder(folder.c_str());
    scan.SetListing(folder, std::move(listing.folders), listing.files);
    scan.FillFromSnapshot();
    std::atomic<bool> woken{false};
    if (!scan.Start([&woken](unsigned) { return woken = true; }))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline)
        if (woken.exchange(false) && scan.TakeWaitingResults([](size_t) {}))
            return true;
    return false;
}

} // namespace

// The window's scan of a folder on an NTFS volume: every subfolder's totals and tree come
// from the table, exactly as a walk finds them; a table that lacks a listed subfolder is
// walked instead, saying so.
TEST(NtfsTable, TheWindowsScanTakesTheTableInPlaceOfAWalk) {
    const std::string missing = NtfsImage::Missing();
    ASSERT_EQ(missing, "") << "this test makes a real NTFS volume and needs: " << missing;
    NtfsImage image(64);
    ASSERT_TRUE(image.Mount()) << image.Error();
    const std::string shown = image.MountPoint() + "/shown";
    MakeFolder(shown);
    for (const char* folder :
         {"/a", "/a/deep", "/a/deep/er", "/a/small", "/a/small/one", "/b", "/empty", "/x"})
        MakeFolder(shown + folder);
    WriteFile(shown + "/a/small/one/file", 5);
    for (int i = 0; i < 300; ++i)
        WriteFile(shown + (i % 3 ? "/a/deep/er/f" : "/b/f") + std::to_string(i), i * 37);
    WriteFile(shown + "/a/big", 300000);
    WriteFile(shown + "/own", 1234);
    ASSERT_EQ(link((shown + "/a/big").c_str(), (shown + "/b/big too").c_str()), 0);
    ASSERT_TRUE(image.Unmount()) << image.Error();
    ASSERT_TRUE(image.Mount()) << image.Error();
    const FolderSnapshot walked = WalkIntoSnapshot(shown);

    FolderScanController scan;
    ASSERT_TRUE(ScanShownFolder(scan, shown, ImageSource(image.ImagePath(), {"shown"})));
    EXPECT_EQ(scan.Method().way, ScanMethod::Way::WholeRead);
    FolderTotals whole;
    ASSERT_TRUE(walked.GetTotals(walked.Find(shown), whole));
    EXPECT_EQ(scan.TotalSize(), whole.nSize);
    const FolderSnapshot& read = scan.Snapshot();
    ASSERT_NE(read.Find(shown), FolderSnapshot::kNone);
    EXPECT_TRUE(read.IsHeld(read.Find(shown)));
    for (const FolderEntry& row : scan.Subfolders()) {
        const std::string path = shown + "/" + row.strName;
        FolderTotals totals;
        ASSERT_TRUE(walked.GetTotals(walked.Find(path), totals)) << path;
        EXPECT_EQ(row.nSize, totals.nSize) << path;
        EXPECT_EQ(row.nDiskSize, totals.nDiskSize) << path;
        EXPECT_EQ(row.nFiles, totals.nFiles) << path;
        EXPECT_EQ(row.nFolders, totals.nFolders) << path;
        std::vector<std::string> differences;
        Compare(walked, walked.Find(path), read, read.Find(path), path, differences);
        EXPECT_TRUE(differences.empty()) << ::testing::PrintToString(differences);
    }

    // Shown again, a folder whose few entries are known from that scan is walked without a
    // word: the whole table would cost more than walking them.
    const std::string small = shown + "/a/small";
    ASSERT_TRUE(
        ScanShownFolder(scan, small, ImageSource(image.ImagePath(), {"shown", "a", "small"})));
    EXPECT_EQ(scan.Method().way, ScanMethod::Way::Walk);
    EXPECT_EQ(scan.Method().outcome, WholeTreeSource::Outcome::NotHere);
    EXPECT_EQ(scan.TotalSize(), 5);

    // The table's folder of that place lacks the listed subfolders: they are walked.
    FolderScanController walking;
    ASSERT_TRUE(ScanShownFolder(walking, shown, ImageSource(image.ImagePath(), {"shown", "a"})));
    EXPECT_EQ(walking.Method().way, ScanMethod::Way::Walk);
    EXPECT_EQ(walking.Method().outcome, WholeTreeSource::Outcome::Failed);
    EXPECT_EQ(walking.Method().why, "a is not in it");
    EXPECT_EQ(walking.TotalSize(), whole.nSize);
    ASSERT_TRUE(image.Unmount()) << image.Error();
}

TEST(NtfsTable, ReadsAVolumeAsItsMountedWalkSeesIt) {
    const std::string missing = NtfsImage::Missing();
    ASSERT_EQ(missing, "") << "this test makes a real NTFS volume and needs: " << missing;
    NtfsImage image(256);
    ASSERT_TRUE(image.Mount()) << image.Error();
    const std::string root = image.MountPoint();
    FillVolume(root);
    if (HasFatalFailure())
        return;
    const uint64_t docs = RecordOf(root + "/docs");
    const uint64_t file = RecordOf(root + "/docs/size100000");
    const uint64_t many = RecordOf(root + "/links/many");
    // Mounted afresh, the driver tells what the volume holds rather than what it has cached.
    ASSERT_TRUE(image.Unmount()) << image.Error();
    ASSERT_TRUE(image.Mount()) << image.Error();
    const FolderSnapshot walked = WalkIntoSnapshot(root);
    ASSERT_TRUE(image.Unmount()) << image.Error();

    int error = 0;
    std::unique_ptr<VolumeBytes> volume = OpenVolumeFile(image.ImagePath(), error);
    ASSERT_TRUE(volume) << std::strerror(error);
    FileTable table;
    std::string why;
    ASSERT_TRUE(table.Read(*volume, why)) << why;
    // Its names fill several records, joined through its attribute list.
    EXPECT_EQ(table.At(static_cast<uint32_t>(many)).nLinks, 41u);
    FolderSnapshot read;
    TableScanOptions options;
    options.folderPath = root;
    ASSERT_TRUE(FillSnapshotFromTable(table, options, read, why)) << why;
    std::vector<std::string> differences;
    Compare(walked, walked.Find(root), read, read.Find(root), root, differences);
    EXPECT_TRUE(differences.empty()) << ::testing::PrintToString(differences);
    FolderTotals totals;
    ASSERT_TRUE(read.GetTotals(read.Find(root), totals));
    EXPECT_GT(totals.nFiles, 3000);

    // Beneath one folder only, found by name regardless of case.
    FolderSnapshot part;
    options.folderPath = root + "/churn";
    options.beneath = {"CHURN"};
    ASSERT_TRUE(FillSnapshotFromTable(table, options, part, why)) << why;
    differences.clear();
    Compare(walked, walked.Find(root + "/churn"), part, part.Find(root + "/churn"), "churn",
            differences);
    EXPECT_TRUE(differences.empty()) << ::testing::PrintToString(differences);
    options.beneath = {"nowhere"};
    EXPECT_FALSE(FillSnapshotFromTable(table, options, part, why));

    // Damaged copies: never a crash, a hang or a total, always a reason.
    const std::vector<uint8_t> bytes = ReadWhole(image.ImagePath());
    ASSERT_FALSE(bytes.empty());
    {
        std::vector<uint8_t> torn = bytes;
        torn[RecordOffset(bytes, file) + 510] ^= 0x5A;
        EXPECT_NE(FailureOf(torn, root).find("update sequence"), std::string::npos);
        // Torn once only (written while read), it is read again, and the table adds up.
        TearingVolume tearing(bytes, RecordOffset(bytes, file) + 510);
        FileTable again;
        EXPECT_TRUE(again.Read(tearing, why)) << why;
        EXPECT_EQ(again.At(static_cast<uint32_t>(file)).nBytes, 100000);
    }
    {
        std::vector<uint8_t> loop = bytes;
        const size_t record = RecordOffset(bytes, docs);
        const size_t name = AttributeOffset(bytes, record, 0x30);
        ASSERT_NE(name, 0u);
        const size_t value = name + (bytes[name + 0x14] | bytes[name + 0x15] << 8);
        const uint64_t self =
            docs | uint64_t{uint16_t(bytes[record + 0x10] | bytes[record + 0x11] << 8)} << 48;
        std::memcpy(&loop[value], &self, 8);
        EXPECT_NE(FailureOf(loop, root).find("within itself"), std::string::npos);
        std::memcpy(&loop[value], &file, 8); // a file is no folder
        EXPECT_NE(FailureOf(loop, root).find("not there"), std::string::npos);
    }
    {
        // A volume that ends two clusters into its file table.
        std::vector<uint8_t> past = bytes;
        VolumeGeometry g;
        ASSERT_TRUE(ReadBootSector(bytes.data(), g, why));
        const uint64_t sectors = (g.nTableCluster + 2) * (g.nClusterBytes / g.nSectorBytes);
        std::memcpy(&past[0x28], &sectors, 8);
        const std::string failure = FailureOf(past, root);
        EXPECT_NE(failure.find("past the end"), std::string::npos) << failure;
    }
}

TEST(NtfsTable, DecodesRunsAndRefusesOnesThatLeaveTheirBounds) {
    std::vector<Extent> extents;
    std::string why;
    // 16 clusters at 0x100, a hole of 4, 8 clusters 0x40 before the first.
    const uint8_t runs[] = {0x21, 0x10, 0x00, 0x01, 0x01, 0x04, 0x11, 0x08, 0xC0, 0x00};
    ASSERT_TRUE(DecodeDataRuns(runs, sizeof runs, 28, 0x1000, extents, why)) << why;
    ASSERT_EQ(extents.size(), 3u);
    EXPECT_EQ(extents[0].nCluster, 0x100u);
    EXPECT_EQ(extents[1].nCluster, Extent::kSparse);
    EXPECT_EQ(extents[2].nCluster, 0xC0u);
    EXPECT_EQ(extents[2].nCount, 8u);
    extents.clear();
    EXPECT_FALSE(DecodeDataRuns(runs, sizeof runs, 27, 0x1000, extents, why)); // too many
    EXPECT_FALSE(DecodeDataRuns(runs, sizeof runs, 29, 0x1000, extents, why)); // too few
    EXPECT_FALSE(DecodeDataRuns(runs, sizeof runs, 28, 0x108, extents, why));  // past the end
    const uint8_t before[] = {0x11, 0x01, 0x80, 0x00}; // starts at cluster -128
    EXPECT_FALSE(DecodeDataRuns(before, sizeof before, 1, 0x1000, extents, why));
    const uint8_t cut[] = {0x31, 0x01, 0x02}; // its fields run past its bytes
    EXPECT_FALSE(DecodeDataRuns(cut, sizeof cut, 1, 0x1000, extents, why));
}
