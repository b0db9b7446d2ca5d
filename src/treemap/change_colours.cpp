#include "change_colours.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

#include "treemap_render.h"

namespace {

using Index = FolderSnapshot::Index;
constexpr Index kNone = FolderSnapshot::kNone;

uint32_t Mix(uint32_t from, uint32_t to, float share) {
    uint32_t colour = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const float a = static_cast<float>((from >> shift) & 0xFF);
        const float b = static_cast<float>((to >> shift) & 0xFF);
        colour |= static_cast<uint32_t>(std::lround(a + (b - a) * share)) << shift;
    }
    return colour;
}

// The older scan's entries of one folder by name, made once per folder asked about.
class OlderFolders {
public:
    explicit OlderFolders(const FolderSnapshot& older) : m_older(older) {}

    Index Subfolder(Index folder, const char* name) {
        if (folder == kNone)
            return kNone;
        auto& names = m_subfolders[folder];
        if (names.empty())
            for (Index sub = m_older.FirstSubfolder(folder); sub != kNone;
                 sub = m_older.NextSubfolder(sub))
                names.emplace(m_older.Name(sub), sub);
        const auto it = names.find(name);
        return it == names.end() ? kNone : it->second;
    }
    // Bytes then of file `name` of `folder`; -1 when it had none.
    int64_t FileBytes(Index folder, const char* name) {
        if (folder == kNone || !m_older.FilesHeld(folder))
            return -1;
        auto& files = m_files[folder];
        if (files.empty())
            for (uint32_t i = 0; i < m_older.OwnFileCount(folder); ++i)
                files.emplace(m_older.FileName(folder, i), m_older.FileSize(folder, i));
        const auto it = files.find(name);
        return it == files.end() ? -1 : it->second;
    }
    int64_t Total(Index folder) const {
        FolderTotals totals;
        return folder != kNone && m_older.GetTotals(folder, totals) ? totals.nSize : 0;
    }
    int64_t OwnFileBytes(Index folder) const {
        return folder != kNone && m_older.IsRead(folder) ? m_older.OwnFileBytes(folder) : 0;
    }

private:
    const FolderSnapshot& m_older;
    std::unordered_map<Index, std::unordered_map<std::string_view, Index>> m_subfolders;
    std::unordered_map<Index, std::unordered_map<std::string_view, int64_t>> m_files;
};

} // namespace

uint32_t ChangeColour(int64_t change, int64_t scale) {
    if (change == 0 || scale <= 0)
        return kTreemapNeutral;
    // The square root keeps small changes visible beside a large one.
    const double share = std::sqrt(
        std::min(1.0, static_cast<double>(std::llabs(change)) / static_cast<double>(scale)));
    return Mix(kTreemapNeutral, change > 0 ? kTreemapGrowth : kTreemapShrinkage,
               static_cast<float>(0.25 + 0.75 * share));
}

std::vector<uint32_t> ChangeTileColours(const TreemapLayout& layout, const FolderSnapshot& newer,
                                        const FolderSnapshot& older,
                                        FolderSnapshot::Index olderShown) {
    const size_t n = layout.tiles.size();
    std::vector<Index> matched(n, kNone); // a folder tile's older folder
    std::vector<int64_t> changes(n, 0);
    OlderFolders olders(older);
    int64_t scale = 0;
    for (size_t i = 0; i < n; ++i) {
        const Tile& t = layout.tiles[i];
        const Index parent = t.parent == Tile::kNone ? kNone : matched[t.parent];
        const Index parentFolder = t.parent == Tile::kNone ? kNone : layout.tiles[t.parent].ref;
        switch (t.kind) {
        case TileKind::Folder:
        case TileKind::Placeholder:
            matched[i] =
                t.parent == Tile::kNone ? olderShown : olders.Subfolder(parent, newer.Name(t.ref));
            changes[i] = t.bytes - olders.Total(matched[i]);
            break;
        case TileKind::File: {
            const int64_t then = olders.FileBytes(parent, newer.FileName(parentFolder, t.ref));
            changes[i] = t.bytes - std::max<int64_t>(then, 0);
            break;
        }
        case TileKind::FilesNotHeld:
            changes[i] = t.bytes - olders.OwnFileBytes(parent);
            break;
        }
        if (t.childCount == 0 && t.kind != TileKind::Placeholder)
            scale = std::max<int64_t>(scale, std::llabs(changes[i]));
    }
    std::vector<uint32_t> colours(n, kTreemapNeutral);
    for (size_t i = 0; i < n; ++i)
        colours[i] = layout.tiles[i].kind == TileKind::Placeholder
                         ? kTreemapPlaceholder
                         : ChangeColour(changes[i], scale);
    return colours;
}
