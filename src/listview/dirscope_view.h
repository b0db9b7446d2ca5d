#pragma once
// CDirscopeView: the folder list. It shows one folder, its subfolders first and then
// its files, each group by name, with name and icon, size (files), type and date; or,
// when no folder is current, the drives with their size and free space. The totals of
// the subfolders come from a background scan, row by row, after which the list is
// sorted by size and the status line shows the folder's total. Icon and Detail switch
// how the rows are shown; a header click sorts by that column.
//
// The view is told which folder to show; opening a row and the status line go through
// the CFolderListHost its frame provides, which is also told what changed.
//
// dirscope_view.cpp: showing, the scan, commands, menus; dirscope_view_rows.cpp: rows by
// entry, the selection's notice, the size bars.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drive_overview.h"
#include "folder_entry.h"
#include "folder_list_host.h"
#include "folder_scan_controller.h"
#include "list_rows.h"
#include "list_view.h"
#include "shell_file_types.h"
#include "show_pacer.h"

class CShellItemMenu;

class CDirscopeView : public CListView {
    DECLARE_DYNCREATE(CDirscopeView)
    DECLARE_MESSAGE_MAP()
public:
    // How the rows are shown.
    enum class ListMode { Icon, Detail };

    // Shows `folder`, or the drive overview when it is empty. A show that takes longer
    // than PumpAfterMs() handles the program's messages while the folder is listed and
    // between batches of rows; a newer show started meanwhile wins, and this one returns
    // at once without touching the rows again.
    void ShowFolder(const std::string& folder);
    // A folder is being listed or its rows added.
    bool IsFilling() const { return m_bFilling; }
    // Gives up the folder being filled: its ShowFolder returns at once, starts no scan.
    void AbandonFill();

    // What the list shows.
    const std::string& Folder() const { return m_strFolder; } // "" for the drive overview
    // The folder whose rows were listed last; the drive overview keeps it.
    const std::string& ListedFolderPath() const { return m_strListedPath; }
    bool IsDriveOverview() const { return m_bDriveView; }
    ListMode Mode() const { return m_mode; }
    int FolderCount() const { return m_nFolderCount; }
    int FileCount() const { return m_nFileCount; }
    // The folder's exact bytes once the scan has finished; 0 until then.
    int64_t TotalSize() const { return m_scan.TotalSize(); }
    // The shown folder's subfolders by name, with the totals the scan has found so far.
    const std::vector<FolderEntry>& Subfolders() const { return m_scan.Subfolders(); }
    bool IsScanning() const { return m_scan.IsScanning(); }
    // The subfolders' scan and what the scans walked (tests hold its start through it).
    FolderScanController& ScanController() { return m_scan; }
    const FolderScanController& ScanController() const { return m_scan; }
    // The column sorted on last (-1 for none), and the direction of the last header click.
    int SortColumn() const { return m_nSortColumn; }
    bool IsSortDescending() const { return m_bSortDescending; }
    // A shell context menu is open for the selected rows.
    bool HasOpenShellMenu() const { return m_pOpenMenu != nullptr; }

    // Opens row nItem as a double-click on it does: a folder or drive through the tree (which
    // records the visit), a file with its program.
    void OpenRow(int nItem);
    // The shell's context menu for `paths` (all in one folder) at a point on the screen.
    void TrackShellMenu(const std::vector<std::string>& paths, POINT ptScreen);
    // The row of the shown folder's subfolder (bFolder) or file named exactly `name`, or -1.
    int FindEntryRow(const std::string& name, bool bFolder) const;
    // Selects row nItem alone, focused and scrolled into view.
    void SelectRow(int nItem);
    // The first selected row: its name and whether it is a subfolder. False for none.
    bool FirstSelectedEntry(std::string& name, bool& bFolder) const;
    // The drives the overview lists.
    const std::vector<CDriveOverview::Drive>& Drives() const { return m_driveList; }

