#pragma once
// CTreeFolderNavigator: moving somewhere by selecting it in the folder tree. The tree's
// selection does the rest (the main window records the visit and has the document show
// the folder). The main window owns one and installs it as the program's navigator.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "folder_navigator.h"

class CScanTreeCtrl;
class CTreeCtrl;

class CTreeFolderNavigator : public CFolderNavigator {
public:
    // The tree to select in (null: none yet).
    void SetTree(CTreeCtrl* pTree) { m_pTree = pTree; }
    // The tree of an opened saved scan's folders: while it shows, the folders it holds are
    // found there.
    void SetScanTree(CScanTreeCtrl* pTree) { m_pScanTree = pTree; }

    // A folder beneath the tree's selection is found from there; any other from its
    // drive's node. Each step down expands the node, so its children are there. A
    // folder the tree does not show (a hidden one on the way) opens nothing.
    void OpenFolder(const std::string& folder) override;
    void OpenDrive(const std::string& name) override;

private:
    // The tree control when its window exists, else null.
    CTreeCtrl* LiveTree() const;
    // The node of the drive `name` ("C:"), its computer node expanded; or null.
    HTREEITEM FindDriveItem(const std::string& name) const;

    CTreeCtrl* m_pTree = nullptr;
    CScanTreeCtrl* m_pScanTree = nullptr;
};
