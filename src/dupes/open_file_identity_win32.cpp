#include "open_file_identity.h"

#include <io.h>
#include <windows.h>

bool IdentityOfOpenFile(std::FILE* file, OpenFileIdentity& identity) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    // The number of names first: asking the volume's serial number as well costs far more
    // (under Wine a look at the drive's device each time), and only a file of several
    // names needs it.
    FILE_STANDARD_INFO standard;
    if (handle == INVALID_HANDLE_VALUE ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard)))
        return false;
    identity.links = standard.NumberOfLinks;
    if (identity.links <= 1)
        return true;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    identity.device = info.dwVolumeSerialNumber;
    identity.fileId = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return true;
}
