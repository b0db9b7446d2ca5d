#pragma once
// Where the treemap names its blocks: each subfolder of the shown folder (each drive) whose
// tile has room for a label gets a box in its upper left corner, inside its frame, for one
// or two lines of text (the name, and below it the size). Files and the blocks too small
// for a line get none, so that labels never hide what they would name. Portable; the pane
// draws the texts.

#include <cstdint>
#include <vector>

#include "treemap_layout.h"

struct TreemapLabel {
    uint32_t tile; // a child tile of the shown folder
    TileRect box;  // inside the tile, clear of its frame
    int lines;     // 1 or 2
};

struct TreemapLabelMetrics {
    int lineHeight = 13; // of the font the pane draws with
    int minWidth = 40;   // narrower boxes hold too little of a name to read
    int inset = 3;       // between the tile's edge (its frame) and the box
};

std::vector<TreemapLabel> PlaceTreemapLabels(const TreemapLayout& layout,
                                             const TreemapLabelMetrics& metrics);
