#pragma once
// The treemap coloured by change, while the shown folder is compared with an older scan:
// growth in one hue, shrinkage in another, what did not change in the neutral colour, each
// tile the stronger the larger its share of the largest change in the picture. New entries
// grew by all they hold; gone ones have no tile.

#include <cstdint>
#include <vector>

#include "folder_snapshot.h"
#include "treemap_layout.h"

constexpr uint32_t kTreemapGrowth = 0xFFD8452Cu;    // before shading
constexpr uint32_t kTreemapShrinkage = 0xFF2C78D8u; // before shading

// The colour of a change of `change` bytes when the largest change drawn is `scale` bytes
// (either way): neutral at 0, the full hue at the scale.
uint32_t ChangeColour(int64_t change, int64_t scale);

// Each tile's colour by its change (kTreemapPlaceholder for placeholders): `layout` is of
// `newer`, its shown folder matched by `olderShown` in `older` (kNone: all is new).
std::vector<uint32_t> ChangeTileColours(const TreemapLayout& layout, const FolderSnapshot& newer,
                                        const FolderSnapshot& older,
                                        FolderSnapshot::Index olderShown);
