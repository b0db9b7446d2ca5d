// Directory enumeration on POSIX systems: readdir for the names, fstatat (without
// following symbolic links) for the details, so a link is a file of its own size.
#include "dir_enum.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

struct DirEnumerator::Impl {
    DIR* pDir = nullptr;
};

DirEnumerator::DirEnumerator(const std::string& folderPath) : m_pImpl(new Impl) {
    if (!folderPath.empty())
        m_pImpl->pDir = opendir(folderPath.c_str());
}

DirEnumerator::~DirEnumerator() {
    if (m_pImpl->pDir)
        closedir(m_pImpl->pDir);
}

bool DirEnumerator::IsOpen() const {
    return m_pImpl->pDir != nullptr;
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
        struct stat st;
        if (fstatat(dirfd(dir), ent->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            item.bFolder = S_ISDIR(st.st_mode);
            item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(st.st_size);
            item.tModified = static_cast<int64_t>(st.st_mtim.tv_sec);
        } else if (errno == ENOENT) {
            continue; // removed since readdir saw it
        } else {
            // Listed but not searchable (a folder with read but no execute
            // permission): deliver what readdir knows rather than drop the entry.
            item.bFolder = ent->d_type == DT_DIR;
            item.nSize = 0;
            item.tModified = 0;
        }
        item.bReparsePoint = false;
        return true;
    }
}
