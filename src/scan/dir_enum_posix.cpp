// Directory enumeration on POSIX systems: readdir for the names, fstatat (without
// following symbolic links) for the details, so a link is a file of its own size.
#include "dir_enum.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kOpenFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Opens a folder by a path of any length: one beyond what the kernel takes in one
// piece (PATH_MAX) is opened part by part, each part relative to the previous one.
int OpenFolder(const std::string& path) {
    if (path.size() < PATH_MAX)
        return open(path.c_str(), kOpenFolderFlags);
    int fd = AT_FDCWD;
    size_t start = 0;
    if (path[0] == '/') {
        fd = open("/", kOpenFolderFlags);
        start = 1;
    }
    while (fd != -1 && start < path.size()) {
        size_t end = path.size();
        if (end - start >= PATH_MAX) {
            end = path.rfind('/', start + PATH_MAX - 1);
            if (end == std::string::npos || end <= start) {
                if (fd != AT_FDCWD)
                    close(fd);
                errno = ENAMETOOLONG;
                return -1;
            }
        }
        const std::string part = path.substr(start, end - start);
        const int next = openat(fd, part.c_str(), kOpenFolderFlags);
        if (fd != AT_FDCWD)
            close(fd);
        fd = next;
        start = end + 1;
    }
    return fd == AT_FDCWD ? open(".", kOpenFolderFlags) : fd;
}

// A path this long costs the system more to walk than keeping its folder open costs.
constexpr size_t kShareFromLength = 256;
// Folders kept open for their subfolders at once, at most: far below any descriptor limit.
constexpr int kMostShared = 128;
std::atomic<int> sharedCount{0};

const char* LastName(const std::string& path) {
    const size_t at = path.rfind('/');
    return path.c_str() + (at == std::string::npos ? 0 : at + 1);
}

} // namespace

class FolderHandle {
public:
    explicit FolderHandle(int fd) : m_fd(fd) {}
    ~FolderHandle() {
        close(m_fd);
        sharedCount.fetch_sub(1, std::memory_order_relaxed);
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

struct DirEnumerator::Impl {
    DIR* pDir = nullptr;
    std::string path;                      // kept only while the folder could not be opened
    const FolderHandle* pParent = nullptr; // what it was opened from, if anything
    EntryDetails details = EntryDetails::All;
    int nOpenError = 0;
    bool bLongPath = false;
};

DirEnumerator::DirEnumerator(const std::string& folderPath, EntryDetails details, FileLinks,
                             const FolderHandle* parent)
    : m_pImpl(new Impl) {
    // Links come with the stat every file gets anyway: nothing to ask for.
    m_pImpl->details = details;
    if (folderPath.empty()) {
        m_pImpl->nOpenError = ENOENT;
        return;
    }
    m_pImpl->bLongPath = folderPath.size() >= kShareFromLength;
    m_pImpl->pParent = parent;
    const int fd = parent ? openat(parent->Fd(), LastName(folderPath), kOpenFolderFlags)
                          : OpenFolder(folderPath);
    if (fd == -1) {
        m_pImpl->nOpenError = errno;
        m_pImpl->path = folderPath;
        return;
    }
    m_pImpl->pDir = fdopendir(fd);
    if (!m_pImpl->pDir) {
        m_pImpl->nOpenError = errno;
        close(fd);
    }
}

DirEnumerator::~DirEnumerator() {
    if (m_pImpl->pDir)
        closedir(m_pImpl->pDir);
}

bool DirEnumerator::IsOpen() const {
    return m_pImpl->pDir != nullptr;
}

int DirEnumerator::OpenError() const {
    return m_pImpl->nOpenError;
}

std::shared_ptr<const FolderHandle> DirEnumerator::ShareHandle() const {
    if (!m_pImpl->pDir || !m_pImpl->bLongPath)
        return nullptr;
    if (sharedCount.fetch_add(1, std::memory_order_relaxed) >= kMostShared) {
        sharedCount.fetch_sub(1, std::memory_order_relaxed);
        return nullptr;
    }
    const int fd = fcntl(dirfd(m_pImpl->pDir), F_DUPFD_CLOEXEC, 0);
    if (fd == -1) {
        sharedCount.fetch_sub(1, std::memory_order_relaxed);
        return nullptr;
    }
    return std::make_shared<const FolderHandle>(fd);
}

bool DirEnumerator::GetIdentity(FolderIdentity& identity) const {
    // A folder that may not be read can still be looked at from its parent.
    struct stat st;
    const Impl& d = *m_pImpl;
    if (d.pDir ? fstat(dirfd(d.pDir), &st) != 0
               : d.path.empty() || (d.pParent ? fstatat(d.pParent->Fd(), LastName(d.path), &st,
                                                        AT_SYMLINK_NOFOLLOW)
                                              : lstat(d.path.c_str(), &st)) != 0)
        return false;
    identity.nDevice = static_cast<uint64_t>(st.st_dev);
    identity.nOwnBytes = static_cast<int64_t>(st.st_size);
    identity.nOwnDiskBytes = static_cast<int64_t>(st.st_blocks) * 512;
    identity.tModified = static_cast<int64_t>(st.st_mtim.tv_sec);
    return true;
}

bool DirEnumerator::GetKey(FolderKey& key) const {
    struct stat st;
    DIR* dir = m_pImpl->pDir;
    if (!dir || fstat(dirfd(dir), &st) != 0)
        return false;
    key.nDevice = static_cast<uint64_t>(st.st_dev);
    key.nId = static_cast<uint64_t>(st.st_ino);
    key.nChanged = 0;
    return key.IsKnown();
}

bool DirEnumerator::Next(DirItem& item) {
    DIR* dir = m_pImpl->pDir;
    if (!dir)
        return false;
    for (;;) {
        const dirent* ent = readdir(dir);
        if (!ent)
            return false;
        item.name = ent->d_name;
        item.bReparsePoint = false;
        item.nError = 0;
        item.nLinks = 1;
        item.nDevice = 0;
        item.nFileId = 0;
        item.nDiskBytes = -1;
        item.folderKey = FolderKey{};
        if (ent->d_type == DT_DIR && m_pImpl->details == EntryDetails::FileSizesOnly) {
            // The type from the folder itself is enough; no stat needed.
            item.bFolder = true;
            item.nSize = 0;
            item.tModified = 0;
            return true;
        }
        struct stat st;
        if (fstatat(dirfd(dir), ent->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            item.bFolder = S_ISDIR(st.st_mode);
            item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(st.st_size);
            item.tModified = static_cast<int64_t>(st.st_mtim.tv_sec);
            item.nDiskBytes = item.bFolder ? -1 : static_cast<int64_t>(st.st_blocks) * 512;
            if (!item.bFolder && st.st_nlink > 1) {
                item.nLinks = static_cast<uint32_t>(st.st_nlink);
                item.nDevice = static_cast<uint64_t>(st.st_dev);
                item.nFileId = static_cast<uint64_t>(st.st_ino);
            }
        } else if (errno == ENOENT) {
            continue; // removed since readdir saw it
        } else {
            // Listed but not searchable (a folder with read but no execute
            // permission): deliver what readdir knows rather than drop the entry.
            item.nError = errno;
            item.bFolder = ent->d_type == DT_DIR;
            item.nSize = 0;
            item.tModified = 0;
        }
        return true;
    }
}
