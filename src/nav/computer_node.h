#pragma once
// The computer's node in the folder tree: the node whose children are the drives.

#include "tree_ctrl.h"

// The top-level node (a child of the root) with a child whose text names a drive, as in
// "Local Disk (C:)"; null when there is none. The root and the node found are left
// expanded, the nodes looked into in vain are closed again.
HTREEITEM FindComputerItem(CTreeCtrl& tree);

struct FolderSteps;

// The node of the folder `steps` lead to from the computer's drives, each level expanded on
// the way (names compared without case); null when a step is not found.
HTREEITEM FindFolderItem(CTreeCtrl& tree, const FolderSteps& steps);
