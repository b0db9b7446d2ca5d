#pragma once
// Writing the scan of a folder to a file on a thread of its own, so the window answers
// meanwhile. The snapshot is read on that thread until the write has ended: whoever is about
// to change it waits first (Wait). The thread wakes the caller once, when it has ended;
// the caller takes the result on its own thread. Portable: the waking is the caller's.

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "saved_scan_writer.h"

class SavedScanSaver {
public:
    // Wakes the caller's thread; runs on the writer's thread and must not wait for it.
    using WakeFn = std::function<void()>;

    struct Result {
        std::string path;
        std::string error; // empty when the file was written whole
    };

    SavedScanSaver() = default;
    SavedScanSaver(const SavedScanSaver&) = delete;
    SavedScanSaver& operator=(const SavedScanSaver&) = delete;
    ~SavedScanSaver() { Wait(); }

    // Writes the tree beneath `folder` of `snapshot` (which must stay as it is until the
    // write has ended) to the file at `path` (UTF-8). A write still running is waited for.
    void Start(const FolderSnapshot& snapshot, FolderSnapshot::Index folder, NcduExportInfo info,
               const std::string& path, WakeFn wake);
    // Waits for the write to end.
    void Wait();
    bool IsRunning() const { return m_thread.joinable(); }
    // Once woken: joins the ended thread and tells how the write went.
    Result Take();

private:
    std::shared_ptr<Result> m_pResult;
    std::thread m_thread;
};
