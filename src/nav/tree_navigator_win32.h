#pragma once
// The folder history's view of a tree control: nodes are the control's items, the
// selection goes through TVM_SELECTITEM, so the pane's selection handler runs as for a
// click.

#include "folder_history.h"
#include "tree_ctrl.h"

class CTreeCtrlNavigator : public TreeNavigator {
public:
    explicit CTreeCtrlNavigator(CTreeCtrl& tree) : m_tree(tree) {}

    static Node ToNode(HTREEITEM hItem) { return reinterpret_cast<Node>(hItem); }
    static HTREEITEM ToItem(Node node) { return reinterpret_cast<HTREEITEM>(node); }

    Node Root() const override { return ToNode(m_tree.GetRootItem()); }
    Node Selected() const override { return ToNode(m_tree.GetSelectedItem()); }
    Node Parent(Node node) const override { return ToNode(m_tree.GetParentItem(ToItem(node))); }
    Node FirstChild(Node node) const override { return ToNode(m_tree.GetChildItem(ToItem(node))); }
    Node NextSibling(Node node) const override {
        return ToNode(m_tree.GetNextSiblingItem(ToItem(node)));
    }
    std::string Text(Node node) const override { return m_tree.GetItemText(ToItem(node)); }
    void Select(Node node) override { m_tree.SelectItem(ToItem(node)); }
    void Expand(Node node) override { m_tree.Expand(ToItem(node), TVE_EXPAND); }
    void LockUpdates() override;
    void UnlockUpdates() override;

private:
    CTreeCtrl& m_tree;
    bool m_bLocked = false; // only one window can be locked; never unlock another's lock
};
