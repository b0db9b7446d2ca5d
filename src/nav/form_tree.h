#pragma once
// CFormTree: the folder tree pane's view, a form holding the shell folder tree. Its
// selection is the one source of the shown folder: each change sets the main window's
// current folder, shows it in the folder list and records the visit.

#include "form_view.h"
#include "resource.h"
#include "shell_tree_ctrl.h"

class CFormTree : public CFormView {
    DECLARE_DYNCREATE(CFormTree)
    DECLARE_MESSAGE_MAP()
public:
    CFormTree() : CFormView(IDD_FORM_TREE) {}

    void OnInitialUpdate() override;
    void DoDataExchange(CDataExchange* pDX) override;

    CShellTreeCtrl m_tree;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnSelChangedTree(NMHDR* pNMHDR, LRESULT* pResult);

private:
    void LayoutTree(int cx, int cy);
    // Filling the tree again deletes the old selection: not a visit.
    bool m_bFilling = false;
};
