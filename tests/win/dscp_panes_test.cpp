// The panes of questions asked of the snapshot (Largest Files, File Types, Search) in the
// running program: docking and the View menu, a type lighting its tiles in the treemap, a
// file opened from Largest Files or Search, a delete from there followed by every view,
// and a search typed into the pane's boxes against a walk of the tree. The Duplicates pane:
// its groups for a made tree, a file opened from there, deletes that update the groups and
// one that would leave no copy, refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "dock_bar.h"
#include "dscp_app_fixture.h"
#include "duplicates_view.h"
#include "file_types_view.h"
#include "largest_files_view.h"
#include "list_columns.h"
#include "resource.h"
#include "search_view.h"
#include "shell_tree_ctrl.h"
#include "size_text.h"
#include "temp_tree.h"
#include "treemap_bar.h"

namespace {

class DscpPanes : public DscpAppFixture {
protected:
    static constexpr UINT kPaneCommands[] = {ID_VIEW_LARGEST_FILES, ID_VIEW_FILE_TYPES,
                                             ID_VIEW_SEARCH};
    CLargestFilesView& Largest() const {
        return *m_pFrame->QueryPane<CLargestFilesView>(ID_VIEW_LARGEST_FILES);
    }
    CFileTypesView& Types() const {
        return *m_pFrame->QueryPane<CFileTypesView>(ID_VIEW_FILE_TYPES);
    }
    CSearchView& Search() const { return *m_pFrame->QueryPane<CSearchView>(ID_VIEW_SEARCH); }
    CTreemapWnd& Treemap() const { return m_pFrame->TreemapBar().Treemap(); }

    // Shows `folder` with every query pane open, and waits until the scan has ended and
    // every view has drawn or answered what it shows.
    bool ShowSettled(const std::string& folder) {
        for (UINT nCommand : kPaneCommands)
            if (!m_pFrame->QueryBar(nCommand).IsWindowVisible())
                Command(nCommand);
        if (!folder.empty())
            Show(folder);
        return Settle();
    }
    bool Settle() {
        const bool bSettled = PumpUntil(
            [this] {
                return !m_pDoc->IsScanning() && Largest().IsAnswerCurrent() &&
                       Types().IsAnswerCurrent() && Search().IsAnswerCurrent() &&
                       Treemap().IsPictureCurrent();
            },
            20000);
        if (!bSettled)
            ADD_FAILURE() << "scanning " << m_pDoc->IsScanning() << ", largest "
                          << Largest().IsAnswerCurrent() << ", types " << Types().IsAnswerCurrent()
                          << ", search " << Search().IsAnswerCurrent() << ", treemap "
                          << Treemap().IsPictureCurrent();
        return bSettled;
    }
    // Types `text` into a box of the search pane, which tells the pane as typing does.
    static void TypeInto(HWND hBox, const std::string& text) {
        ::SetWindowTextA(hBox, text.c_str());
    }
    // Waits until the search pane's status line says `status`.
    bool WaitForSearchStatus(const std::string& status) {
        const bool bSaid = PumpUntil(
            [&] { return Search().Criteria().Status() == status && Search().IsAnswerCurrent(); },
            20000);
        if (!bSaid)
            ADD_FAILURE() << "status \"" << Search().Criteria().Status() << "\", wanted \""
                          << status << "\"";
        return bSaid;
    }
    std::set<std::string> SearchPaths() const {
        std::set<std::string> paths;
        for (size_t i = 0; i < Search().Rows().size(); ++i)
            paths.insert(Search().PathOfRow(static_cast<int>(i)));
        return paths;
    }
    // Sends the list-view notification `code` about row nItem as the control does.
    void Notify(CWnd& view, UINT code, int nItem) {
        NMITEMACTIVATE nm{};
        nm.hdr.hwndFrom = view.m_hWnd;
        nm.hdr.idFrom = AFX_IDW_PANE_FIRST;
        nm.hdr.code = code;
        nm.iItem = nItem;
        ::SendMessageA(::GetParent(view.m_hWnd), WM_NOTIFY, AFX_IDW_PANE_FIRST,
                       reinterpret_cast<LPARAM>(&nm));
    }
    void SelectOnly(CWnd& view, int nItem) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        view.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        view.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem),
                         reinterpret_cast<LPARAM>(&state));
    }
    int LargestRowOf(const std::string& path) const {
        for (size_t i = 0; i < Largest().Rows().size(); ++i)
            if (Largest().PathOfRow(static_cast<int>(i)) == path)
                return static_cast<int>(i);
        return -1;
    }
    // The treemap's tile whose tooltip names `path`, or Tile::kNone.
    uint32_t TileNamed(const std::string& path) const {
        const TreemapLayout* pLayout = Treemap().Layout();
        for (uint32_t t = 0; pLayout && t < pLayout->tiles.size(); ++t)
            if (Treemap().TipText(t).rfind(path + "\n", 0) == 0)
                return t;
        return Tile::kNone;
    }
};

