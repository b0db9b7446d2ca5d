#pragma once
// CScanTreeCtrl: the folders of an opened saved scan as a tree, in place of the shell's
// folder tree while the scan is shown. A node's item data is its folder's index in the
// scan's snapshot; each level is added the first time its parent opens, so a scan of a
// million folders costs nodes only for what is looked at. Paths are the snapshot's own
// (FolderSnapshot::PathOf), the ones the document shows.

#include <string>

#include "folder_snapshot.h"
#include "tree_ctrl.h"

class CScanTreeCtrl : public CTreeCtrl {
    DECLARE_DYNAMIC(CScanTreeCtrl)
public:
    // Shows the folders of `snapshot` beneath `root`, whose node reads `rootText`; the
    // snapshot must stay as it is until the next Fill or Empty.
    void Fill(const FolderSnapshot& snapshot, FolderSnapshot::Index root,
              const std::string& rootText);
    void Empty();
    // The path of a node's folder ("" for none).
    std::string PathOf(HTREEITEM hItem) const;
    std::string SelectedPath() const { return PathOf(GetSelectedItem()); }
    // Selects the node of the folder at `path`, opening the nodes above it; false when the
    // scan holds no such folder beneath its root.
    bool SelectPath(const std::string& path);
    // A node opens: its subfolders are added the first time.
    void OnExpanding(HTREEITEM hItem);

private:
    HTREEITEM AddNode(HTREEITEM hParent, FolderSnapshot::Index folder, const char* text);
    FolderSnapshot::Index FolderOf(HTREEITEM hItem) const {
        return static_cast<FolderSnapshot::Index>(GetItemData(hItem));
    }

    const FolderSnapshot* m_pSnapshot = nullptr;
    FolderSnapshot::Index m_root = FolderSnapshot::kNone;
    int m_nFolderImage = 0;
};
