#pragma once
// CFormTree: the folder tree pane's view, a form holding the shell folder tree and, while a
// saved scan is shown, the tree of that scan's folders in its place. The shown tree's
// selection is the one source of the shown folder: each change sets the main window's
// current folder, shows it in the folder list and records the visit.

#include "form_view.h"
#include "owners.h"
#include "resource.h"
#include "scan_tree_ctrl.h"
#include "shell_tree_ctrl.h"

class CFormTree : public CFormView {
    DECLARE_DYNCREATE(CFormTree)
    DECLARE_MESSAGE_MAP()
public:
    CFormTree() : CFormView(IDD_FORM_TREE) {}

    void OnInitialUpdate() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // A scan opened: its tree replaces the shell's and selects its root. What is shown
    // changed: the tree of its side shows.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    CShellTreeCtrl m_tree;
    CScanTreeCtrl m_scanTree;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnSelChangedTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelChangedScanTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnExpandingScanTree(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);

private:
    void LayoutTree(int cx, int cy);
    // The trees' text in the system's message font and their icons at the size of the
    // window's scale (the form's own font, a bitmap font on some systems, does not scale).
    void FollowScale();
    void FillScanTree();
    // Shows the scan's tree or the shell's, as the document shows one or the other.
    void ShowTreeOfShownSide();
    // Filling the tree again deletes the old selection: not a visit.
    bool m_bFilling = false;
    UniqueGdiObject m_font;
    int m_nFontDpi = 0;
};
