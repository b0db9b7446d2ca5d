#include <windows.h>

#include "entry_info.h"

bool ReadEntryInfo(const std::string& path, DirItem& item) {
    // Paths are in the program's code page (UTF-8 through the manifest).
    const HANDLE file = ::CreateFileA(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    const bool bRead =
        ::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof(basic)) &&
        ::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof(standard));
    ::CloseHandle(file);
    if (!bRead)
        return false;
    item.bFolder = (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.bReparsePoint = item.bFolder && (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(standard.EndOfFile.QuadPart);
    // 100 ns ticks since 1601 to seconds since 1970, rounded down as the enumeration does.
    const int64_t ticks = basic.LastWriteTime.QuadPart;
    item.tModified = (ticks / 10000000 - (ticks % 10000000 < 0 ? 1 : 0)) - 11644473600LL;
    item.nDiskBytes = item.bFolder ? -1 : static_cast<int64_t>(standard.AllocationSize.QuadPart);
    item.nError = 0;
    return true;
}
