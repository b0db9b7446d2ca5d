#include "folder_volume.h"

// A POSIX system mounts NTFS through a driver of its own; its folders are walked.
VolumeAccess OpenFolderVolume(const std::string&, FolderVolume&, std::string&) {
    return VolumeAccess::NotNtfs;
}
