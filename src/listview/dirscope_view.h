#pragma once
// CDirscopeView: the folder list. It shows one folder, its subfolders first and then
// its files, each group by name, with name and icon, size (files), type and date; or,
// when no folder is current, the drives with their size and free space. The totals of
// the subfolders come from a background scan, row by row, after which the list is
// sorted by size and the status line shows the folder's total. Icon and Detail switch
// how the rows are shown; a header click sorts by that column.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "background_scan.h"
#include "folder_entry.h"
#include "scan_inbox.h"
#include "list_view.h"
#include "shell_file_types.h"
#include "show_pacer.h"

#include <shellapi.h>

class CMainFrame;
class CShellItemMenu;
class CTreeCtrl;

class CDirscopeView : public CListView {
    DECLARE_DYNCREATE(CDirscopeView)
    DECLARE_MESSAGE_MAP()
public:
    // Shows the main window's current folder, or the drive overview when it is empty.
    // A show that takes longer than m_nPumpAfterMs handles the program's messages while
    // the folder is listed and between batches of rows; a newer show started meanwhile
    // wins, and this one returns at once without touching the rows again.
    void ShowFolder();
    // A folder is being listed or its rows added.
    bool IsFilling() const { return m_bFilling; }
    // Gives up the folder being filled: its ShowFolder returns at once, starts no scan.
    void AbandonFill();
    // Sorts the rows by a column, recording the column but not the direction.
    void SortByColumn(int nColumn, BOOL bDescending);
    // Writes the folder's counts, and its total once known, to the status line.
    void UpdateStatusText();
    // Fills `drives` with the names of the present drives ("C:"); returns their number.
    static int ListLogicalDrives(std::vector<std::string>& drives);
    // The tree node under which the drives are listed, or null.
    static HTREEITEM FindComputerItem(CTreeCtrl* pTree);

    ~CDirscopeView() override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(HDC hDC) override;

    int m_nFileCount = 0;
    int m_nFolderCount = 0;
    int64_t m_nTotalSize = 0;
    BOOL m_bDriveView = TRUE;                 // the drive-overview columns are in place
    int m_nViewType = 1;                      // 1 Detail (report), 0 Icon
    std::vector<FolderEntry> m_folderEntries; // the shown folder's subfolders, by name
    SHFILEINFOA m_sfi{};
    bool m_bScanning = false;                // a background scan fills the rows
    char m_szFolderPath[kMaxPathField] = {}; // the folder shown last
    BOOL m_bSortDescending = FALSE;          // the direction of the last header click
    int m_nSortColumn = -1;                  // the column sorted on last
    // How long a show runs before it starts handling messages: small folders never do.
    DWORD m_nPumpAfterMs = 100;

    // The status line's timer.
    static constexpr UINT_PTR kStatusTimer = 103;
    static constexpr UINT kStatusTimerPeriod = 2000;
    // Posted by the scan thread when results wait (wParam: the scan's generation).
    static constexpr UINT WM_SCAN_RESULTS = WM_APP + 0x103;

    // The columns of each mode.
    struct ColumnSpec {
        const char* pszHeading;
        int nFormat;
        int nWidth;
    };
    static const ColumnSpec kFolderColumns[6];
    static const ColumnSpec kDriveColumns[3];

    void OnViewIcon();
    void OnViewDetail();
    void OnViewType();
    void OnRefresh();
    void OnOutputToTextFile();
    void OnUpdateViewDetail(CCmdUI* pCmdUI);
    void OnUpdateViewIcon(CCmdUI* pCmdUI);
    void OnDelete();
    void OnPaste();
    void OnUpdatePaste(CCmdUI* pCmdUI);

    // The clipboard's file list into m_arrPasteFiles; 2 when the files were cut, else 1.
    int ReadClipboardFiles();
    BOOL ClipboardHasFiles();

    // The paths the last Paste read from the clipboard.
    std::vector<std::string> m_arrPasteFiles;
    // The shell menu open for the selected rows, or null: it sees the messages this
    // window gets for drawing it.
    CShellItemMenu* m_pOpenMenu = nullptr;

protected:
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    LRESULT OnScanResults(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuInitPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    // Offers a message to the open shell menu; the list control has it otherwise.
    LRESULT ForwardToOpenMenu(UINT message, WPARAM wParam, LPARAM lParam);

    void StartScan();
    void StopScan();
    void ApplyTotals(size_t index, const FolderTotals& totals);
    // The row whose item parameter is `lParam`, or -1.
    int FindRowOfItem(LPARAM lParam);
    void RecomputeTotalSize(int64_t nSubfolderBytes);
    void SortRows(int nColumn, bool bDescending);
    void ShowDriveOverview();
    int InsertRow(const char* pszName, int nImage);
    // The item parameter of row nItem (its insertion number); SIZE_MAX for no such row.
    size_t RowId(int nItem) const;
    void InsertColumns();
    void DeleteAllColumns();
    void ClearRows();
    // The shell's system image lists on the list, for a folder's rows.
    void AttachSystemImageLists();
    // The view's own lists of the three drive icons on the list, for the drive overview.
    void AttachDriveImageLists();
    void AddRow(const FolderEntry& entry, bool bFile);
    // Lists m_szFolderPath on a thread, handling messages meanwhile once `pacer` says so;
    // false when the show was overtaken (nothing of the view may be touched then).
    bool ListFolderPumping(ShowPacer& pacer, const std::function<bool()>& overtaken,
                           FolderListing& listing);
    // The Name cells of the selected rows, in index order.
    std::vector<std::string> SelectedNames() const;

    int64_t m_nFileBytes = 0;        // the exact bytes of the shown folder's files
    std::vector<int64_t> m_rowTimes; // each row's last-write time, by its item parameter
    // Each row's exact bytes in the Size column and the drive overview's Free Space, by
    // item parameter; 0 while the cell is empty.
    std::vector<std::array<int64_t, 2>> m_rowBytes;
    // The drive icons 141, 140 and 142 at these indices of the view's own lists.
    static constexpr int kRemovableImage = 0;
    static constexpr int kFixedImage = 1;
    static constexpr int kCdromImage = 2;
    HIMAGELIST m_hDriveImagesSmall = nullptr;
    HIMAGELIST m_hDriveImagesLarge = nullptr;
    CShellFileTypes m_fileTypes; // the shell's answers per extension, for the folder shown
    unsigned m_nScanGeneration = 0;
    // Counts the shows (and anything that clears the rows): a show that finds it changed
    // after handling messages has been overtaken and leaves the rows alone.
    unsigned m_nShowGeneration = 0;
    bool m_bFilling = false; // the current show is still listing or adding rows
    // Gone with the view: a show that handled messages checks it before touching `this`.
    std::shared_ptr<int> m_pLifeToken = std::make_shared<int>(0);
    std::shared_ptr<ScanInbox> m_pScanInbox; // what the running scan found, to be applied
    BackgroundScan m_scan; // last: stopped before anything it reports into goes
};