TEST_F(DscpPanes, EachPaneShowsAndHidesFromTheViewMenuDockedRightAndFileNewEmptiesIt) {
    TempTree tree;
    tree.File("a.bin", 5000);
    struct Pane {
        UINT nID;
        CViewBar& bar;
    };
    for (const Pane& pane : {Pane{ID_VIEW_LARGEST_FILES, m_pFrame->QueryBar(ID_VIEW_LARGEST_FILES)},
                             Pane{ID_VIEW_FILE_TYPES, m_pFrame->QueryBar(ID_VIEW_FILE_TYPES)},
                             Pane{ID_VIEW_SEARCH, m_pFrame->QueryBar(ID_VIEW_SEARCH)}}) {
        // Hidden until asked for, then docked on the right beside the list.
        EXPECT_FALSE(pane.bar.IsWindowVisible()) << pane.nID;
        Command(pane.nID);
        EXPECT_TRUE(pane.bar.IsWindowVisible()) << pane.nID;
        EXPECT_EQ(pane.bar.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
        EXPECT_GE(pane.bar.GetWindowRect().left, m_pView->GetWindowRect().right);
        Command(pane.nID);
        EXPECT_FALSE(pane.bar.IsWindowVisible()) << pane.nID;
    }
    // A hidden pane asks nothing; shown, it answers for the folder shown meanwhile.
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    EXPECT_FALSE(Largest().IsAnswerCurrent());
    ASSERT_TRUE(ShowSettled(""));
    ASSERT_EQ(Largest().Rows().size(), 1u);
    ASSERT_EQ(Types().Rows().size(), 1u);
    Command(ID_FILE_NEW);
    EXPECT_TRUE(Largest().Rows().empty());
    EXPECT_TRUE(Types().Rows().empty());
    // Ctrl+F shows the Search pane, hidden or not, with the caret in its name box.
    Command(ID_VIEW_SEARCH);
    for (int i = 0; i < 2; ++i) {
        Command(ID_FIND_FILES);
        EXPECT_TRUE(m_pFrame->QueryBar(ID_VIEW_SEARCH).IsWindowVisible());
        EXPECT_EQ(::GetFocus(), Search().Criteria().PatternBox());
    }
    // Tab goes from box to box, not to the next pane.
    const CSearchCriteriaBar& boxes = Search().Criteria();
    for (HWND hNext : {boxes.RegexBox(), boxes.MinSizeBox()}) {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == hNext; }, 5000));
    }
}

