#pragma once
// The NTFS volume a folder lies on, opened so that its file table can be read: on Windows
// its device ("\\.\C:", or the volume's own name for one mounted in a folder), which only an
// administrator may open.

#include <memory>
#include <string>
#include <vector>

#include "volume_bytes.h"

struct FolderVolume {
    std::unique_ptr<VolumeBytes> bytes;
    std::string device;               // as opened
    std::vector<std::string> beneath; // the folder's names below the volume's root
};

enum class VolumeAccess {
    Opened,
    NotNtfs, // on no NTFS volume, or on one whose device holds none (the system offers no
             // volume's bytes): walk
    Denied,  // on an NTFS volume only an administrator may open; `why` names it
    Failed,  // on an NTFS volume that cannot be opened; `why` says why
};

VolumeAccess OpenFolderVolume(const std::string& folderPath, FolderVolume& volume,
                              std::string& why);
