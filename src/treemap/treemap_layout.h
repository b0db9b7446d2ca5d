#pragma once
// The treemap's picture as rectangles: a folder's whole subtree from the snapshot, every
// file a tile whose area is its size, nested by folder, laid out squarified (children by
// size, largest first, in rows along the shorter side of what is left, a row taking one
// more child while that makes its worst aspect ratio better).
//
// Tiles live in one flat array. Tile 0 is the shown folder and fills the pane; a folder's
// children follow one another (firstChild, childCount), so a hit test walks down from the
// top. Edges are kept as floats and shared exactly between neighbours: a tile's pixels are
// its edges rounded (PixelRect), so neighbours' pixels never overlap and leave no gap.
//
// What gets a tile. A folder with bytes beneath it (its totals, once final); each of its
// files that holds bytes; for a folder whose files the memory cap dropped, one tile for all
// its files' bytes; and for a subfolder not final yet (the scan is still running), one plain
// placeholder tile. Entries of no bytes get none. A folder less than a pixel wide or high is
// not divided further.
//
// Placeholders. Nothing beneath a folder that is not final is known for certain, so its
// tile is sized by what is known so far or by what its neighbours hold, whichever is more:
// the bytes already known beneath it (its own files, its final subfolders' totals, and so on
// down through read folders), or the mean size of the totalled entries beside it (1 byte
// when there are none, so that at the start of a scan every placeholder shares the pane
// equally). The picture settles into sizes once the scan ends.

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "folder_snapshot.h"
#include "size_measure.h"

enum class TileKind : uint8_t {
    Folder,       // snapshot folder `ref`: final, or the shown folder read while the scan runs
    File,         // file `ref` of the parent tile's folder
    FilesNotHeld, // all the files of the parent tile's folder, which the snapshot did not keep
    Placeholder,  // snapshot folder `ref`, not final yet
};

struct TileRect {
    int left, top, right, bottom; // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Tile {
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    float x0, y0, x1, y1; // pane pixels, x1 and y1 exclusive
    int64_t bytes;        // a placeholder: the bytes known beneath it so far
    uint32_t parent;      // kNone for tile 0
    uint32_t firstChild;  // the children's tiles are [firstChild, firstChild + childCount)
    uint32_t childCount;
    uint32_t ref;       // see TileKind
    uint16_t depth;     // 0 for the shown folder
    uint16_t extension; // a file's extension id (TreemapLayout::extensions); 0 otherwise
    TileKind kind;

    TileRect PixelRect() const;
};

// A file's type, as its extension tells it (ExtensionKey in file_extension.h): the text after
// the last dot of its name, in lower case ("" for a name without one).
struct ExtensionInfo {
    std::string name;
    int64_t bytes = 0; // of every file of this extension under the shown folder
    uint32_t files = 0;
};

// Where the keyboard moves from a tile.
enum class TileDirection { Left, Right, Up, Down };

struct TreemapLayout {
    int width = 0;
    int height = 0;
    // One level of entries by their bytes (LayOutFlatTreemap), not a folder's subtree.
    bool flat = false;
    std::vector<Tile> tiles; // empty when the shown folder has no bytes (or the pane no area)
    // Id 0 is the files without an extension; ids follow first sight. Counted over every
    // held file under the shown folder, drawn or too small to be.
    std::vector<ExtensionInfo> extensions;

    // The deepest tile that holds the pixel (its centre), or Tile::kNone.
    uint32_t HitTest(int x, int y) const;
    // `tile` and the tiles above it, the shown folder's tile (0) last.
    std::vector<uint32_t> Ancestors(uint32_t tile) const;
    // The shown folder's child tile that holds `tile` (or `tile` itself at depth 1);
    // Tile::kNone for tile 0 and kNone.
    uint32_t ChildOfShown(uint32_t tile) const;
    // The shown folder's child tile next to its child tile `tile` in `direction`: of those
    // lying wholly beyond that edge, one touching it along a shared stretch, else the
    // nearest; Tile::kNone when there is none (the pane's edge).
    uint32_t NeighbourOf(uint32_t tile, TileDirection direction) const;
};

// Folders the snapshot knows by name only whose totals are known elsewhere (the scan has
// totalled them on its own thread): their bytes. Each is one undivided folder tile.
using TreemapSettled = std::unordered_map<FolderSnapshot::Index, int64_t>;

// What else a layout may be given: settled folders (their bytes by `measure`), which size
// makes a tile's area, and a flag that, once raised, makes it return at once with whatever
// it has (to be thrown away).
struct TreemapLayoutOptions {
    const TreemapSettled* settled = nullptr;
    SizeMeasure measure = SizeMeasure::Bytes;
    const std::atomic<bool>* stop = nullptr;
};

// Lays out `shown` and everything beneath it into a pane of width × height pixels.
TreemapLayout LayOutTreemap(const FolderSnapshot& snapshot, FolderSnapshot::Index shown, int width,
                            int height,
                            const TreemapLayoutOptions& options = TreemapLayoutOptions());

// One level of entries by their bytes (the drives by used space): tile 0 holds them, each an
// undivided folder tile whose ref is its position in `bytes`. Entries of no bytes get none.
TreemapLayout LayOutFlatTreemap(const std::vector<int64_t>& bytes, int width, int height);
