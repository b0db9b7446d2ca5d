#pragma once
// What the folder tree pane needs of the window it serves: the main window takes the
// selected folder (shows it, records the visit) and keeps pointers to the trees. The
// pane reaches it through the application's main window.

#include <string>

class CTreeCtrl;

class CFolderPaneHost {
public:
    virtual ~CFolderPaneHost() = default;
    // The tree's selection changed to the folder `strFolder` ("" for a node without a
    // file-system folder, such as the computer); `tree` is the control that changed.
    virtual void OnFolderSelected(const std::string& strFolder, CTreeCtrl& tree) = 0;
    virtual void SetFolderTree(CTreeCtrl* pTree) = 0;
    // The tree of an opened saved scan's folders, shown in the pane in place of the other
    // while the scan is; its selections are folders of the scan.
    virtual void SetScanTree(CTreeCtrl* pTree) = 0;
};
