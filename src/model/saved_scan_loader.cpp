#include "saved_scan_loader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <sys/stat.h>

#include "saved_scan_reader.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The file's size, where the system tells it; 0 otherwise.
uint64_t SizeOf(std::FILE* file) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return 0;
    const int64_t size = _ftelli64(file);
    _fseeki64(file, 0, SEEK_SET);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    const int64_t size = ftello(file);
    fseeko(file, 0, SEEK_SET);
#endif
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

} // namespace

void SavedScanLoader::Start(const std::string& path, WakeFn wake) {
    Stop();
    m_path = path;
    auto pProgress = std::make_shared<Progress>();
    auto pResult = std::make_shared<Result>();
    m_pProgress = pProgress;
    m_pResult = pResult;
    m_thread = std::thread([path, pProgress, pResult, wake = std::move(wake)] {
        Read(path, *pProgress, *pResult);
        wake();
    });
}

void SavedScanLoader::Stop() {
    if (m_pProgress)
        m_pProgress->bStop = true;
    if (m_thread.joinable())
        m_thread.join();
}

SavedScanLoader::Result SavedScanLoader::Take() {
    if (m_thread.joinable())
        m_thread.join();
    Result result;
    if (m_pResult)
        result = std::move(*m_pResult);
    if (m_pProgress && m_pProgress->bStop)
        result = Result{nullptr, std::string(), true};
    m_pResult.reset();
    return result;
}

void SavedScanLoader::Read(const std::string& path, Progress& progress, Result& result) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.error = std::strerror(errno);
        return;
    }
    progress.nSize = SizeOf(file.get());
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        result.nFileTime = static_cast<int64_t>(status.st_mtime);
    auto scan = std::make_unique<SavedScan>();
    SavedScanError error;
    const ReadBytes read = [&file, &progress](char* buffer, size_t size) -> int64_t {
        if (progress.bStop)
            return -1;
        const size_t got = std::fread(buffer, 1, size, file.get());
        if (got == 0 && std::ferror(file.get()))
            return -1;
        progress.nRead += got;
        return static_cast<int64_t>(got);
    };
    if (!ReadSavedScan(read, *scan, error)) {
        result.error = error.Text();
        return;
    }
    result.scan = std::move(scan);
}
