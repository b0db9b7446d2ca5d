#pragma once
// The treemap's pixels: each tile a cushion, lit from the upper left, so that the nesting
// reads without borders. Every level of nesting adds a parabolic ridge across its tile in
// each direction, lower by a constant factor than the level above; a pixel's brightness is
// an ambient part plus the light falling on the summed surface there (Lambert).
//
// Colours go by file type: the extensions that take the most bytes under the shown folder
// get the palette's distinct hues, largest first; the other files, a folder too small to be
// divided and the files the snapshot did not keep share one neutral colour; a placeholder
// (a folder the scan has not totalled yet) is plain grey without shading. One level of
// entries (the drives) takes the palette's hues by position.
//
// Folders read as blocks: a dark line frames each subfolder of the shown folder (each
// drive), and a fainter one, darkening what lies beneath it, each folder a level further
// down. Tiles too small for a frame to leave anything inside get none.

#include <atomic>
#include <cstdint>
#include <vector>

#include "treemap_layout.h"

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
constexpr size_t kTreemapPaletteSize = 12;
constexpr uint32_t kTreemapFrame = 0xFF282828u; // around each of the shown folder's subfolders
constexpr float kTreemapFaintFrame = 0.6f;      // a level further down: the pixels darkened so

// The palette's hue at position `i` (from the start again past its end).
uint32_t TreemapPaletteColour(size_t i);

// The colour (before shading) of each extension id of `layout`.
std::vector<uint32_t> ExtensionColours(const TreemapLayout& layout);

// Draws `layout` into `pixels`, width × height of it, rows top down, the files in
// `colours` (one per extension id; empty: ExtensionColours). Once `stop` is raised it
// returns at once, the picture unfinished.
void RenderTreemap(const TreemapLayout& layout, std::vector<uint32_t>& pixels,
                   const TreemapStyle& style = TreemapStyle(),
                   const std::atomic<bool>* stop = nullptr,
                   const std::vector<uint32_t>& colours = {});
