#pragma once
// The treemap's pictures are made on a thread of their own: the owner (the pane, on the
// user-interface thread) submits what to draw, the worker lays it out and shades it, and
// tells the owner through ReadyFn that a picture waits; the owner takes it on its own
// thread. Only the newest request counts: one submitted while another is in work stops that
// one, and a picture finished for a replaced request is never handed out.
//
// What a request reads. A snapshot made for the picture goes with the request (`owned`) and
// is dropped with the picture. A snapshot the owner keeps (`snapshot` alone) must stay
// unchanged while the worker may read it: the owner calls Cancel before it changes it. Cancel
// stops the work in progress (layout and shading look at the stop flag between folders and
// tiles) and returns once the worker reads nothing of it any more, so the owner waits
// milliseconds at most. The worker never waits for the owner.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "folder_snapshot.h"
#include "newest_wins_worker.h"
#include "treemap_layout.h"
#include "treemap_render.h"

struct TreemapRequest {
    std::shared_ptr<const FolderSnapshot> owned; // made for this picture; kept with it
    const FolderSnapshot* snapshot = nullptr;    // what is read: owned.get() or the owner's
    FolderSnapshot::Index shown = FolderSnapshot::kNone;
    TreemapSettled settled;
    SizeMeasure measure = SizeMeasure::Bytes; // which size makes a tile's area
    // Without a snapshot: one level of entries by their bytes (LayOutFlatTreemap).
    std::vector<int64_t> flat;
    int width = 0;
    int height = 0;
    unsigned generation = 0; // the owner's number for it, handed back with the picture
    // While the shown folder is compared with an older scan: that scan (never changed while
    // it is shared) and its folder matching `shown`; the tiles are coloured by change.
    std::shared_ptr<const FolderSnapshot> older;
    FolderSnapshot::Index olderShown = FolderSnapshot::kNone;
};

struct TreemapPicture {
    unsigned generation = 0;
    TreemapLayout layout;
    std::vector<uint32_t> pixels; // layout.width × layout.height, rows top down
    std::shared_ptr<const FolderSnapshot> owned;
};

class TreemapWorker {
public:
    // A picture waits. Runs on the worker's thread; must not wait for the owner's.
    using ReadyFn = std::function<void()>;

    explicit TreemapWorker(ReadyFn ready, TreemapStyle style = TreemapStyle());

    // Replaces whatever waits or is in work.
    void Submit(TreemapRequest request) { m_worker.Submit(std::move(request)); }
    // Drops what waits, stops what is in work and returns once no snapshot of a request is
    // read any more. A picture already finished is dropped too.
    void Cancel() { m_worker.Cancel(); }
    // The newest finished picture, once.
    std::optional<TreemapPicture> Take() { return m_worker.Take(); }

private:
    TreemapPicture Draw(TreemapRequest& request, const std::atomic<bool>* stop) const;

    const TreemapStyle m_style;
    NewestWinsWorker<TreemapRequest, TreemapPicture> m_worker; // last: its thread reads the above
};
