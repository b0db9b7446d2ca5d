#pragma once
// The one way any view moves the program somewhere: open this folder or this drive. The
// main window installs the program's navigator: its folder tree selects the place, the
// history records the visit, and the document shows it. Views reach it through
// AfxGetNavigator and know nothing of the window behind it.

#include <string>

class CFolderNavigator {
public:
    virtual ~CFolderNavigator() = default;
    // Shows the folder at the full path `folder` ("C:\\data\\logs").
    virtual void OpenFolder(const std::string& folder) = 0;
    // Shows the drive `name` ("C:").
    virtual void OpenDrive(const std::string& name) = 0;
};

// The program's navigator, or null (none installed).
CFolderNavigator* AfxGetNavigator();
// Installs the program's navigator (null: none); the installer outlives it or removes it.
void AfxSetNavigator(CFolderNavigator* pNavigator);
