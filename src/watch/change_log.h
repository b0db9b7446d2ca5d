#pragma once
// The last changes seen on disk, for the Changes pane: at most Capacity() of them, the
// oldest going first.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

enum class ChangeKind { Added, Removed, Changed, Renamed, Rescanned, WatchFailed };

// The word the pane shows for a kind.
const char* ChangeKindText(ChangeKind kind);

struct LoggedChange {
    int64_t time = 0; // seconds since 1970-01-01 00:00 UTC
    std::string path; // for a rename, the new path
    ChangeKind kind = ChangeKind::Changed;
    int64_t bytes = 0; // what it added to the folders above (negative: took away)
};

class ChangeLog {
public:
    explicit ChangeLog(size_t capacity = 10000) : m_nCapacity(capacity) {}

    void Add(LoggedChange change);
    size_t Size() const { return m_changes.size(); }
    size_t Capacity() const { return m_nCapacity; }
    // Oldest first.
    const LoggedChange& At(size_t i) const { return m_changes[i]; }
    // Counts every change ever added: a reader learns whether anything came since it looked.
    uint64_t Added() const { return m_nAdded; }
    // Changes are numbered from 0 as they are added: the number of At(i), and the change of
    // a number (null once it has left the log).
    uint64_t NumberAt(size_t i) const { return m_nAdded - m_changes.size() + i; }
    const LoggedChange* Numbered(uint64_t number) const {
        const uint64_t first = m_nAdded - m_changes.size();
        return number >= first && number < m_nAdded ? &m_changes[number - first] : nullptr;
    }
    void Clear() { m_changes.clear(); }

    // The paths that grew in the `seconds` up to `now`, with what each grew by in that time
    // (its changes summed) and when it last changed, most first; ties by path.
    struct Growth {
        std::string path;
        int64_t bytes;
        int64_t lastTime;
        uint64_t lastNumber; // of its last change
    };
    std::vector<Growth> GrewMost(int64_t now, int64_t seconds) const;

private:
    size_t m_nCapacity;
    std::deque<LoggedChange> m_changes;
    uint64_t m_nAdded = 0;
};
