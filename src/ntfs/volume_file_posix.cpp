#include "volume_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

class PosixVolumeFile : public VolumeBytes {
public:
    explicit PosixVolumeFile(int fd) : m_fd(fd) {}
    ~PosixVolumeFile() override { close(m_fd); }
    PosixVolumeFile(const PosixVolumeFile&) = delete;
    PosixVolumeFile& operator=(const PosixVolumeFile&) = delete;

    bool ReadAt(uint64_t offset, void* buffer, size_t size) override {
        char* at = static_cast<char*>(buffer);
        while (size > 0) {
            const ssize_t n = pread(m_fd, at, size, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            at += n;
            offset += static_cast<uint64_t>(n);
            size -= static_cast<size_t>(n);
        }
        return true;
    }

private:
    int m_fd;
};

} // namespace

std::unique_ptr<VolumeBytes> OpenVolumeFile(const std::string& path, int& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd == -1) {
        error = errno;
        return nullptr;
    }
    error = 0;
    return std::make_unique<PosixVolumeFile>(fd);
}
