// A file put in place by ReplaceFile, which keeps the old file's attributes and security, or
// by MoveFileEx where there was none.
#include "replacing_file.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

} // namespace

namespace replacing_file {

Target Examine(const std::string& fileName) {
    Target target;
    target.path = fileName;
    // Only a file on a disk is replaced; NUL, CON or a pipe is written directly, and so is a
    // folder, whose opening says why it cannot be.
    const DWORD attributes = GetFileAttributesA(fileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        target.bExists = true;
        target.bReplaceable = false;
        return target;
    }
    const HANDLE hFile =
        CreateFileA(fileName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return target;
    target.bExists = true;
    target.bReplaceable = GetFileType(hFile) == FILE_TYPE_DISK;
    CloseHandle(hFile);
    return target;
}

std::FILE* CreateBeside(const std::string& path, std::string& tempName) {
    const size_t slash = path.find_last_of("\\/:");
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        tempName = folder + name + "." + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(attempt) + ".part";
        const int fd = _open(tempName.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                             _S_IREAD | _S_IWRITE);
        if (fd == -1 && errno == EEXIST)
            continue;
        if (fd == -1)
            break;
        if (std::FILE* file = _fdopen(fd, "wb"))
            return file;
        const int nError = errno;
        _close(fd);
        _unlink(tempName.c_str());
        errno = nError;
        break;
    }
    tempName.clear();
    return nullptr;
}

bool KeepAttributes(std::FILE*, const Target&) {
    return true; // ReplaceFile carries the attributes over
}

bool MoveOver(const std::string& tempName, const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileA(path.c_str(), tempName.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return true;
    if (MoveFileExA(tempName.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = ErrnoOf(GetLastError());
    return false;
}

} // namespace replacing_file
