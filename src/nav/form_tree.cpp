#include "form_tree.h"

#include "computer_node.h"
#include "dirscope_doc.h"
#include "folder_pane_host.h"
#include "folder_path.h"
#include "message_font.h"
#include "system_image_list.h"
#include "win_app.h"
#include "window_dpi.h"

IMPLEMENT_DYNCREATE(CFormTree, CFormView)

BEGIN_MESSAGE_MAP(CFormTree, CFormView)
    ON_WM_SIZE()
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_FOLDER_TREE, OnSelChangedTree)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FOLDER_TREE, OnSelChangedTree)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_SCAN_TREE, OnSelChangedScanTree)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_SCAN_TREE, OnSelChangedScanTree)
    ON_NOTIFY(TVN_ITEMEXPANDINGA, IDC_SCAN_TREE, OnExpandingScanTree)
    ON_NOTIFY(TVN_ITEMEXPANDINGW, IDC_SCAN_TREE, OnExpandingScanTree)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChangedAfterParent)
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
    // The scan's tree looks as the shell's does, hidden until a scan shows.
    if (!m_scanTree.m_hWnd)
        m_scanTree.Create(WS_CHILD | WS_TABSTOP | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS |
                              TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                          CRect(0, 0, 0, 0), this, IDC_SCAN_TREE);
    FollowScale();
    ShowTreeOfShownSide();
    // The form had its size before the tree was bound.
    const CRect rc = GetClientRect();
    LayoutTree(rc.Width(), rc.Height());
    m_bFilling = true;
    m_tree.AddRootFolderContent(nullptr, CShellTreeCtrl::kRootNode);
    m_bFilling = false;

    // The computer starts selected; the other top folders are closed again after the look.
    if (const HTREEITEM hComputer = FindComputerItem(m_tree))
        m_tree.SelectItem(hComputer);
    if (CFolderPaneHost* pHost = Host()) {
        pHost->SetFolderTree(&m_tree);
        pHost->SetScanTree(m_scanTree.m_hWnd ? &m_scanTree : nullptr);
    }
}

void CFormTree::OnUpdate(CView*, LPARAM lHint, CObject*) {
    switch (static_cast<ModelHint>(lHint)) {
    case ModelHint::ScanOpened:
        FillScanTree();
        break;
    case ModelHint::Cleared:
        ShowTreeOfShownSide();
        break;
    default:
        break;
    }
}

void CFormTree::FillScanTree() {
    const auto* pDoc = dynamic_cast<const CDirscopeDoc*>(GetDocument());
    if (!pDoc || !m_scanTree.m_hWnd)
        return;
    m_bFilling = true;
    m_scanTree.Fill(pDoc->OpenedSnapshot(), pDoc->OpenedRoot(), pDoc->OpenedScan().rootPath);
    m_bFilling = false;
    // Selecting the root shows it, as any selection does.
    m_scanTree.SelectItem(m_scanTree.GetRootItem());
}

void CFormTree::ShowTreeOfShownSide() {
    const auto* pDoc = dynamic_cast<const CDirscopeDoc*>(GetDocument());
    const bool bScan = pDoc && pDoc->IsSavedScan() && m_scanTree.m_hWnd;
    if (!m_tree.m_hWnd || (m_scanTree.m_hWnd && m_scanTree.IsWindowVisible()) == bScan)
        return;
    const bool bHadFocus = ::GetFocus() == (bScan ? m_tree.m_hWnd : m_scanTree.m_hWnd);
    CWnd& shown = bScan ? static_cast<CWnd&>(m_scanTree) : m_tree;
    CWnd& hidden = bScan ? static_cast<CWnd&>(m_tree) : m_scanTree;
    shown.ShowWindow(SW_SHOW);
    hidden.ShowWindow(SW_HIDE);
    // The hidden tree lets go of its selection, so that choosing any node of it later (Back
    // to where it was) is a change of selection, one that shows its side again.
    m_bFilling = true;
    (bScan ? static_cast<CTreeCtrl&>(m_tree) : m_scanTree).SelectItem(nullptr);
    m_bFilling = false;
    if (bHadFocus)
        ::SetFocus(shown.m_hWnd);
}

void CFormTree::FollowScale() {
    const int nDpi = WindowDpi(m_hWnd);
    if (nDpi == m_nFontDpi)
        return;
    m_nFontDpi = nDpi;
    UniqueGdiObject old(m_font.Release()); // the trees let go of it first
    m_font.Reset(CreateMessageFont(m_hWnd));
    const HIMAGELIST hImages = SystemImageListAt(nDpi);
    for (CTreeCtrl* pTree :
         {static_cast<CTreeCtrl*>(&m_tree), static_cast<CTreeCtrl*>(&m_scanTree)})
        if (pTree->m_hWnd) {
            if (m_font)
                pTree->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
            if (hImages)
                pTree->SetImageList(hImages, TVSIL_NORMAL);
        }
}

LRESULT CFormTree::OnDpiChangedAfterParent(WPARAM, LPARAM) {
    FollowScale();
    return 0;
}

void CFormTree::OnSize(UINT, int cx, int cy) {
    Default();
    LayoutTree(cx, cy);
}

void CFormTree::LayoutTree(int cx, int cy) {
    // The tree fills the view, its own border outside the view on every side.
    for (CWnd* pTree : {static_cast<CWnd*>(&m_tree), static_cast<CWnd*>(&m_scanTree)})
        if (pTree->m_hWnd)
            pTree->SetWindowPos(nullptr, -2, -2, cx + 4, cy + 4, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFormTree::OnSelChangedTree(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (m_bFilling)
        return;
    if (CFolderPaneHost* pHost = Host())
        pHost->OnFolderSelected(TrimFolderPath(m_tree.GetSelectedPath()), m_tree);
}

void CFormTree::OnSelChangedScanTree(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (m_bFilling || !m_scanTree.GetSelectedItem())
        return;
    if (CFolderPaneHost* pHost = Host())
        pHost->OnFolderSelected(m_scanTree.SelectedPath(), m_scanTree);
}

void CFormTree::OnExpandingScanTree(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0; // let it open
    m_scanTree.OnExpanding(reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem);
}
