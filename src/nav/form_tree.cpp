#include "form_tree.h"

#include "computer_node.h"
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

    // The computer starts selected; the other top folders are closed again after the look.
    if (const HTREEITEM hComputer = FindComputerItem(m_tree))
        m_tree.SelectItem(hComputer);
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
