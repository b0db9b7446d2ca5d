#include "drive_overview.h"

#include <shellapi.h>

#include "drive_rules.h"
#include "resource.h"

namespace {

// The icons' places in the overview's lists, in the order they are added.
constexpr int kIconResources[] = {IDI_DRIVE_REMOVABLE, IDI_DRIVE_FIXED, IDI_DRIVE_CDROM};

int ImageOfIconResource(int nResource) {
    for (int i = 0; i < 3; ++i)
        if (kIconResources[i] == nResource)
            return i;
    return 1; // the fixed drive's
}

// A list of the three drive icons at the size of the shell's list `hLike`.
HIMAGELIST MakeDriveImageList(HIMAGELIST hLike, int cxDefault, int cyDefault) {
    int cx = cxDefault;
    int cy = cyDefault;
    if (!hLike || !ImageList_GetIconSize(hLike, &cx, &cy)) {
        cx = cxDefault;
        cy = cyDefault;
    }
    HIMAGELIST hList = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 3, 0);
    if (!hList)
        return nullptr;
    for (int nIcon : kIconResources)
        ImageList_ReplaceIcon(hList, -1,
                              ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIcon)));
    return hList;
}

HIMAGELIST ShellImageList(UINT nSizeFlag) {
    SHFILEINFOA sfi{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | nSizeFlag));
}

} // namespace

std::vector<CDriveOverview::Drive> CDriveOverview::ListDrives() {
    std::vector<Drive> drives;
    for (const std::string& name : DriveNamesFromMask(::GetLogicalDrives())) {
        Drive drive;
        drive.name = name;
        const std::string root = DriveRootPath(name);
        drive.nImage = ImageOfIconResource(DriveIconResource(::GetDriveTypeA(root.c_str())));
        ULARGE_INTEGER available{};
        ULARGE_INTEGER total{};
        ULARGE_INTEGER free{};
        if (ShouldQueryDriveSpace(name) &&
            ::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) {
            drive.bHaveSpace = true;
            drive.nTotal = static_cast<int64_t>(total.QuadPart);
            drive.nFree = static_cast<int64_t>(free.QuadPart);
        }
        drives.push_back(drive);
    }
    return drives;
}

void CDriveOverview::MakeImageLists() {
    if (m_small)
        return;
    m_small.Reset(MakeDriveImageList(ShellImageList(SHGFI_SMALLICON),
                                     ::GetSystemMetrics(SM_CXSMICON),
                                     ::GetSystemMetrics(SM_CYSMICON)));
    m_large.Reset(MakeDriveImageList(ShellImageList(0), ::GetSystemMetrics(SM_CXICON),
                                     ::GetSystemMetrics(SM_CYICON)));
}

HIMAGELIST CDriveOverview::SmallImages() {
    MakeImageLists();
    return m_small.Get();
}

HIMAGELIST CDriveOverview::LargeImages() {
    MakeImageLists();
    return m_large.Get();
}
