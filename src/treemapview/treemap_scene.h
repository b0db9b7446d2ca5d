#pragma once
// CTreemapScene: what the treemap pane draws, taken from the document on the user
// interface thread, and the names of what it drew.
//
// A request reads one of three things. A folder whose snapshot is held (its scan has ended,
// or an earlier one walked it): the document's long-lived snapshot, lent to the worker,
// which the pane stops (at the SnapshotChanging hint) before the document changes it. A folder
// still being scanned: a small snapshot of the folder's own level made here (its files and
// subfolders as listed), with the subfolders the scan has totalled settled at their totals;
// what lies beneath them stays on the scan's thread until it ends. The drive overview: the
// drives by used space.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "treemap_worker.h"

class CDirscopeDoc;

class CTreemapScene {
public:
    // The document shows something else now: the level snapshot is made afresh.
    void NewShow() { m_level.reset(); }
    // What the document shows, as a request of width × height; false when there is
    // nothing to draw (a folder still being listed, or none).
    bool MakeRequest(const CDirscopeDoc& doc, int width, int height, unsigned generation,
                     TreemapRequest& request);
    // The picture for the last request arrived: its tiles are named from what it read.
    void Adopt(const TreemapPicture& picture);
    // The lent snapshot is about to change: the shown picture's tiles cannot be named now.
    void SnapshotChanging();
    // Whether the shown picture's tiles can be named, and whether it is the drive overview.
    bool CanName() const { return m_shown.bDrives || m_shown.snapshot; }
    bool IsDriveOverview() const { return m_shown.bDrives; }

    // The full path of a tile ("C:" for a drive); "" when it cannot be named.
    std::string PathOf(const TreemapLayout& layout, uint32_t tile) const;
    // The shown folder's entry of a tile at depth 1 (a subfolder, bFolder, or a file; a
    // drive counts as a file); false when it has none (its files not held, or unnamed).
    bool EntryOf(const TreemapLayout& layout, uint32_t tile, std::string& name,
                 bool& bFolder) const;
    // The tile at depth 1 of the entry `name`, or Tile::kNone.
    uint32_t TileOfEntry(const TreemapLayout& layout, const std::string& name, bool bFolder) const;
    // The tile of the entry at `path`, beneath the shown folder `shown` at any depth; when
    // the entry is too small to have a tile of its own, the deepest tile holding it.
    // Tile::kNone when the path is not beneath the shown folder or nothing can be named.
    uint32_t TileOfPath(const TreemapLayout& layout, const std::string& shown,
                        const std::string& path, bool bFolder) const;

private:
    struct Source {
        unsigned generation = 0;
        bool bDrives = false;
        std::vector<std::string> driveNames;
        const FolderSnapshot* snapshot = nullptr; // what the tiles' refs point into
        bool bLent = false;                       // the document's own snapshot
        std::shared_ptr<const FolderSnapshot> owned;
    };

    Source m_requested;                      // of the last request
    Source m_shown;                          // of the picture shown
    std::shared_ptr<FolderSnapshot> m_level; // the shown folder's level, while it is scanned
};
