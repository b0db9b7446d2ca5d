#include "open_file_identity.h"

#include <io.h>
#include <windows.h>

bool IdentityOfOpenFile(std::FILE* file, OpenFileIdentity& identity) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
        return false;
    identity.device = info.dwVolumeSerialNumber;
    identity.fileId = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    identity.links = info.nNumberOfLinks;
    return true;
}
