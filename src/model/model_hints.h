#pragma once
// What the document tells its views when its model changes: the hint UpdateAllViews
// carries (ModelHint, as the LPARAM), with the rows a Totals or Finished hint concerns as
// its object. And the model's selection: one entry, named by its full path.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "object.h"

enum class ModelHint : LPARAM {
    Cleared = 1,      // what was shown went: another folder (or the same afresh) comes
    Shown,            // the shown folder is listed (or the drives): views fill themselves
    Totals,           // subfolders got their totals from the running scan, or the
                      // snapshot took changes seen on disk
    Finished,         // the scan has ended: every total is known
    Selection,        // the selected entry changed
    TypeSelection,    // the selected file type changed
    SnapshotChanging, // the snapshot is about to change: whoever reads it elsewhere stops
    ScanOpened,       // a saved scan was opened: the tree pane shows its folders, its root next
    Comparison,       // a comparison with a saved scan began or ended
    ComparisonRead,   // the saved scan to compare with is being read: its progress
    Removed,          // entries were deleted or moved away through the program (CRemovedHint)
    Measure,          // the sizes shown changed between the files' lengths and bytes on disk
    LevelEdited,      // entries of the shown folder came, went or were renamed on disk: its
                      // lists were edited in place (CLevelHint); Totals follows
};

inline LPARAM HintParam(ModelHint hint) {
    return static_cast<LPARAM>(hint);
}

// With Removed: the full paths of what went (a folder: everything beneath it too).
class CRemovedHint : public CObject {
public:
    std::vector<std::string> paths;
};

// With Totals and Finished: the subfolders (their indexes in Subfolders()) that got their
// totals with this batch, and the files (their indexes in Files()) written since they were
// listed.
class CTotalsHint : public CObject {
public:
    std::vector<size_t> rows;
    std::vector<size_t> files;
};

// With LevelEdited: where each entry of the shown folder went. Entries are numbered as rows
// are, subfolders first (by their index in Subfolders()), then files (the subfolders' count
// plus their index in Files()).
class CLevelHint : public CObject {
public:
    std::vector<size_t> newNumbers; // by the number before; SIZE_MAX for an entry gone
    std::vector<size_t> added;      // the numbers of the entries that came
};

// An entry of the model: a drive ("C:"), a folder or a file by its full path. A drive
// counts as a folder. An empty path is no entry.
struct ModelEntry {
    std::string path;
    bool bFolder = false;

    bool IsNone() const { return path.empty(); }
    bool operator==(const ModelEntry& other) const {
        return path == other.path && bFolder == other.bFolder;
    }
    bool operator!=(const ModelEntry& other) const { return !(*this == other); }
};

// A file type of the model, by its extension key (lower case, "" for names without one).
// Lit: the treemap lights its tiles and dims the rest (chosen from the list of types, not
// merely the type of an entry chosen elsewhere).
struct ModelType {
    bool bAny = false; // false: no type selected
    std::string key;
    bool bLit = false;

    bool operator==(const ModelType& other) const {
        return bAny == other.bAny && key == other.key && bLit == other.bLit;
    }
};
