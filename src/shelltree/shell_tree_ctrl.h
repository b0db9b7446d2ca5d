#pragma once
// CShellTreeCtrl: a tree of the shell's folders. Each node holds the absolute item id
// list of its folder; its children are read from the shell when it is first expanded
// (once: collapsing keeps them), so only the folders the user opens are ever listed.
// Icons and the "has children" buttons are asked for only when a node is drawn.
//
// The control's notifications reach it through the framework's reflection, so its
// parent must be a framework window (a form view, a frame, a dialog of ours). The
// selection change is not taken: the parent gets it as from any tree control.

#include <shlobj.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "owners.h"
#include "tree_ctrl.h"

// An item id list the shell allocated with the task allocator.
using UniqueTaskIdList = UniqueTaskMemory<ITEMIDLIST>;

class CShellTreeCtrl : public CTreeCtrl {
    DECLARE_DYNAMIC(CShellTreeCtrl)
    DECLARE_MESSAGE_MAP()
public:
    // AddRootFolderContent flags. kRootNode: one node for the root folder itself, its
    // content beneath it; without it, the root's content is the top level.
    enum : UINT { kRootNode = 0x2 };

    CShellTreeCtrl() = default;
    ~CShellTreeCtrl() override;

    // Fills the tree with the folder `pidlRoot` (null: the shell namespace's root, the
    // desktop) and its child folders. What the tree held before is removed.
    void AddRootFolderContent(const ITEMIDLIST* pidlRoot, UINT nFlags);

    // The file-system path of the selected node (a drive's root ends in a backslash);
    // empty for a node without a file-system folder and when nothing is selected.
    std::string GetSelectedPath() const;
    std::string GetItemPath(HTREEITEM hItem) const;
    // The node's absolute item id list, owned by the control; null for none.
    const ITEMIDLIST* GetItemIDList(HTREEITEM hItem) const;

    // Inserts the node's child folders if they are not there yet; false when the
    // node's folder could not be read.
    bool FillItem(HTREEITEM hItem);

    // The node's icon in the system image list, closed or open: what the shell gives
    // for it (a plain folder's icon is asked for once and reused).
    int SystemIconIndex(LPCITEMIDLIST pidl, bool bOpen);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    bool OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);

private:
    struct ShellNode {
        UniqueTaskIdList pidl; // absolute
        bool bFilled;          // children inserted
    };
    ShellNode* NodeOf(HTREEITEM hItem) const;
    HTREEITEM InsertNode(HTREEITEM hParent, const std::string& text, UniqueTaskIdList pidl,
                         int nChildren);
    bool FillChildren(HTREEITEM hParent, LPCITEMIDLIST pidlFolder);
    void FreeNode(ShellNode* pNode);
    void RemoveAll();

    // Every node's data, by the address its item holds; freed when its item goes.
    std::unordered_map<const ShellNode*, std::unique_ptr<ShellNode>> m_nodes;
    int m_nGenericIcon = -1;                // the shell's icon for a plain folder, once asked
    int m_nGenericOpenIcon = -1;
};
