#include "form_tree.h"

#include "folder_pane_host.h"
#include "folder_path.h"
#include "win_app.h"

IMPLEMENT_DYNCREATE(CFormTree, CFormView)

BEGIN_MESSAGE_MAP(CFormTree, CFormView)
    ON_WM_SIZE()
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_FOLDER_TREE, OnSelChangedTree)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FOLDER_TREE, OnSelChangedTree)
END_MESSAGE_MAP()

namespace {

CFolderPaneHost* Host() {
    return dynamic_cast<CFolderPaneHost*>(AfxGetMainWnd());
}

} // namespace

void CFormTree::DoDataExchange(CDataExchange* pDX) {
    CFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FOLDER_TREE, m_tree);
}

void CFormTree::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    if (!m_tree.m_hWnd)
        return;
    m_tree.ModifyStyle(0, TVS_HASLINES);
    // The form had its size before the tree was bound.
    const CRect rc = GetClientRect();
    LayoutTree(rc.Width(), rc.Height());
    m_bFilling = true;
    m_tree.AddRootFolderContent(nullptr, CShellTreeCtrl::kRootNode);
    m_bFilling = false;

    // The computer is the top folder whose children look like drives; the others are
    // closed again after the look.
    HTREEITEM hRoot = m_tree.GetRootItem();
    if (hRoot) {
        m_tree.Expand(hRoot, TVE_EXPAND);
        for (HTREEITEM hChild = m_tree.GetChildItem(hRoot); hChild;
             hChild = m_tree.GetNextSiblingItem(hChild)) {
            m_tree.Expand(hChild, TVE_EXPAND);
            bool bDrives = false;
            for (HTREEITEM hGrand = m_tree.GetChildItem(hChild); hGrand && !bDrives;
                 hGrand = m_tree.GetNextSiblingItem(hGrand))
                bDrives = IsDriveNodeText(m_tree.GetItemText(hGrand));
            if (bDrives) {
                m_tree.SelectItem(hChild);
                break;
            }
            m_tree.Expand(hChild, TVE_COLLAPSE);
        }
    }
    if (CFolderPaneHost* pHost = Host())
        pHost->SetFolderTree(&m_tree);
}

void CFormTree::OnSize(UINT, int cx, int cy) {
    Default();
    LayoutTree(cx, cy);
}

void CFormTree::LayoutTree(int cx, int cy) {
    // The tree fills the view, its own border outside the view on every side.
    if (m_tree.m_hWnd)
        m_tree.SetWindowPos(nullptr, -2, -2, cx + 4, cy + 4, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFormTree::OnSelChangedTree(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (m_bFilling)
        return;
    if (CFolderPaneHost* pHost = Host())
        pHost->OnFolderSelected(TrimFolderPath(m_tree.GetSelectedPath()), m_tree);
}
