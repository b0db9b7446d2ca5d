// The program keeping in step with the disk, in-process under Wine (whose notifications
// for a folder tree are the kernel's): changes made outside the program reach the rows,
// and a delete through the program reaches every total before its fresh scan ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "dirscope_doc.h"
#include "changes_view.h"
#include "dirscope_view.h"
#include "main_frame.h"
#include "resource.h"
#include "dscp_app_fixture.h"
#include "size_text.h"
#include "temp_tree.h"

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr int kSize = 1;
constexpr int kFiles = 5;
// What the program promises is a second; under a busy machine the deadline is wider.
constexpr DWORD kDeadlineMs = 20000;

class DscpWatch : public DscpAppFixture {
protected:
    TempTree tree;

    int Row(const std::string& name) const {
        for (int i = 0; i < List().GetItemCount(); ++i)
            if (List().GetItemText(i, 0) == name)
                return i;
        return -1;
    }
    std::string Cell(const std::string& name, int nColumn) const {
        const int nRow = Row(name);
        return nRow < 0 ? "(no row)" : List().GetItemText(nRow, nColumn);
    }
    Rows AllRows() const {
        Rows rows;
        for (int i = 0; i < List().GetItemCount(); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < List().GetColumnCount(); ++c)
                row.push_back(List().GetItemText(i, c));
            rows.push_back(row);
        }
        return rows;
    }
    // Every row as it was but the one named, whose size and file count are as given.
    ::testing::AssertionResult OnlyRowChanged(const Rows& before, const std::string& name,
                                              int64_t nBytes, const std::string& files) const {
        Rows expected = before;
        for (auto& row : expected)
            if (row[0] == name) {
                row[kSize] = FormatSize(nBytes);
                row[kFiles] = files;
            }
        const Rows now = AllRows();
        if (now == expected)
            return ::testing::AssertionSuccess();
        ::testing::AssertionResult failure = ::testing::AssertionFailure();
        for (const auto& row : now)
            failure << row[0] << " " << row[kSize] << " " << row[kFiles] << "; ";
        return failure;
    }
    int64_t HeldBytes(const std::string& folder) const {
        const FolderSnapshot& s = m_pDoc->Snapshot();
        const FolderSnapshot::Index index = s.Find(folder);
        FolderTotals totals;
        return index != FolderSnapshot::kNone && s.GetTotals(index, totals) ? totals.nSize : -1;
    }
    bool Logged(ChangeKind kind, const std::string& path) const {
        const ChangeLog& log = m_pDoc->Changes();
        for (size_t i = 0; i < log.Size(); ++i)
            if (log.At(i).kind == kind && log.At(i).path == path)
                return true;
        return false;
    }
};

void Append(const std::string& path, size_t bytes) {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::app);
    out << std::string(bytes, 'x');
}

} // namespace

// A log three levels down grows outside the program: the row of the folder holding it and
// every total above follow without a scan; shown itself, its row follows as it grows, in
// place.
TEST_F(DscpWatch, AFileAppendedOutsideShowsItsNewSizeAndItsFoldersTotals) {
    tree.File("A/B/C/log", 1000);
    tree.File("A/keep", 24);
    tree.File("Z/other", 100);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    const Rows before = AllRows();
    const unsigned nScans = m_pDoc->ScanController().ScansStarted();

    Append(tree.Path("A/B/C/log"), 3 << 20);
    const int64_t nLog = 1000 + (3 << 20);
    ASSERT_TRUE(PumpUntil([&] { return Cell("A", kSize) == FormatSize(nLog + 24); }, kDeadlineMs))
        << Cell("A", kSize);
    EXPECT_TRUE(OnlyRowChanged(before, "A", nLog + 24, "2"));
    EXPECT_EQ(HeldBytes(tree.Path("A/B/C")), nLog);
    EXPECT_EQ(HeldBytes(tree.Path("A/B")), nLog);
    EXPECT_EQ(m_pDoc->TotalSize(), nLog + 124);
    EXPECT_EQ(m_pDoc->ScanController().ScansStarted(), nScans);

    Show(tree.Path("A/B/C"));
    ASSERT_TRUE(WaitForScan());
    const unsigned nShow = m_pDoc->ShowGeneration();
    Append(tree.Path("A/B/C/log"), 1 << 20);
    ASSERT_TRUE(
        PumpUntil([&] { return Cell("log", kSize) == FormatSize(nLog + (1 << 20)); }, kDeadlineMs))
        << Cell("log", kSize);
    EXPECT_EQ(m_pDoc->TotalSize(), nLog + (1 << 20));
    // The row took its new size in place: the folder was not listed afresh.
    EXPECT_EQ(m_pDoc->ShowGeneration(), nShow);
    EXPECT_TRUE(Logged(ChangeKind::Changed, tree.Path("A/B/C/log")));
}

