#include "change_log.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

const char* ChangeKindText(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Added:
        return "Added";
    case ChangeKind::Removed:
        return "Removed";
    case ChangeKind::Changed:
        return "Changed";
    case ChangeKind::Renamed:
        return "Renamed";
    case ChangeKind::Rescanned:
        return "Rescanned";
    case ChangeKind::WatchFailed:
        return "Watch failed";
    }
    return "";
}

void ChangeLog::Add(LoggedChange change) {
    if (m_nCapacity == 0)
        return;
    if (m_changes.size() == m_nCapacity)
        m_changes.pop_front();
    m_changes.push_back(std::move(change));
    ++m_nAdded;
}

std::vector<ChangeLog::Growth> ChangeLog::GrewMost(int64_t now, int64_t seconds) const {
    std::unordered_map<std::string, Growth> byPath;
    for (size_t i = m_changes.size(); i-- > 0 && m_changes[i].time >= now - seconds;) {
        const LoggedChange& change = m_changes[i];
        if (change.time > now)
            continue;
        // Newest first: the first change met of a path is its last.
        const auto [found, bNew] =
            byPath.try_emplace(change.path, Growth{change.path, 0, change.time, NumberAt(i)});
        found->second.bytes += change.bytes;
    }
    std::vector<Growth> grew;
    for (auto& entry : byPath)
        if (entry.second.bytes > 0)
            grew.push_back(std::move(entry.second));
    std::sort(grew.begin(), grew.end(), [](const Growth& a, const Growth& b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.path < b.path;
    });
    return grew;
}
