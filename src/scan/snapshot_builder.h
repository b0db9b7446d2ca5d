#pragma once
// A tree recorded from a description of it rather than from a walk (a saved scan read back),
// depth first: a folder is opened, each of its subfolders is opened and closed within it in
// turn, and the folder is closed with its files. A closed folder is read, holds its files, and
// is final once everything beneath it is closed, so totals come out as a walk's would.

#include <cstdint>
#include <string>
#include <vector>

#include "folder_snapshot.h"

class SnapshotBuilder {
public:
    using Index = FolderSnapshot::Index;

    explicit SnapshotBuilder(FolderSnapshot& snapshot) : m_snapshot(snapshot) {}

    // Opens a folder. The first is the tree's root, named by its path (placeholders above it
    // are added), and should be new to the snapshot; every later one is a subfolder of the
    // folder open innermost, after the ones opened in it before. Returns kNone, opening
    // nothing, when the snapshot's memory cap leaves no room for it.
    Index Open(const char* name);
    // Closes the folder open innermost: it holds `level`'s files (its subfolders were opened
    // in it: the level names none) and `level`'s own size and time. False, closing nothing, past
    // the memory cap.
    bool Close(const SnapshotLevel& level);
    // Closes the folder open innermost, with nothing opened in it, as one that could not be
    // read, or as one on another file system that was not entered: it counts as a folder
    // holding nothing. `own` tells what is known of the folder itself.
    void CloseUnreadable(const SnapshotLevel& own);
    void CloseExcluded(const SnapshotLevel& own);
    // Closes it as a link to a folder (a junction, a mount): counted, never entered.
    void CloseLink(const SnapshotLevel& own);

    // Folders open, the root included.
    size_t Depth() const { return m_open.size(); }

private:
    struct OpenFolder {
        Index folder;
        Index lastChild;
    };
    void CloseHoldingNothing(uint32_t flag, const SnapshotLevel& own);

    FolderSnapshot& m_snapshot;
    std::vector<OpenFolder> m_open;
};
