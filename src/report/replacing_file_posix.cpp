// A file put in place by rename(2), which replaces the old one in one step.
#include "replacing_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace replacing_file {

Target Examine(const std::string& fileName) {
    Target target;
    target.path = fileName;
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0)
        return target; // missing (or not reachable: creating the new file will say why)
    target.bExists = true;
    target.bReplaceable = S_ISREG(st.st_mode);
    target.mode = static_cast<unsigned>(st.st_mode & 07777);
    target.owner = static_cast<unsigned>(st.st_uid);
    target.group = static_cast<unsigned>(st.st_gid);
    // A symbolic link stays: the file it names is the one replaced.
    if (target.bReplaceable && lstat(fileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* resolved = realpath(fileName.c_str(), nullptr)) {
            target.path = resolved;
            std::free(resolved);
        }
    }
    return target;
}

std::FILE* CreateBeside(const std::string& path, std::string& tempName) {
    // Hidden, and named after the file it becomes; O_EXCL never takes over another's file.
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        tempName = folder + "." + name + "." + std::to_string(getpid()) + "-" +
                   std::to_string(attempt) + ".part";
        if (tempName.size() - folder.size() > NAME_MAX) // a name near the longest allowed
            tempName = folder + ".dscp-" + std::to_string(getpid()) + "-" +
                       std::to_string(attempt) + ".part";
        const int fd = open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd == -1 && errno == EEXIST)
            continue;
        if (fd == -1)
            break;
        if (std::FILE* file = fdopen(fd, "wb"))
            return file;
        const int nError = errno;
        close(fd);
        unlink(tempName.c_str());
        errno = nError;
        break;
    }
    tempName.clear();
    return nullptr;
}

bool KeepAttributes(std::FILE* file, const Target& target) {
    // The owner is kept where the process may give a file away (as root); otherwise the new
    // file is the writer's own.
    const int fd = fileno(file);
    if (fchown(fd, static_cast<uid_t>(target.owner), static_cast<gid_t>(target.group)) != 0)
        errno = 0;
    return fchmod(fd, static_cast<mode_t>(target.mode)) == 0;
}

bool MoveOver(const std::string& tempName, const std::string& path) {
    return std::rename(tempName.c_str(), path.c_str()) == 0;
}

} // namespace replacing_file
