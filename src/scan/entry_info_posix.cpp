#include <sys/stat.h>

#include "entry_info.h"

bool ReadEntryInfo(const std::string& path, DirItem& item) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return false;
    // A link is a file of its own size to the walk, whatever it points at.
    item.bFolder = S_ISDIR(st.st_mode);
    item.bReparsePoint = false;
    item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(st.st_size);
    item.tModified = static_cast<int64_t>(st.st_mtim.tv_sec);
    item.nDiskBytes = static_cast<int64_t>(st.st_blocks) * 512;
    item.nError = 0;
    return true;
}
