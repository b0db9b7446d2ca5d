#pragma once
// Where a background scan leaves its results for the user-interface thread. The scan
// thread adds rows and the end; the first result that finds nothing announced asks
// for a wake-up (a posted message), and the user-interface thread takes everything
// waiting at once. A wake-up that could not be posted (a full message queue) is not
// counted as announced, so the next result asks again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "tree_totals.h"

class ScanInbox {
public:
    // Posts the wake-up; false when it could not be posted.
    using PostWakeFn = std::function<bool()>;

    explicit ScanInbox(PostWakeFn postWake) : m_postWake(std::move(postWake)) {}
    ScanInbox(const ScanInbox&) = delete;
    ScanInbox& operator=(const ScanInbox&) = delete;

    // Scan thread.
    void AddRow(size_t index, const FolderTotals& totals);
    void Finish(int64_t subfolderBytes);

    // What has arrived since the last Take.
    struct Contents {
        std::vector<std::pair<size_t, FolderTotals>> rows;
        bool bFinished = false;
        int64_t nSubfolderBytes = 0;
    };
    // User-interface thread: takes the waiting rows (the end stays recorded once
    // reached); the next result announces itself again.
    Contents Take();

private:
    void WakeLocked();

    PostWakeFn m_postWake;
    std::mutex m_mutex;
    Contents m_waiting;
    bool m_bWakePosted = false;
};
