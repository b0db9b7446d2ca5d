#pragma once
// CDirscopeView: the folder list. It shows one folder, its subfolders first and then
// its files, each group by name, with name and icon, size (files), type and date; or,
// when no folder is current, the drive-overview columns. Icon and Detail switch how
// the rows are shown.

#include <cstdint>
#include <vector>

#include "folder_entry.h"
#include "list_view.h"

#include <shellapi.h>

class CMainFrame;

class CDirscopeView : public CListView {
    DECLARE_DYNCREATE(CDirscopeView)
    DECLARE_MESSAGE_MAP()
public:
    // Shows the main window's current folder, or the drive overview when it is empty.
    void ShowFolder();
    // Fills m_sfi with the shell's icon index and type name for `path`.
    void GetShellFileInfo(const char* path);

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
    char m_szFolderPath[kMaxPathField] = {}; // the folder shown last

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
    void OnUpdateViewDetail(CCmdUI* pCmdUI);
    void OnUpdateViewIcon(CCmdUI* pCmdUI);

protected:
    void InsertColumns();
    void DeleteAllColumns();
    void ClearRows();
    void AttachSystemImageLists();
    void AddRow(const FolderEntry& entry, bool bFile);
};
