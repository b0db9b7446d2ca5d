#pragma once
// CDirscopeView: the folder list. It shows one folder, its subfolders first and then
// its files, each group by name, with name and icon, size (files), type and date; or,
// when no folder is current, the drives with their size and free space. The totals of
// the subfolders come from a background scan, row by row, after which the list is
// sorted by size and the status line shows the folder's total. Icon and Detail switch
// how the rows are shown; a header click sorts by that column.

#include <cstdint>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

#include "background_scan.h"
#include "folder_entry.h"
#include "list_view.h"
#include "shell_file_types.h"

#include <shellapi.h>

class CMainFrame;
class CTreeCtrl;

class CDirscopeView : public CListView {
    DECLARE_DYNCREATE(CDirscopeView)
    DECLARE_MESSAGE_MAP()
public:
    // Shows the main window's current folder, or the drive overview when it is empty.
    void ShowFolder();
    // Sorts the rows by a column, recording the column but not the direction.
    void SortByColumn(int nColumn, BOOL bDescending);
    // Writes the folder's counts, and its total once known, to the status line.
    void UpdateStatusText();
    // Fills `drives` with the names of the present drives ("C:"); returns their number.
    static int ListLogicalDrives(std::vector<std::string>& drives);
    // The tree node under which the drives are listed, or null.
    static HTREEITEM FindComputerItem(CTreeCtrl* pTree);

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

protected:
    // What the scan thread hands over; the view applies it on its own thread.
    struct ScanInbox {
        std::mutex mutex;
        std::vector<std::pair<size_t, FolderTotals>> rows;
        bool bFinished = false;
        int64_t nSubfolderBytes = 0;
        bool bWakePosted = false;
    };

    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    LRESULT OnScanResults(WPARAM wParam, LPARAM lParam);

    void StartScan();
    void StopScan();
    void ApplyTotals(size_t index, const FolderTotals& totals);
    // The row whose item parameter is `lParam`, or -1.
    int FindRowOfItem(LPARAM lParam);
    void RecomputeTotalSize(int64_t nSubfolderBytes);
    void SortRows(int nColumn, bool bDescending);
    void ShowDriveOverview();
    int InsertRow(const char* pszName, int nImage);
    void InsertColumns();
    void DeleteAllColumns();
    void ClearRows();
    void AttachSystemImageLists();
    void AddRow(const FolderEntry& entry, bool bFile);
    // The Name cells of the selected rows, in index order.
    std::vector<std::string> SelectedNames() const;

    int64_t m_nFileBytes = 0;           // the exact bytes of the shown folder's files
    std::vector<int64_t> m_rowTimes;    // each row's last-write time, by its item parameter
    int m_nDriveImages[3] = {-1, -1, -1}; // the drive icons 141, 140, 142 in the image list
    CShellFileTypes m_fileTypes; // the shell's answers per extension, for the folder shown
    unsigned m_nScanGeneration = 0;
    std::shared_ptr<ScanInbox> m_pScanInbox;
    BackgroundScan m_scan; // last: stopped before anything it reports into goes
};
