#pragma once
// What the folder list needs of the window it serves: opening a row goes through the
// folder tree (its selection shows the folder and records the visit), and the counts go
// to the status line. The list reaches it through its parent frame.

#include <string>

class CDirscopeView;

class CFolderListHost {
public:
    virtual ~CFolderListHost() = default;
    // The subfolder `name` of the folder shown was opened: select it beneath the tree's
    // selection.
    virtual void OpenSubfolder(const std::string& name) = 0;
    // The drive `name` ("C:") was opened in the drive overview: select its node.
    virtual void OpenDrive(const std::string& name) = 0;
    // The status line's first pane shows `text`.
    virtual void ShowStatusText(const std::string& text) = 0;

    // What the list shows changed, for whatever else draws it (the treemap).
    enum class ListEvent {
        Cleared,   // the rows went: another folder (or the same afresh) is to be shown
        Shown,     // the rows of a folder or of the drive overview are in
        Totals,    // subfolders got their totals from the running scan
        Finished,  // the scan has ended: every total is known
        Selection, // the selected rows changed
        Gone,      // the list is being destroyed
    };
    virtual void OnListEvent(CDirscopeView& /*view*/, ListEvent /*event*/) {}
};