// The File Types pane is the treemap's legend: choosing a type leaves exactly its tiles
// lit, and a file's tile chosen in the treemap selects its type's row.
TEST_F(DscpPanes, ATypeLightsExactlyItsTilesAndATileSelectsItsType) {
    TempTree tree;
    tree.File("big.bin", 600000);
    tree.File("docs/x.txt", 300000);
    tree.File("docs/y.TXT", 100000); // one type with x.txt
    ASSERT_TRUE(ShowSettled(tree.Root()));
    ASSERT_EQ(Types().Rows().size(), 2u);
    EXPECT_EQ(Types().Rows()[0].key, "bin");
    EXPECT_EQ(Types().Rows()[1].key, "txt");
    EXPECT_EQ(Types().Rows()[1].files, 2u);

    // The picture's own pixels, as drawn with no type chosen; then "txt" chosen.
    const TreemapLayout& layout = *Treemap().Layout();
    ASSERT_NE(Treemap().ShownPixels(), nullptr);
    const std::vector<uint32_t> plain = *Treemap().ShownPixels();
    SelectOnly(Types(), Types().FindType("txt"));
    EXPECT_TRUE(m_pDoc->TypeSelection().bLit);
    const std::vector<uint32_t>& lit = *Treemap().ShownPixels();
    ASSERT_EQ(lit.size(), plain.size());
    // Exactly the txt files' tiles keep the picture's pixels; every other one is dimmed.
    size_t nTxtArea = 0;
    for (const Tile& tile : layout.tiles)
        if (tile.kind == TileKind::File && layout.extensions[tile.extension].name == "txt")
            nTxtArea += static_cast<size_t>(tile.PixelRect().Width()) * tile.PixelRect().Height();
    size_t nLit = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        nLit += lit[i] == plain[i];
    EXPECT_EQ(nLit, nTxtArea);
    // The txt files hold 40% of the bytes, so about 40% of the area.
    EXPECT_NEAR(static_cast<double>(nLit) / static_cast<double>(plain.size()), 0.4, 0.05);

    // A click on big.bin's tile selects the bin row (nothing is lit for it).
    const uint32_t big = TileNamed(tree.Path("big.bin"));
    ASSERT_NE(big, Tile::kNone);
    const TileRect r = layout.tiles[big].PixelRect();
    Treemap().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                          MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    EXPECT_EQ(Types().GetListCtrl().GetNextItem(-1, LVNI_SELECTED), Types().FindType("bin"));
    EXPECT_FALSE(m_pDoc->TypeSelection().bLit);
}

// Enter or a double-click on a file shows its folder with the file selected, in the list
// and outlined in the treemap; the tree and the history follow.
TEST_F(DscpPanes, ALargestFileOpensItsFolderWithTheFileSelected) {
    TempTree tree;
    tree.File("deep/inner/big.bin", 2000000);
    tree.File("other.txt", 1000);
    ASSERT_TRUE(ShowSettled(tree.Root()));
    ASSERT_EQ(Largest().Rows().size(), 2u);
    const std::string big = tree.Path("deep/inner/big.bin");
    ASSERT_EQ(Largest().PathOfRow(0), big);
    EXPECT_EQ(Largest().GetListCtrl().GetItemText(0, CLargestFilesView::kFolder), "deep\\inner");
    // The shell's type names come a file at a time after the rows, and do come.
    ASSERT_TRUE(PumpUntil([&] { return Largest().AreCellsComplete(); }));
    SHFILEINFOA info{};
    ASSERT_TRUE(SHGetFileInfoA(big.c_str(), 0, &info, sizeof(info), SHGFI_TYPENAME));
    EXPECT_EQ(Largest().GetListCtrl().GetItemText(0, CLargestFilesView::kType), info.szTypeName);

    Notify(Largest(), NM_DBLCLK, 0);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(m_pDoc->Folder(), tree.Path("deep/inner"));
    // Through the tree, which records the visit.
    auto* pTree = static_cast<CShellTreeCtrl*>(m_pFrame->FolderTree());
    EXPECT_EQ(pTree->GetItemPath(pTree->GetSelectedItem()), tree.Path("deep/inner"));
    EXPECT_STREQ(m_pFrame->History().m_arrBack[0].szLabel, "inner");
    std::string name;
    bool bFolder = true;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "big.bin");
    EXPECT_FALSE(bFolder);
    EXPECT_EQ(Treemap().SelectedTile(), TileNamed(big));
    EXPECT_EQ(Largest().GetListCtrl().GetNextItem(-1, LVNI_SELECTED), LargestRowOf(big));
}

