#include "treemap_scene.h"

#include <algorithm>

#include "dirscope_doc.h"
#include "path_text.h"
#include "saved_scan_reader.h"

bool CTreemapScene::MakeRequest(const CDirscopeDoc& doc, int width, int height, unsigned generation,
                                TreemapRequest& request) {
    m_requested = Source();
    m_requested.generation = generation;
    request = TreemapRequest();
    request.width = width;
    request.height = height;
    request.generation = generation;
    request.measure = doc.Measure();
    if (doc.IsListing())
        return false;
    if (doc.IsDriveOverview()) {
        m_requested.bDrives = true;
        for (const CDriveOverview::Drive& drive : doc.Drives()) {
            m_requested.driveNames.push_back(drive.name);
            request.flat.push_back(drive.bHaveSpace ? drive.nTotal - drive.nFree : 0);
        }
        return true;
    }
    const std::string& folder = doc.ListedFolderPath();
    // Nothing listed (an empty folder, or one that could not be read): nothing to draw.
    if (folder.empty() || doc.FolderCount() + doc.FileCount() == 0)
        return false;
    // Compared with an older scan: the tiles take the colours of their change.
    if (doc.IsComparing()) {
        const ComparedScan& compared = doc.Comparison();
        request.older = compared.OlderSnapshot();
        request.olderShown = compared.OlderShown();
    }
    const FolderScanController& scan = doc.ScanController();
    const FolderSnapshot& held = doc.Snapshot();
    const FolderSnapshot::Index index = held.Find(folder);
    if (index != FolderSnapshot::kNone && held.IsHeld(index)) {
        m_requested.snapshot = &held;
        m_requested.bLent = true;
        request.snapshot = &held;
        request.shown = index;
        return true;
    }
    // Still being scanned: the folder's own level, with what the scan has totalled.
    if (!m_level) {
        m_level = std::make_shared<FolderSnapshot>();
        m_level->RecordLevel(folder, scan.Level());
    }
    request.shown = m_level->Find(folder);
    if (request.shown == FolderSnapshot::kNone)
        return false;
    for (const FolderEntry& entry : scan.Subfolders()) {
        const int64_t bytes = MeasuredSize(entry, request.measure);
        if (bytes < 0)
            continue;
        const FolderSnapshot::Index sub =
            m_level->FindSubfolder(request.shown, entry.strName.c_str());
        if (sub != FolderSnapshot::kNone)
            request.settled[sub] = bytes;
    }
    request.owned = m_level;
    request.snapshot = m_level.get();
    m_requested.snapshot = m_level.get();
    m_requested.owned = m_level;
    return true;
}

void CTreemapScene::Adopt(const TreemapPicture& picture) {
    if (picture.generation == m_requested.generation)
        m_shown = m_requested;
}

void CTreemapScene::SnapshotChanging() {
    if (m_shown.bLent)
        m_shown.snapshot = nullptr;
    if (m_requested.bLent)
        m_requested.snapshot = nullptr;
}

std::string CTreemapScene::PathOf(const TreemapLayout& layout, uint32_t tile) const {
    if (tile >= layout.tiles.size())
        return std::string();
    const Tile& t = layout.tiles[tile];
    if (m_shown.bDrives)
        return tile == 0 || t.ref >= m_shown.driveNames.size() ? std::string()
                                                               : m_shown.driveNames[t.ref];
    const FolderSnapshot* s = m_shown.snapshot;
    if (!s)
        return std::string();
    switch (t.kind) {
    case TileKind::Folder:
    case TileKind::Placeholder:
        return s->PathOf(t.ref);
    case TileKind::FilesNotHeld:
        return s->PathOf(t.ref);
    case TileKind::File: {
        const FolderSnapshot::Index folder = layout.tiles[t.parent].ref;
        return JoinPath(s->PathOf(folder), s->FileName(folder, t.ref));
    }
    }
    return std::string();
}

bool CTreemapScene::EntryOf(const TreemapLayout& layout, uint32_t tile, std::string& name,
                            bool& bFolder) const {
    if (tile == 0 || tile >= layout.tiles.size() || !CanName())
        return false;
    const Tile& t = layout.tiles[tile];
    if (m_shown.bDrives) {
        if (t.ref >= m_shown.driveNames.size())
            return false;
        name = m_shown.driveNames[t.ref];
        bFolder = false;
        return true;
    }
    const FolderSnapshot& s = *m_shown.snapshot;
    switch (t.kind) {
    case TileKind::Folder:
    case TileKind::Placeholder:
        name = s.Name(t.ref);
        bFolder = true;
        return true;
    case TileKind::File:
        name = s.FileName(layout.tiles[0].ref, t.ref);
        bFolder = false;
        return true;
    case TileKind::FilesNotHeld:
        return false;
    }
    return false;
}

uint32_t CTreemapScene::TileOfPath(const TreemapLayout& layout, const std::string& shown,
                                   const std::string& path, bool bFolder) const {
    const std::string prefix = JoinPath(shown, "");
    if (layout.tiles.empty() || !m_shown.snapshot || m_shown.bDrives ||
        path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return Tile::kNone;
    const FolderSnapshot& s = *m_shown.snapshot;
    // Down from the shown folder, one name at a time; the last name is the entry's own.
    uint32_t tile = 0;
    size_t start = prefix.size();
    while (start < path.size()) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string name = path.substr(start, end - start);
        const bool bLast = end == path.size();
        const Tile& t = layout.tiles[tile];
        uint32_t found = Tile::kNone;
        for (uint32_t c = t.firstChild; c != Tile::kNone && c < t.firstChild + t.childCount; ++c) {
            const Tile& child = layout.tiles[c];
            const bool bChildFolder =
                child.kind == TileKind::Folder || child.kind == TileKind::Placeholder;
            if (child.kind == TileKind::FilesNotHeld || (bLast && bChildFolder != bFolder) ||
                (!bLast && !bChildFolder))
                continue;
            const std::string childName =
                bChildFolder ? s.Name(child.ref) : s.FileName(t.ref, child.ref);
            if (childName == name) {
                found = c;
                break;
            }
        }
        if (found == Tile::kNone)
            return tile == 0 ? Tile::kNone : tile;
        tile = found;
        start = end + 1;
    }
    return tile;
}

uint32_t CTreemapScene::TileOfEntry(const TreemapLayout& layout, const std::string& name,
                                    bool bFolder) const {
    if (layout.tiles.empty())
        return Tile::kNone;
    const Tile& top = layout.tiles[0];
    for (uint32_t c = top.firstChild; c != Tile::kNone && c < top.firstChild + top.childCount;
         ++c) {
        std::string entry;
        bool bEntryFolder = false;
        if (EntryOf(layout, c, entry, bEntryFolder) && bEntryFolder == bFolder && entry == name)
            return c;
    }
    return Tile::kNone;
}
