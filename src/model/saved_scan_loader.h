#pragma once
// Reading a saved scan file on a thread of its own, so the window answers meanwhile: how far
// it has got, stopping it, and what it read (or why it could not). The reader's thread wakes
// the caller once, when it has ended, through the WakeFn it was given; the caller takes the
// result on its own thread. Portable: the waking is the caller's.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

struct SavedScan; // saved_scan_reader.h

class SavedScanLoader {
public:
    // Wakes the caller's thread; runs on the reader's thread and must not wait for it.
    using WakeFn = std::function<void()>;

    struct Result {
        std::unique_ptr<SavedScan> scan; // null when the file could not be read
        std::string error;               // why not: "line 3, byte 10: ..." or the system's
        bool bStopped = false;           // Stop came first: nothing to report
        int64_t nFileTime = 0;           // the file's last-write time, seconds since 1970
    };

    SavedScanLoader() = default;
    SavedScanLoader(const SavedScanLoader&) = delete;
    SavedScanLoader& operator=(const SavedScanLoader&) = delete;
    ~SavedScanLoader() { Stop(); }

    // Starts reading the file at `path` (UTF-8); a read still running is stopped first.
    void Start(const std::string& path, WakeFn wake);
    // Stops the read and waits for its thread, which checks between blocks of the file.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    const std::string& Path() const { return m_path; }
    // How far the read has got: bytes read, and the file's size (0 while not known).
    uint64_t BytesRead() const { return m_pProgress ? m_pProgress->nRead.load() : 0; }
    uint64_t FileBytes() const { return m_pProgress ? m_pProgress->nSize.load() : 0; }
    // Once woken: joins the ended thread and hands over what it read.
    Result Take();

private:
    struct Progress {
        std::atomic<uint64_t> nRead{0};
        std::atomic<uint64_t> nSize{0};
        std::atomic<bool> bStop{false};
    };
    static void Read(const std::string& path, Progress& progress, Result& result);

    std::string m_path;
    std::shared_ptr<Progress> m_pProgress;
    std::shared_ptr<Result> m_pResult;
    std::thread m_thread;
};
