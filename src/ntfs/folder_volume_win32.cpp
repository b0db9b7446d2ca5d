// Paths are UTF-8 throughout: the program's manifest makes that the "A" functions' code page.
#include "folder_volume.h"

#include <algorithm>
#include <cerrno>
#include <windows.h>

#include "boot_sector.h"
#include "volume_file.h"

namespace {

bool IsDriveRoot(const std::string& root) {
    return root.size() == 3 && root[1] == ':' && root[2] == '\\';
}

// Whether this process holds the administrators' rights now (elevated), not merely belongs
// to an administrator who has not confirmed them.
bool RunsAsAdministrator() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    BOOL bMember = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &bMember))
        bMember = FALSE;
    FreeSid(administrators);
    return bMember != FALSE;
}

} // namespace

VolumeAccess OpenFolderVolume(const std::string& folderPath, FolderVolume& volume,
                              std::string& why) {
    // A network share's volume is the server's, never to be opened from here.
    if (folderPath.size() >= 2 && folderPath[0] == '\\' && folderPath[1] == '\\')
        return VolumeAccess::NotNtfs;
    char root[MAX_PATH + 1];
    char system[MAX_PATH + 1];
    if (!GetVolumePathNameA(folderPath.c_str(), root, MAX_PATH) ||
        !GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH) ||
        lstrcmpiA(system, "NTFS") != 0)
        return VolumeAccess::NotNtfs;
    // A mapped network drive is the server's volume too (an administrator would not even
    // see the mapping).
    if (GetDriveTypeA(root) == DRIVE_REMOTE)
        return VolumeAccess::NotNtfs;
    const std::string rootText(root);
    if (IsDriveRoot(rootText)) {
        volume.device = "\\\\.\\" + rootText.substr(0, 2);
    } else {
        char name[MAX_PATH + 1];
        if (!GetVolumeNameForVolumeMountPointA(root, name, MAX_PATH)) {
            why = "the volume mounted at " + rootText + " has no name to open it by";
            return VolumeAccess::Failed;
        }
        volume.device = name;
        if (!volume.device.empty() && volume.device.back() == '\\')
            volume.device.pop_back();
    }
    volume.beneath.clear();
    std::string name;
    for (size_t i = std::min(rootText.size(), folderPath.size()); i <= folderPath.size(); ++i) {
        if (i == folderPath.size() || folderPath[i] == '\\' || folderPath[i] == '/') {
            if (!name.empty())
                volume.beneath.push_back(name);
            name.clear();
        } else {
            name += folderPath[i];
        }
    }
    int error = 0;
    volume.bytes = OpenVolumeFile(volume.device, error);
    // Refused to an administrator, the device is none that holds a volume to read (Wine
    // refuses the device behind its Unix root so): walked without a word.
    if (!volume.bytes && error == EACCES && !RunsAsAdministrator()) {
        why = "only an administrator may read " + volume.device;
        return VolumeAccess::Denied;
    }
    // A drive the system calls NTFS without a device that holds one (Wine calls every
    // drive NTFS) is walked without a word.
    uint8_t boot[512];
    VolumeGeometry geometry;
    std::string notNtfs;
    if (!volume.bytes || !volume.bytes->ReadAt(0, boot, sizeof boot) ||
        !ReadBootSector(boot, geometry, notNtfs)) {
        volume.bytes.reset();
        return VolumeAccess::NotNtfs;
    }
    return VolumeAccess::Opened;
}
