#pragma once
// Where a watcher hears of changes on disk: the system's notifications for a folder tree
// (WatchFolderTree), or in tests whatever the test feeds it.

#include <memory>
#include <string>
#include <vector>

struct RawChange {
    enum class Kind {
        Added,
        Removed,
        Modified,
        RenamedFrom, // followed by RenamedTo: one rename
        RenamedTo,
        Overflow, // more changed than could be told: what changed is not known
        Failed,   // the watch has ended (a share gone, a drive removed): nothing more comes
    };
    Kind kind;
    std::string path; // full; empty for Overflow and Failed
};

class ChangeSource {
public:
    virtual ~ChangeSource() = default;
    // Waits at most `timeoutMs` for changes and appends what came, in the order it happened.
    virtual void Wait(std::vector<RawChange>& changes, unsigned timeoutMs) = 0;
};

#ifdef _WIN32
// The system's notifications for everything beneath `root`; null when the folder cannot be
// watched at all.
std::unique_ptr<ChangeSource> WatchFolderTree(const std::string& root);
#endif
