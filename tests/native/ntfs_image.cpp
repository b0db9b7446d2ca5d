#include "ntfs_image.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool OnPath(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs the command with its output dropped; true when it succeeded.
bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

dev_t DeviceOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

} // namespace

NtfsImage::NtfsImage(int megabytes) : m_megabytes(megabytes) {
    char pattern[] = "/tmp/dscp-ntfs-XXXXXX";
    const char* made = mkdtemp(pattern);
    m_folder = made ? made : "";
    m_image = m_folder + "/volume.img";
    m_mountPoint = m_folder + "/mnt";
}

NtfsImage::~NtfsImage() {
    Unmount();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

std::string NtfsImage::Missing() {
    std::string missing;
    if (geteuid() != 0)
        missing += "root (ntfs-3g mounts an image through FUSE as root); ";
    if (access("/dev/fuse", R_OK | W_OK) != 0)
        missing += "/dev/fuse; ";
    for (const char* tool : {"mkntfs", "ntfs-3g", "truncate", "umount"})
        if (!OnPath(tool))
            missing += std::string(tool) + " (apt-get install ntfs-3g coreutils mount); ";
    return missing;
}

bool NtfsImage::Mount() {
    if (!m_bMade) {
        if (m_folder.empty() || !std::filesystem::create_directory(m_mountPoint)) {
            m_error = "cannot make a folder for the image";
            return false;
        }
        if (!Run("truncate -s " + std::to_string(m_megabytes) + "M " + m_image) ||
            !Run("mkntfs -F -f -q " + m_image)) {
            m_error = "mkntfs could not make the volume";
            return false;
        }
        m_bMade = true;
    }
    const dev_t outside = DeviceOf(m_mountPoint);
    // In the foreground, so that its end says the image is written.
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        execlp("ntfs-3g", "ntfs-3g", "-o", "no_detach", m_image.c_str(), m_mountPoint.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) {
        m_error = "cannot start ntfs-3g";
        return false;
    }
    m_driver = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (DeviceOf(m_mountPoint) == outside) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid || std::chrono::steady_clock::now() > deadline) {
            m_driver = -1;
            m_error = "ntfs-3g did not mount the image";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool NtfsImage::Unmount() {
    if (m_driver == -1)
        return true;
    const bool unmounted = Run("umount " + m_mountPoint);
    if (!unmounted)
        kill(m_driver, SIGTERM);
    int status = 0;
    waitpid(m_driver, &status, 0);
    m_driver = -1;
    if (!unmounted)
        m_error = "the image could not be unmounted";
    return unmounted;
}
