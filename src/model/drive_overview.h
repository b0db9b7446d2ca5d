#pragma once
// The drive overview: the drives present, each with its icon and, where it may be asked,
// its size and free space. The drive icons live in image lists of its own: the shell
// keeps more image lists than the two it hands out and adds every icon to all of them at
// one index, so an icon appended to its lists would put all later icons out of step.

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "owners.h"

class CDriveOverview {
public:
    struct Drive {
        std::string name;        // "C:"
        int nImage = 0;          // the icon's index in the overview's image lists
        bool bHaveSpace = false; // the drive was asked for its space and answered
        int64_t nTotal = 0;
        int64_t nFree = 0;
    };

    // The present drives in letter order.
    static std::vector<Drive> ListDrives();

    // The three drive icons at the size of the shell's small and large icons; made once.
    HIMAGELIST SmallImages();
    HIMAGELIST LargeImages();

private:
    void MakeImageLists();

    UniqueImageList m_small;
    UniqueImageList m_large;
};
