#pragma once
// A saved scan read on a thread of its own, so that the window answers while a large one
// comes in. The owner (on the user-interface thread) starts a read; the thread tells it
// through NotifyFn, never waiting for it: now and then while it reads (at most every
// 100 ms, with the bytes read so far), and once when the scan waits to be taken. Stop gives
// the read up within milliseconds; a read given up or replaced is never handed out.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "newest_wins_worker.h"

struct SavedScan; // saved_scan_reader.h

struct LoadedScan {
    std::string file;
    std::shared_ptr<SavedScan> scan; // null when it could not be read
    std::string error;               // why not: "line 3, byte 10: ..."
};

class SavedScanLoader {
public:
    // Runs on the reading thread: `bDone` once the scan waits, else progress.
    using NotifyFn = std::function<void(bool bDone)>;

    explicit SavedScanLoader(NotifyFn notify);

    // Reads `file`, replacing any read in progress.
    void Start(const std::string& file);
    // Gives up the read in progress; returns once nothing of it runs.
    void Stop();
    // The scan read, once; nothing while the read goes on or after Stop.
    std::optional<LoadedScan> Take();
    // A read was started and is neither taken nor stopped.
    bool IsReading() const { return m_bReading; }
    // Of the read in progress: bytes read so far and the file's size (0: not known yet).
    uint64_t BytesRead() const { return m_nRead.load(std::memory_order_relaxed); }
    uint64_t FileBytes() const { return m_nFileBytes.load(std::memory_order_relaxed); }

private:
    LoadedScan Read(const std::string& file, const std::atomic<bool>* stop);

    NotifyFn m_notify;
    bool m_bReading = false;
    std::atomic<uint64_t> m_nRead{0};
    std::atomic<uint64_t> m_nFileBytes{0};
    NewestWinsWorker<std::string, LoadedScan> m_worker; // last: its thread reads the above
};
