#include "computer_node.h"

#include <string.h>

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

HTREEITEM FindFolderItem(CTreeCtrl& tree, const FolderSteps& steps) {
    const HTREEITEM hComputer = FindComputerItem(tree);
    if (!hComputer)
        return nullptr;
    // A drive's node names its letter in brackets: "(C:)", "Local Disk (C:)".
    HTREEITEM hNode = nullptr;
    for (HTREEITEM h = tree.GetChildItem(hComputer); h && !hNode; h = tree.GetNextSiblingItem(h))
        if (tree.GetItemText(h).find("(" + steps.drive + ")") != std::string::npos)
            hNode = h;
    for (const std::string& name : steps.names) {
        if (!hNode)
            return nullptr;
        tree.Expand(hNode, TVE_EXPAND);
        HTREEITEM hChild = tree.GetChildItem(hNode);
        while (hChild && _stricmp(tree.GetItemText(hChild).c_str(), name.c_str()) != 0)
            hChild = tree.GetNextSiblingItem(hChild);
        hNode = hChild;
    }
    return hNode;
}