// A file deleted from Largest Files goes from every view: the list's totals, the
// treemap's tiles and the type it was the last of.
TEST_F(DscpPanes, ADeleteFromLargestFilesUpdatesEveryView) {
    TempTree tree;
    tree.File("a.bin", 500000);
    tree.File("sub/b.log", 300000);
    tree.File("sub/c.txt", 200000);
    ASSERT_TRUE(ShowSettled(tree.Root()));
    ASSERT_EQ(m_pDoc->TotalSize(), 1000000);
    const int nRow = LargestRowOf(tree.Path("sub/b.log"));
    ASSERT_GE(nRow, 0);
    SelectOnly(Largest(), nRow);
    {
        DialogAnswerer yes(IDYES);
        Largest().SendMessage(WM_KEYUP, VK_DELETE, 0);
        EXPECT_TRUE(yes.Join());
    }
    ASSERT_TRUE(Settle());
    EXPECT_EQ(GetFileAttributesA(tree.Path("sub/b.log").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(m_pDoc->TotalSize(), 700000);
    EXPECT_EQ(List().GetItemText(m_pView->FindEntryRow("sub", true), kSizeColumn),
              FormatSize(200000));
    EXPECT_EQ(Largest().Rows().size(), 2u);
    EXPECT_EQ(LargestRowOf(tree.Path("sub/b.log")), -1);
    EXPECT_EQ(Types().FindType("log"), -1);
    EXPECT_EQ(TileNamed(tree.Path("sub/b.log")), Tile::kNone);
    EXPECT_NE(TileNamed(tree.Path("sub/c.txt")), Tile::kNone);
}

// The bytes a file takes on disk as Windows reports them for the open file.
int64_t AllocationOf(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    FILE_STANDARD_INFO standard{};
    const bool bRead =
        file != INVALID_HANDLE_VALUE &&
        GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof(standard));
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return bRead ? standard.AllocationSize.QuadPart : -1;
}

// View > Size on Disk: a sparse file shrinks to its blocks and a one-byte file grows to one,
// in the list's rows (sorted again), the status line's total, the treemap, Largest Files and
// File Types; switched back, every text is as before.
TEST_F(DscpPanes, SizeOnDiskSwitchesEverySizeAndBack) {
    TempTree tree;
    tree.Folder("sparse");
    tree.SparseFile("sparse/hole.img", 8 << 20);
    tree.File("small/one.txt", 1);
    tree.File("small/two.txt", 1);
    tree.File("whole.bin", 100000);
    ASSERT_TRUE(ShowSettled(tree.Root()));
    const std::vector<std::string> names = {"sparse", "small", "whole.bin"};
    auto sizeText = [this](const std::string& name) {
        return List().GetItemText(m_pView->FindEntryRow(name, name.find('.') == std::string::npos),
                                  kSizeColumn);
    };
    std::vector<std::string> before;
    for (const std::string& name : names)
        before.push_back(sizeText(name));
    m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer); // the total, as its tick shows it
    const std::string statusBefore = m_pFrame->StatusBar().GetPaneText(0);
    EXPECT_EQ(statusBefore, "2 directory, 1 files, Total Size:" + FormatSize(m_pDoc->TotalSize()));
    EXPECT_EQ(List().GetItemText(0, kNameColumn), "sparse"); // largest first

    const int64_t hole = AllocationOf(tree.Path("sparse/hole.img"));
    const int64_t small =
        AllocationOf(tree.Path("small/one.txt")) + AllocationOf(tree.Path("small/two.txt"));
    const int64_t whole = AllocationOf(tree.Path("whole.bin"));
    ASSERT_LT(hole, 8 << 20) << "the file is not sparse here";
    ASSERT_GT(small, 2) << "a one-byte file takes no block here";
    ASSERT_GE(whole, 100000);

    Command(ID_VIEW_SIZE_ON_DISK);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(m_pDoc->Measure(), SizeMeasure::OnDisk);
    EXPECT_EQ(sizeText("sparse"), FormatSize(hole));
    EXPECT_EQ(sizeText("small"), FormatSize(small));
    EXPECT_EQ(sizeText("whole.bin"), FormatSize(whole));
    const int64_t total = hole + small + whole;
    const FolderSnapshot& snapshot = m_pDoc->Snapshot();
    EXPECT_EQ(snapshot.TotalAllocated(snapshot.Find(tree.Root())), total);
    EXPECT_EQ(m_pFrame->StatusBar().GetPaneText(0),
              "2 directory, 1 files, Size on Disk:" + FormatSize(total));
    EXPECT_EQ(List().GetItemText(0, kNameColumn), "whole.bin");
    ASSERT_NE(Treemap().Layout(), nullptr);
    EXPECT_EQ(Treemap().Layout()->tiles[0].bytes, total);
    ASSERT_FALSE(Largest().Rows().empty());
    EXPECT_EQ(Largest().PathOfRow(0), tree.Path("whole.bin"));
    ASSERT_FALSE(Types().Rows().empty());
    EXPECT_EQ(Types().Rows()[0].key, "bin");
    const int nTxt = Types().FindType("txt");
    ASSERT_GE(nTxt, 0);
    EXPECT_EQ(Types().Rows()[static_cast<size_t>(nTxt)].bytes, small);

    Command(ID_VIEW_SIZE_ON_DISK);
    ASSERT_TRUE(Settle());
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(sizeText(names[i]), before[i]) << names[i];
    EXPECT_EQ(m_pFrame->StatusBar().GetPaneText(0), statusBefore);
    EXPECT_EQ(List().GetItemText(0, kNameColumn), "sparse");
    EXPECT_EQ(Largest().PathOfRow(0), tree.Path("sparse/hole.img"));
}

