#pragma once
// The treemap's pixels: each tile a cushion, lit from the upper left, so that the nesting
// reads without borders. Every level of nesting adds a parabolic ridge across its tile in
// each direction, lower by a constant factor than the level above; a pixel's brightness is
// an ambient part plus the light falling on the summed surface there (Lambert).
//
// Colours go by file type, each type's own for as long as the program runs (the program's
// TypeColourTable); a folder too small to be divided and the files the snapshot did not keep
// share one neutral colour; a placeholder (a folder the scan has not totalled yet) is plain
// grey without shading. One level of entries (the drives) takes the colours in the order the
// types would, one per drive by its place in the list.
//
// Folders read as blocks: a dark line frames each subfolder of the shown folder (each
// drive), and a fainter one, darkening what lies beneath it, each folder a level further
// down. Tiles too small for a frame to leave anything inside get none.

#include <atomic>
#include <cstdint>
#include <vector>

#include "treemap_layout.h"
#include "type_colours.h"

struct TreemapStyle {
    float height = 0.42f;  // the first level's ridge height
    float falloff = 0.72f; // each level's ridge height over the level above's
    float ambient = 0.3f;  // brightness where no light falls
    float diffuse = 0.85f; // brightness added by light falling straight on
};

// Pixels as 0xAARRGGBB (in memory B, G, R, A), alpha opaque.
constexpr uint32_t kTreemapPlaceholder = 0xFFC0C0C0u;
constexpr uint32_t kTreemapBackground = 0xFFF0F0F0u; // where no tile lies
constexpr uint32_t kTreemapNeutral = 0xFFA8A8A0u;    // other types, before shading
constexpr uint32_t kTreemapFrame = 0xFF282828u;      // around each of the shown folder's subfolders
constexpr float kTreemapFaintFrame = 0.6f;           // a level further down: the pixels darkened so

// The colours of `count` drives, by their place in the list.
std::vector<uint32_t> TreemapDriveColours(size_t count);

// The colour (before shading) of each extension id of `layout`, from `table`: types met for
// the first time get theirs largest first; a type of no bytes here gets none (neutral).
std::vector<uint32_t> ExtensionColours(const TreemapLayout& layout,
                                       TypeColourTable& table = TypeColourTable::Program());

// Draws `layout` into `pixels`, width × height of it, rows top down, in `table`'s colours (or
// each tile in its own of `tileColours`, when given). Once `stop` is raised it returns at
// once, the picture unfinished.
void RenderTreemap(const TreemapLayout& layout, std::vector<uint32_t>& pixels,
                   const TreemapStyle& style = TreemapStyle(),
                   const std::atomic<bool>* stop = nullptr,
                   TypeColourTable& table = TypeColourTable::Program(),
                   const std::vector<uint32_t>* tileColours = nullptr);
