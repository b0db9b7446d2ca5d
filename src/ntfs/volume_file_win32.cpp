#include "volume_file.h"

#include <cerrno>
#include <windows.h>

namespace {

// A device takes reads of whole sectors at sector offsets only; the reader asks for such.
class Win32VolumeFile : public VolumeBytes {
public:
    explicit Win32VolumeFile(HANDLE file) : m_file(file) {}
    ~Win32VolumeFile() override { CloseHandle(m_file); }
    Win32VolumeFile(const Win32VolumeFile&) = delete;
    Win32VolumeFile& operator=(const Win32VolumeFile&) = delete;

    bool ReadAt(uint64_t offset, void* buffer, size_t size) override {
        char* at = static_cast<char*>(buffer);
        while (size > 0) {
            OVERLAPPED where{};
            where.Offset = static_cast<DWORD>(offset);
            where.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD ask = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
            DWORD got = 0;
            if (!ReadFile(m_file, at, ask, &got, &where) || got == 0)
                return false;
            at += got;
            offset += got;
            size -= got;
        }
        return true;
    }

private:
    HANDLE m_file;
};

} // namespace

std::unique_ptr<VolumeBytes> OpenVolumeFile(const std::string& path, int& error) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = code == ERROR_ACCESS_DENIED                                    ? EACCES
                : code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ENOENT
                                                                               : EIO;
        return nullptr;
    }
    error = 0;
    return std::make_unique<Win32VolumeFile>(file);
}
