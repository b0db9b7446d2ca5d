#pragma once
// The walk's side of a snapshot: where its roots go, and what each folder it reads holds.
// No lock of its own: the walk calls it under the walk's lock, once per folder read, and a
// walking thread then completes its folder without the lock (CompleteRead).

#include <string>
#include <vector>

#include "folder_snapshot.h"

class SnapshotWriter {
public:
    using Index = FolderSnapshot::Index;

    explicit SnapshotWriter(FolderSnapshot& snapshot) : m_snapshot(snapshot) {}

    // The node of each root, placeholders above it added where missing. A root the snapshot
    // already knows is emptied, to be read again. A root given twice is recorded once, and a
    // root inside another as part of that one (kNone for the second and the inner one). A
    // root new to a snapshot past its cap is not recorded (kNone).
    std::vector<Index> PlaceRoots(const std::vector<std::string>& roots);

    // What a folder recorded under the lock still needs: its files and names.
    using Fill = FolderSnapshot::LevelFill;

    // `folder` was read and holds `level`: returns the index of its first subfolder; the
    // others follow it, one index each, in the level's order. The folder's totals are in;
    // its files and names wait in `fill`. Past the snapshot's cap nothing is recorded and
    // kNone is returned: the subfolders are not recorded either.
    Index RecordRead(Index folder, const SnapshotLevel& level, Fill& fill);
    // Writes them, without the walk's lock, from the same `level`, before the walk returns.
    // Another thread may meanwhile record other folders: nothing either writes is shared.
    void CompleteRead(const SnapshotLevel& level, Fill& fill);

    // `folder` lies on another file system, which the walk does not enter: it counts as a
    // folder holding nothing.
    void RecordExcluded(Index folder);
    // The folder was entered before under another name: counted, holding nothing here.
    void RecordRepeated(Index folder);

    // `folder` could not be enumerated: it counts as a folder holding nothing. `own` tells
    // what is known of the folder itself (the system may tell its size and time though the
    // folder cannot be read).
    void RecordUnreadable(Index folder, const SnapshotLevel& own);

private:
    FolderSnapshot& m_snapshot;
};
