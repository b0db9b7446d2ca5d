#pragma once
// The model's comparison with a saved scan: the older scan, the folder it is compared
// with (the root: the folder shown when the comparison began), and what changed in the
// folder shown now, which is the root or a folder beneath it, matched by its path below
// the root. Portable; the document owns it and tells the views.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "folder_entry.h"
#include "folder_snapshot.h"
#include "tree_comparison.h"

struct SavedScan; // saved_scan_reader.h

class ComparedScan {
public:
    // Compares `older` (its root) with the folder at `root` from now on.
    void Begin(std::shared_ptr<const SavedScan> older, const std::string& root,
               const std::string& file);
    void End();
    bool IsActive() const { return m_pOlder != nullptr; }

    // `folder` is the root or lies beneath it (case aside, as Windows paths go).
    bool Covers(const std::string& folder) const;
    // The folder at `folder` is listed as `folders` and `files`: its changes are worked out.
    void ShowFolder(const std::string& folder, const std::vector<FolderEntry>& folders,
                    const std::vector<FolderEntry>& files);
    // Nothing is shown (or the folder could not be listed).
    void ClearShown();

    const SavedScan& Older() const { return *m_pOlder; }
    // The older scan's snapshot, kept for whoever holds it (a worker reading it) even once
    // the comparison ends; null when there is none.
    std::shared_ptr<const FolderSnapshot> OlderSnapshot() const;
    const std::string& Root() const { return m_root; }
    const std::string& File() const { return m_file; }
    // The older scan's folder matching the folder shown; kNone when it is new.
    FolderSnapshot::Index OlderShown() const { return m_olderShown; }
    // The folder shown: each entry's bytes then, and the entries gone.
    const LevelChanges& Shown() const { return m_shown; }

private:
    std::shared_ptr<const SavedScan> m_pOlder;
    std::string m_root;
    std::string m_file;
    FolderSnapshot::Index m_olderShown = FolderSnapshot::kNone;
    LevelChanges m_shown;
};

// The part of `path` below `root` ("" for the root itself), when `path` is the root or lies
// beneath it; ASCII letters match in either case, '\' and '/' alike.
bool PathBelow(const std::string& root, const std::string& path, std::string& relative);
