#pragma once
// A real NTFS volume in an image file for the tests of the file table reader: made with
// mkntfs, mounted through FUSE with ntfs-3g (which needs root and /dev/fuse), filled, and
// unmounted, after which the image holds everything written.

#include <string>

class NtfsImage {
public:
    // An image of `megabytes` under a folder of its own; Mount() must follow.
    explicit NtfsImage(int megabytes);
    ~NtfsImage();
    NtfsImage(const NtfsImage&) = delete;
    NtfsImage& operator=(const NtfsImage&) = delete;

    // What this machine lacks to make and mount one ("" when nothing).
    static std::string Missing();

    // Makes the volume (the first time) and mounts it; false, with the reason in Error(),
    // when that fails.
    bool Mount();
    // Unmounts it and waits until the driver has written everything out and ended.
    bool Unmount();

    const std::string& MountPoint() const { return m_mountPoint; }
    const std::string& ImagePath() const { return m_image; }
    const std::string& Error() const { return m_error; }

private:
    std::string m_folder;
    std::string m_image;
    std::string m_mountPoint;
    std::string m_error;
    int m_megabytes;
    int m_driver = -1; // the mounting process, while it runs
    bool m_bMade = false;
};
