#include "scan_inbox.h"

void ScanInbox::AddRow(size_t index, const FolderTotals& totals) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting.rows.emplace_back(index, totals);
    WakeLocked();
}

void ScanInbox::Finish(int64_t subfolderBytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting.bFinished = true;
    m_waiting.nSubfolderBytes = subfolderBytes;
    WakeLocked();
}

ScanInbox::Contents ScanInbox::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    Contents taken;
    taken.rows.swap(m_waiting.rows);
    taken.bFinished = m_waiting.bFinished;
    taken.nSubfolderBytes = m_waiting.nSubfolderBytes;
    m_bWakePosted = false;
    return taken;
}

void ScanInbox::WakeLocked() {
    // The flag only says a wake-up is on its way: a post that failed leaves it down.
    if (!m_bWakePosted)
        m_bWakePosted = m_postWake();
}