    // How long a show runs before it starts handling messages: small folders never do.
    DWORD PumpAfterMs() const { return m_nPumpAfterMs; }
    void SetPumpAfterMs(DWORD nMs) { m_nPumpAfterMs = nMs; }

    // The clipboard's file list, as Paste reads it: 2 when the files were cut, else 1.
    int ReadClipboardFiles();
    bool ClipboardHasFiles() const;
    // The paths the last Paste (or ReadClipboardFiles) read from the clipboard.
    const std::vector<std::string>& PastedFiles() const { return m_arrPasteFiles; }

    ~CDirscopeView() override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(HDC hDC) override;

    // The status line's timer.
    static constexpr UINT_PTR kStatusTimer = 103;
    static constexpr UINT kStatusTimerPeriod = 2000;
    // Posted by the scan thread when results wait (wParam: the scan's generation).
    static constexpr UINT WM_SCAN_RESULTS = WM_APP + 0x103;

protected:
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
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    LRESULT OnScanResults(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuInitPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);

private:
    CFolderListHost* Host() const;
    void Tell(CFolderListHost::ListEvent event);
    // Paints row nItem's Size cell with the bar of its share of the folder's total.
    void DrawSizeCell(const NMLVCUSTOMDRAW& draw) const;
    // Offers a message to the open shell menu; the list control has it otherwise.
    LRESULT ForwardToOpenMenu(UINT message, WPARAM wParam, LPARAM lParam);
    // Writes the folder's counts, and its total once known, to the status line.
    void UpdateStatusText();

    // The columns of the drive overview or of a folder, changed only when they differ.
    void SetDriveLayout(bool bDriveView);
    void ClearRows();
    // The shell's system image lists on the list, for a folder's rows.
    void AttachSystemImageLists();
    void ShowDriveOverview();
    // Lists `folder` and adds its rows, then starts the scan of its subfolders.
    void ShowFolderRows(const std::string& folder);
    void AddRow(const FolderEntry& entry, bool bFile);
    // Lists the folder on a thread, handling messages meanwhile once `pacer` says so;
    // false when the show was overtaken (nothing of the view may be touched then).
    bool ListFolderPumping(ShowPacer& pacer, const std::function<bool()>& overtaken,
                           FolderListing& listing);
    // The scan's totals of subfolder `index` into its row.
    void ShowTotalsOfRow(size_t index);
    // What the scan `generation` left (none given: the running scan); the rows go
    // largest first once it has finished.
    void TakeScanResults(std::optional<unsigned> generation);
    void SortRows(int nColumn, bool bDescending);
    void RedrawWhole();
    // The Name cells of the selected rows, in index order.
    std::vector<std::string> SelectedNames() const;

    std::string m_strFolder;     // the folder the view was told to show
    std::string m_strListedPath; // the folder listed last
    bool m_bDriveView = true;    // the drive-overview columns are in place
    ListMode m_mode = ListMode::Detail;
    int m_nFileCount = 0;
    int m_nFolderCount = 0;
    bool m_bSortDescending = false; // the direction of the last header click
    int m_nSortColumn = -1;         // the column sorted on last
    DWORD m_nPumpAfterMs = 100;
    std::vector<std::string> m_arrPasteFiles;
    // The shell menu open for the selected rows, or null: it sees the messages this
    // window gets for drawing it.
    CShellItemMenu* m_pOpenMenu = nullptr;

    CListRows m_rows;
    CDriveOverview m_drives;
    std::vector<CDriveOverview::Drive> m_driveList; // as the overview lists them
    CShellFileTypes m_fileTypes; // the shell's answers per extension, for the folder shown
    // Counts the shows (and anything that clears the rows): a show that finds it changed
    // after handling messages has been overtaken and leaves the rows alone.
    unsigned m_nShowGeneration = 0;
    bool m_bFilling = false; // the current show is still listing or adding rows
    // Gone with the view: a show that handled messages checks it before touching `this`.
    std::shared_ptr<int> m_pLifeToken = std::make_shared<int>(0);
    FolderScanController m_scan; // last: stopped before anything it reports into goes
};