// Created, renamed and deleted three levels down: only the row of the folder above them
// changes, each time exactly.
TEST_F(DscpWatch, CreatedRenamedDeletedThreeLevelsDownChangeExactlyTheRightRows) {
    tree.File("A/B/C/f", 1000);
    tree.File("A/x", 10);
    tree.File("Y/y", 20);
    tree.File("t", 5);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    const Rows before = AllRows();

    // The file is told as created, then as written: the row is waited for with both.
    tree.File("A/B/C/new", 2 << 20);
    ASSERT_TRUE(PumpUntil(
        [&] {
            return Cell("A", kFiles) == "3" && Cell("A", kSize) == FormatSize(1010 + (2 << 20));
        },
        kDeadlineMs));
    EXPECT_TRUE(OnlyRowChanged(before, "A", 1010 + (2 << 20), "3"));

    fs::rename(fs::u8path(tree.Path("A/B/C/new")), fs::u8path(tree.Path("A/B/C/renamed")));
    ASSERT_TRUE(PumpUntil([&] { return Logged(ChangeKind::Renamed, tree.Path("A/B/C/renamed")); },
                          kDeadlineMs));
    EXPECT_TRUE(OnlyRowChanged(before, "A", 1010 + (2 << 20), "3"));
    const FolderSnapshot& s = m_pDoc->Snapshot();
    EXPECT_EQ(s.FileBytes(tree.Path("A/B/C/renamed")), 2 << 20);
    EXPECT_EQ(s.FileBytes(tree.Path("A/B/C/new")), -1);

    fs::remove(fs::u8path(tree.Path("A/B/C/renamed")));
    ASSERT_TRUE(PumpUntil([&] { return Cell("A", kFiles) == "2"; }, kDeadlineMs));
    EXPECT_TRUE(OnlyRowChanged(before, "A", 1010, "2"));
}

// A file created in the shown folder itself: its row comes in the list's order, the other
// rows stay as they were and the selected one selected, and the folder is neither listed
// afresh nor scanned. Its one-letter name makes the system's record of it, told alone,
// shorter than the record's structure.
TEST_F(DscpWatch, AFileCreatedInTheShownFolderGetsItsRowInPlace) {
    constexpr size_t kK = 1024; // each size a text of its own
    tree.File("S/D/x", 100 * kK);
    tree.File("S/a", 10 * kK);
    tree.File("S/b", 20 * kK);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    Show(tree.Path("S"));
    ASSERT_TRUE(WaitForScan());
    m_pDoc->Select(nullptr, ModelEntry{tree.Path("S/a"), false});
    ASSERT_EQ(List().GetNextItem(-1, LVNI_SELECTED), Row("a"));
    const unsigned nShow = m_pDoc->ShowGeneration();
    const unsigned nScans = m_pDoc->ScanController().ScansStarted();
    const Rows before = AllRows();

    tree.File("S/n", 30 * kK);
    ASSERT_TRUE(PumpUntil([&] { return Cell("n", kSize) == FormatSize(30 * kK); }, kDeadlineMs))
        << ::testing::PrintToString(AllRows());
    EXPECT_EQ(m_pDoc->ShowGeneration(), nShow);
    EXPECT_EQ(m_pDoc->ScanController().ScansStarted(), nScans);
    // Largest first, as the list was sorted when its scan ended.
    Rows expected = before;
    expected.insert(expected.begin() + 1, AllRows()[1]);
    EXPECT_EQ(AllRows(), expected);
    EXPECT_EQ(AllRows()[1][0], "n");
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), Row("a"));
    EXPECT_EQ(m_pDoc->Selection().path, tree.Path("S/a"));
    EXPECT_EQ(m_pDoc->TotalSize(), static_cast<int64_t>(160 * kK));
    EXPECT_EQ(m_pDoc->FileCount(), 3);
}

