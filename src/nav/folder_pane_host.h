#pragma once
// What the folder tree pane needs of the window it serves: the main window takes the
// selected folder (shows it, records the visit) and keeps a pointer to the tree. The
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
};
