#include "saved_scan_saver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

void SavedScanSaver::Start(const FolderSnapshot& snapshot, FolderSnapshot::Index folder,
                           NcduExportInfo info, const std::string& path, WakeFn wake) {
    Wait();
    auto pResult = std::make_shared<Result>();
    pResult->path = path;
    m_pResult = pResult;
    m_thread =
        std::thread([&snapshot, folder, info = std::move(info), pResult, wake = std::move(wake)] {
            std::FILE* out = std::fopen(pResult->path.c_str(), "wb");
            if (!out) {
                pResult->error = std::strerror(errno);
            } else {
                const bool bWritten = WriteNcduExport(snapshot, folder, info, out);
                const int nError = errno;
                if (std::fclose(out) != 0 || !bWritten) {
                    pResult->error = std::strerror(bWritten ? errno : nError);
                    // Half a scan is no scan: nothing is left that could be read as one.
                    std::remove(pResult->path.c_str());
                }
            }
            wake();
        });
}

void SavedScanSaver::Wait() {
    if (m_thread.joinable())
        m_thread.join();
}

SavedScanSaver::Result SavedScanSaver::Take() {
    Wait();
    Result result;
    if (m_pResult)
        result = std::move(*m_pResult);
    m_pResult.reset();
    return result;
}