// A file deleted through the program: the folder's row, the total and the folders above
// know it while the fresh scan that follows is still held; the watcher hearing of the
// same delete starts no other scan.
TEST_F(DscpWatch, ADeleteThroughTheProgramShowsNewTotalsBeforeItsFreshScanAndNoOtherScan) {
    tree.Folder("P/sub");
    tree.SparseFile("P/sub/f1", 1 << 20);
    tree.SparseFile("P/sub/f2", 2 << 20);
    tree.SparseFile("P/g", 1 << 20);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    Show(tree.Path("P"));
    ASSERT_TRUE(WaitForScan());
    FolderScanController& scan = m_pDoc->ScanController();
    const unsigned nScans = scan.ScansStarted();

    // As the list does once the shell has deleted the file.
    scan.HoldStart(true);
    ASSERT_TRUE(DeleteFileA(tree.Path("P/sub/f2").c_str()));
    m_pDoc->EntriesRemoved({tree.Path("P/sub/f2")});
    ASSERT_TRUE(m_pDoc->IsScanning());
    EXPECT_EQ(Cell("sub", kSize), FormatSize(1 << 20));
    EXPECT_EQ(m_pDoc->TotalSize(), 2 << 20);
    EXPECT_EQ(HeldBytes(tree.Root()), 2 << 20);

    scan.ReleaseStart();
    ASSERT_TRUE(WaitForScan());
    ASSERT_TRUE(
        PumpUntil([&] { return Logged(ChangeKind::Removed, tree.Path("P/sub/f2")); }, kDeadlineMs));
    EXPECT_EQ(scan.ScansStarted(), nScans + 1);
    EXPECT_EQ(Cell("sub", kSize), FormatSize(1 << 20));
}

// The shown folder removed by another program: the watch lets it go (so the removal
// ends), the folder above forgets it, and the window shows it gone.
TEST_F(DscpWatch, TheShownFolderRemovedIsLetGoAndShownGone) {
    tree.File("W/sub/f", 1000);
    tree.File("W/g", 24);
    tree.File("keep", 5);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    Show(tree.Path("W"));
    ASSERT_TRUE(WaitForScan());

    std::atomic<bool> bRemoved{false};
    std::thread remover([&] {
        std::error_code ignored;
        fs::remove_all(fs::u8path(tree.Path("W")), ignored);
        bRemoved = true;
    });
    const bool bEnded = PumpUntil([&] { return bRemoved.load(); }, kDeadlineMs);
    if (!bEnded) {
        remover.detach(); // still held by the watch: it never ends
        FAIL() << "the removal of the shown folder never ended";
    }
    remover.join();
    ASSERT_TRUE(PumpUntil([&] { return m_pDoc->WatchNote() == "the folder is gone"; }, kDeadlineMs))
        << m_pDoc->WatchNote();
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(m_pDoc->Watcher().IsRunning());
    EXPECT_EQ(HeldBytes(tree.Root()), 5);
    EXPECT_TRUE(Logged(ChangeKind::Removed, tree.Path("W")));
}

// The Changes pane: a file appended to outside the program shows with its size change; what
// grew the most in the last minute is one row a path; a double-click shows the file in its
// folder.
TEST_F(DscpWatch, AFileAppendedOutsideShowsInTheChangesPaneWithItsSizeChange) {
    tree.File("logs/app.log", 100);
    tree.File("other", 10);
    Command(ID_VIEW_CHANGES);
    auto* pChanges = m_pFrame->QueryPane<CChangesView>(ID_VIEW_CHANGES);
    ASSERT_NE(pChanges, nullptr);
    ASSERT_TRUE(m_pFrame->QueryBar(ID_VIEW_CHANGES).IsWindowVisible());
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());

    const std::string log = tree.Path("logs/app.log");
    const auto rowOf = [&](const std::string& kind, const std::string& change) {
        const CListCtrl list = pChanges->GetListCtrl();
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, CChangesView::kPath) == log &&
                list.GetItemText(i, CChangesView::kKind) == kind &&
                list.GetItemText(i, CChangesView::kBytes) == change)
                return i;
        return -1;
    };
    Append(log, 2 << 20);
    ASSERT_TRUE(
        PumpUntil([&] { return rowOf("Changed", "+" + FormatSize(2 << 20)) >= 0; }, kDeadlineMs));
    Append(log, 1 << 20);
    const int64_t nGrown = 100 + (3 << 20);
    ASSERT_TRUE(
        PumpUntil([&] { return m_pDoc->Snapshot().FileBytes(log) == nGrown; }, kDeadlineMs));

    pChanges->Strip().Turn(true);
    EXPECT_EQ(pChanges->Rows().size(), 1u);
    const int nGrew = rowOf("Grew", "+" + FormatSize(3 << 20));
    ASSERT_GE(nGrew, 0);

    pChanges->OpenRow(nGrew);
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(m_pDoc->Folder(), tree.Path("logs"));
    std::string name;
    bool bFolder = true;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "app.log");
}
