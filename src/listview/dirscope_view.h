#pragma once
// CDirscopeView: the folder list, a view of the document's model. It shows the shown
// folder, its subfolders first and then its files, each group by name, with name and
// icon, size (files), type and date; or, in the drive overview, the drives with their
// size and free space. The subfolders' totals come in row by row as the scan finds them,
// after which the list is sorted by size and the status line shows the folder's total.
// Icon and Detail switch how the rows are shown; a header click sorts by that column.
// Its selection is the model's: choosing a row selects its entry, and an entry selected
// elsewhere selects its row when the folder shown holds it. While the document compares
// the folder with a saved scan, a Change column shows each entry's growth, and the
// entries gone since are rows of their own, in grey, after the others.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dirscope_doc.h"
#include "drive_overview.h"
#include "folder_entry.h"
#include "list_rows.h"
#include "list_view.h"
#include "shell_file_types.h"
#include "shell_menu_owner.h"

class CDirscopeView : public CListView {
    DECLARE_DYNCREATE(CDirscopeView)
    DECLARE_MESSAGE_MAP()
public:
    // How the rows are shown.
    enum class ListMode { Icon, Detail };

    CDirscopeDoc* GetDocument() const { return static_cast<CDirscopeDoc*>(m_pDocument); }

    ListMode Mode() const { return m_mode; }
    // The column sorted on last (-1 for none), and the direction of the last header click.
    int SortColumn() const { return m_nSortColumn; }
    bool IsSortDescending() const { return m_bSortDescending; }
    // A shell context menu is open for the selected rows.
    bool HasOpenShellMenu() const { return m_shellMenu.IsOpen(); }

    // Opens row nItem as a double-click on it does: a folder or drive through the
    // navigator (which records the visit), a file with its program.
    void OpenRow(int nItem);
    // The row of the shown folder's subfolder (bFolder) or file named exactly `name`, or -1.
    int FindEntryRow(const std::string& name, bool bFolder) const;
    // Selects row nItem alone, focused and scrolled into view.
    void SelectRow(int nItem);
    // The first selected row: its name and whether it is a subfolder. False for none.
    bool FirstSelectedEntry(std::string& name, bool& bFolder) const;

    // The clipboard's file list, as Paste reads it: 2 when the files were cut, else 1.
    int ReadClipboardFiles();
    bool ClipboardHasFiles() const;
    // The paths the last Paste (or ReadClipboardFiles) read from the clipboard.
    const std::vector<std::string>& PastedFiles() const { return m_arrPasteFiles; }

    ~CDirscopeView() override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(HDC hDC) override;

    // The status line's timer; its tick also takes scan results whose wake-up was lost.
    static constexpr UINT_PTR kStatusTimer = 103;
    static constexpr UINT kStatusTimerPeriod = 2000;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

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
    // Delete and Refresh act on the disk: not on a saved scan.
    void OnUpdateOnDisk(CCmdUI* pCmdUI);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();

private:
    CDirscopeDoc& Doc() const { return *GetDocument(); }
    // Paints row nItem's Size cell with the bar of its share of the folder's total.
    void DrawSizeCell(const NMLVCUSTOMDRAW& draw) const;
    // Writes the folder's counts, and its total once known, to the status line.
    void UpdateStatusText();

    // The columns of the drive overview or of a folder, changed only when they differ.
    void SetDriveLayout(bool bDriveView);
    // The rows go; the columns become those of what the document is about to show.
    void ClearRows();
    // The shell's system image lists on the list, for a folder's rows.
    void AttachSystemImageLists();
    void ShowDriveOverview();
    // Adds the listed folder's rows, handling messages as the document's pacer says.
    void ShowFolderRows();
    // Adds the row of `entry`, numbered `id` (subfolders first, then files).
    void AddRow(const FolderEntry& entry, bool bFile, size_t id);
    // Entries of the shown folder came and went (CLevelHint): their rows follow, the rest
    // keep their places, texts and selection.
    void EditRows(const CObject* pHint);
    // Row number `id`'s Size cell at `nBytes` (-1: not known, the cell stays empty).
    void SetSizeCell(int nRow, size_t id, int64_t nBytes);
    // Every Size cell of the folder's rows by the document's measure; a list sorted by size
    // is sorted again.
    void ShowMeasuredSizes();
    // The scan's totals of subfolder `index` into its row.
    void ShowTotalsOfRow(size_t index);
    // A file of the shown folder written since it was listed: its row takes the new size.
    void ShowWrittenFile(size_t index);
    // The totals of a batch of rows; the rows go largest first once the scan has finished.
    void TakeTotals(const CObject* pHint, bool bFinished);
    // Sorts by `nColumn` and remembers how (m_nSortColumn is set by the caller).
    void SortRows(int nColumn, bool bDescending);
    // The Change column, its cells and the gone entries' rows, as the document's comparison
    // has them; none when it compares nothing.
    void ShowComparison();
    void AddGoneRow(const GoneEntry& entry);
    // Row number `id`'s Change cell from its bytes then and now (-1: not there).
    void SetChangeCell(size_t id, int64_t nBytesThen, int64_t nBytesNow);
    // The rows of the entries listed, before any gone one.
    size_t ListedRowCount() const { return Doc().Subfolders().size() + Doc().Files().size(); }
    bool IsGoneRow(int nItem) const;
    void RedrawWhole();
    // The Name cells of the selected rows, in index order.
    std::vector<std::string> SelectedNames() const;
    // The model's entry of the first selected row (none: no row selected).
    ModelEntry SelectedEntry() const;
    // The row of the model's selection, when the folder shown holds it.
    void ShowModelSelection();

    bool m_bDriveView = true;     // the drive-overview columns are in place
    bool m_bChangeColumn = false; // the Change column is in place
    ListMode m_mode = ListMode::Detail;
    bool m_bSortDescending = false;    // the direction of the last header click
    int m_nSortColumn = -1;            // the column sorted on last
    bool m_bSortedDescending = false;  // the direction it was sorted in
    bool m_bApplyingSelection = false; // the model's selection is being put on the rows
    std::vector<std::string> m_arrPasteFiles;
    CShellMenuOwner m_shellMenu; // the shell menu open for the selected rows

    CListRows m_rows;
    CDriveOverview m_drives;     // the drives' icons
    CShellFileTypes m_fileTypes; // the shell's answers per extension, for the folder shown
    // Gone with the view: a fill that handled messages checks it before touching `this`.
    std::shared_ptr<int> m_pLifeToken = std::make_shared<int>(0);
};
