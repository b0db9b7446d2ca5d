#include "computer_node.h"

#include "folder_path.h"

HTREEITEM FindComputerItem(CTreeCtrl& tree) {
    const HTREEITEM hRoot = tree.GetRootItem();
    if (!hRoot)
        return nullptr;
    tree.Expand(hRoot, TVE_EXPAND);
    for (HTREEITEM hNode = tree.GetChildItem(hRoot); hNode;
         hNode = tree.GetNextSiblingItem(hNode)) {
        tree.Expand(hNode, TVE_EXPAND);
        for (HTREEITEM hChild = tree.GetChildItem(hNode); hChild;
             hChild = tree.GetNextSiblingItem(hChild))
            if (IsDriveNodeText(tree.GetItemText(hChild)))
                return hNode;
        tree.Expand(hNode, TVE_COLLAPSE);
    }
    return nullptr;
}