// What is typed into the Search pane's boxes finds exactly what a walk of the tree finds,
// and the status line counts it; a criterion that is not valid says why and finds nothing.
TEST_F(DscpPanes, ASearchTypedIntoThePaneFindsWhatAWalkFinds) {
    TempTree tree;
    tree.File("a.iso", 3000);
    tree.File("sub/b.ISO", 100000);
    tree.File("sub/deep/c.iso", 50); // too small
    tree.File("sub/deep/d.iso.bak", 90000);
    tree.File("e.txt", 200000);
    ASSERT_TRUE(ShowSettled(tree.Root()));
    EXPECT_TRUE(Search().Rows().empty()); // nothing asked yet
    EXPECT_EQ(Search().Criteria().Status(), CSearchView::kNothingAsked);

    const CSearchCriteriaBar& boxes = Search().Criteria();
    TypeInto(boxes.PatternBox(), "*.iso");
    TypeInto(boxes.MinSizeBox(), "1k");
    // The oracle: every file of the tree named *.iso in any case, of at least 1024 bytes.
    std::set<std::string> expected;
    int64_t nBytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Root())) {
        std::string ext = entry.path().extension().string();
        for (char& ch : ext)
            ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        if (entry.is_regular_file() && ext == ".iso" && entry.file_size() >= 1024) {
            expected.insert(entry.path().string());
            nBytes += static_cast<int64_t>(entry.file_size());
        }
    }
    ASSERT_EQ(expected.size(), 2u);
    ASSERT_TRUE(WaitForSearchStatus("2 files, " + FormatSize(nBytes)));
    EXPECT_EQ(SearchPaths(), expected);

    // A regular expression that is not one: the reason shows, nothing is found.
    TypeInto(boxes.MinSizeBox(), "");
    TypeInto(boxes.PatternBox(), "([a-z");
    ::SendMessageA(boxes.RegexBox(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(
        [&] { return boxes.Status().find("regular expression") != std::string::npos; }, 20000))
        << boxes.Status();
    EXPECT_TRUE(Search().Rows().empty());
    // Neither is a size that is not one.
    TypeInto(boxes.PatternBox(), "\\.iso$");
    TypeInto(boxes.MinSizeBox(), "12 parsecs");
    ASSERT_TRUE(PumpUntil([&] { return boxes.Status().rfind("Not a size", 0) == 0; }, 20000))
        << boxes.Status();
    EXPECT_TRUE(Search().Rows().empty());
    TypeInto(boxes.MinSizeBox(), "");
    ASSERT_TRUE(WaitForSearchStatus("3 files, " + FormatSize(103050)));
    // No criteria at all ask nothing: not every file.
    TypeInto(boxes.PatternBox(), "");
    ASSERT_TRUE(WaitForSearchStatus(CSearchView::kNothingAsked));
    EXPECT_TRUE(Search().Rows().empty());
}

