#include "open_file_identity.h"

#include <sys/stat.h>

bool IdentityOfOpenFile(std::FILE* file, OpenFileIdentity& identity) {
    struct stat st;
    if (fstat(fileno(file), &st) != 0)
        return false;
    identity.device = static_cast<uint64_t>(st.st_dev);
    identity.fileId = static_cast<uint64_t>(st.st_ino);
    identity.links = static_cast<uint32_t>(st.st_nlink);
    return true;
}