// A double-click on a file found shows its folder with the file selected.
TEST_F(DscpPanes, AFileFoundOpensItsFolderWithTheFileSelected) {
    TempTree tree;
    tree.File("deep/inner/found.iso", 5000);
    tree.File("other.txt", 1000);
    ASSERT_TRUE(ShowSettled(tree.Root()));
    TypeInto(Search().Criteria().PatternBox(), "FOUND");
    ASSERT_TRUE(WaitForSearchStatus("1 file, " + FormatSize(5000)));
    ASSERT_EQ(Search().PathOfRow(0), tree.Path("deep/inner/found.iso"));

    Notify(Search(), NM_DBLCLK, 0);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(m_pDoc->Folder(), tree.Path("deep/inner"));
    std::string name;
    bool bFolder = true;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "found.iso");
    // The search asked again of the folder now shown finds the file there too.
    ASSERT_EQ(Search().Rows().size(), 1u);
    EXPECT_EQ(Search().GetListCtrl().GetNextItem(-1, LVNI_SELECTED), 0);
}

// A long search (a regular expression that backtracks over every name) shows how far it has
// come with a Stop button; Stop ends it and nothing is shown as its answer.
TEST_F(DscpPanes, StopEndsALongSearchAndShowsNoPartOfIt) {
    TempTree tree;
    const std::string name(20, 'a'); // (a|aa)* tries every split of the a's before failing
    for (int i = 0; i < 1000; ++i)
        tree.File("d" + std::to_string(i % 4) + "/" + name + std::to_string(i), 1);
    ASSERT_TRUE(ShowSettled(tree.Root()));
    const CSearchCriteriaBar& boxes = Search().Criteria();
    ::SendMessageA(boxes.RegexBox(), BM_CLICK, 0, 0);
    TypeInto(boxes.PatternBox(), "^(a|aa)*$");
    ASSERT_TRUE(PumpUntil([&] { return boxes.IsStopShown(); }, 20000)) << boxes.Status();
    EXPECT_EQ(boxes.Status().rfind("Searching... ", 0), 0u) << boxes.Status();
    ::SendMessageA(boxes.StopButton(), BM_CLICK, 0, 0);
    EXPECT_TRUE(Search().IsAnswerCurrent());
    EXPECT_EQ(boxes.Status(), CSearchView::kStopped);
    EXPECT_FALSE(boxes.IsStopShown());
    EXPECT_TRUE(Search().Rows().empty());
}

// Groups most waste first, of a tree with a file of two names (one file, no copy), two
// empty files and two files of one size but other bytes (neither a group); selecting a
// row selects the file everywhere, a double-click opens its folder; a delete of one copy
// updates its group and the total, every copy chosen is refused, a group of one goes, and
// a copy deleted elsewhere leaves the last one undeletable.
TEST_F(DscpPanes, DuplicatesAreGroupedByWasteAndDeletesKeepACopy) {
    TempTree tree;
    auto put = [&](const std::string& name, size_t bytes, char fill) {
        tree.File(name, 0); // with its folders
        std::ofstream(tree.Path(name), std::ios::binary) << std::string(bytes, fill);
    };
    for (const char* name : {"a/big1", "b/big2", "c/big3"})
        put(name, 300000, 'b');
    put("mid1", 100000, 'm');
    put("sub/mid2", 100000, 'm');
    put("small1", 5000, 's');
    put("sub/deep/small2", 5000, 's');
    put("h/orig", 200000, 'h');
    ASSERT_TRUE(CreateHardLinkA(tree.Path("h/link").c_str(), tree.Path("h/orig").c_str(), nullptr));
    put("e1", 0, 'e');
    put("e2", 0, 'e');
    put("diff1", 50000, 'p');
    put("diff2", 50000, 'q');
    Show(tree.Root());
    Command(ID_VIEW_DUPLICATES);
    CViewBar& bar = m_pFrame->QueryBar(ID_VIEW_DUPLICATES);
    ASSERT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(bar.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    CDuplicatesView& pane = *m_pFrame->QueryPane<CDuplicatesView>(ID_VIEW_DUPLICATES);
    // Asked while the folder may still be scanned: found once its scan has finished.
    Command(ID_FIND_DUPLICATES);
    ASSERT_TRUE(PumpUntil([&] { return pane.IsIdle() && !m_pDoc->IsScanning(); }, 20000))
        << pane.Strip().Status();
    auto rows = [&] {
        std::vector<std::string> r;
        for (size_t row = 0; row < pane.Result().RowCount(); ++row)
            r.push_back(std::to_string(pane.Result().GroupOfRow(row)) + " " +
                        pane.Result().FileOfRow(row).path.substr(tree.Root().size() + 1));
        return r;
    };
    using Rows = std::vector<std::string>;
    ASSERT_EQ(rows(), (Rows{"0 a\\big1", "0 b\\big2", "0 c\\big3", "1 mid1", "1 sub\\mid2",
                            "2 small1", "2 sub\\deep\\small2"}));
    EXPECT_EQ(pane.Strip().Status(), "3 groups, 7 files, " + FormatSize(705000) + " wasted");
    EXPECT_EQ(pane.GetListCtrl().GetItemText(6, CDuplicatesView::kFolder), "sub\\deep");

    // A row chosen is the model's selection; a double-click shows its folder with it chosen,
    // and the pane keeps its groups.
    SelectOnly(pane, 1);
    EXPECT_EQ(m_pDoc->Selection().path, tree.Path("b/big2"));
    Notify(pane, NM_DBLCLK, 6);
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(m_pDoc->Folder(), tree.Path("sub/deep"));
    std::string name;
    bool bFolder = true;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "small2");
    EXPECT_EQ(pane.Result().RowCount(), 7u);

    // One copy of three deleted: its group keeps two, the total follows.
    SelectOnly(pane, 2);
    {
        DialogAnswerer yes(IDYES);
        pane.SendMessage(WM_KEYUP, VK_DELETE, 0);
        EXPECT_TRUE(yes.Join());
    }
    EXPECT_EQ(GetFileAttributesA(tree.Path("c/big3").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(rows(), (Rows{"0 a\\big1", "0 b\\big2", "1 mid1", "1 sub\\mid2", "2 small1",
                            "2 sub\\deep\\small2"}));
    EXPECT_EQ(pane.Strip().Status(), "3 groups, 6 files, " + FormatSize(405000) + " wasted");

    // Both copies of a group chosen: refused, nothing deleted.
    SelectOnly(pane, 2);
    LVITEMA state{};
    state.stateMask = state.state = LVIS_SELECTED;
    pane.SendMessage(LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
    {
        DialogAnswerer ok(IDOK);
        pane.SendMessage(WM_KEYUP, VK_DELETE, 0);
        ASSERT_TRUE(ok.Join());
        EXPECT_NE(ok.Text().find("Keep at least one copy"), std::string::npos) << ok.Text();
    }
    EXPECT_NE(GetFileAttributesA(tree.Path("mid1").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(tree.Path("sub/mid2").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(pane.Result().RowCount(), 6u);

    // One of the two deleted: a group of one is no group.
    SelectOnly(pane, 3);
    {
        DialogAnswerer yes(IDYES);
        pane.SendMessage(WM_KEYUP, VK_DELETE, 0);
        EXPECT_TRUE(yes.Join());
    }
    EXPECT_EQ(rows(), (Rows{"0 a\\big1", "0 b\\big2", "1 small1", "1 sub\\deep\\small2"}));
    EXPECT_EQ(pane.Strip().Status(), "2 groups, 4 files, " + FormatSize(305000) + " wasted");

    // A copy deleted elsewhere is no copy kept: the last one left is not deleted, and the
    // group goes.
    ASSERT_TRUE(DeleteFileA(tree.Path("small1").c_str()));
    SelectOnly(pane, 3);
    {
        DialogAnswerer any(IDYES, 5000);
        pane.SendMessage(WM_KEYUP, VK_DELETE, 0);
        EXPECT_FALSE(any.Stop());
    }
    EXPECT_NE(GetFileAttributesA(tree.Path("sub/deep/small2").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(rows(), (Rows{"0 a\\big1", "0 b\\big2"}));

    // A folder deleted in the folder list takes its copies out of the pane's groups.
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    m_pView->SelectRow(m_pView->FindEntryRow("b", true));
    {
        DialogAnswerer yes(IDYES);
        m_pView->SendMessage(WM_KEYUP, VK_DELETE, 0);
        EXPECT_TRUE(yes.Join());
    }
    EXPECT_EQ(GetFileAttributesA(tree.Path("b").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(rows(), Rows{});
    EXPECT_EQ(pane.Strip().Status(), "No duplicates");
}

} // namespace
