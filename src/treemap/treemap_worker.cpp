#include "treemap_worker.h"

#include "change_colours.h"

TreemapWorker::TreemapWorker(ReadyFn ready, TreemapStyle style)
    : m_style(style),
      m_worker([this](TreemapRequest& request,
                      const std::atomic<bool>* stop) { return Draw(request, stop); },
               std::move(ready)) {}

TreemapPicture TreemapWorker::Draw(TreemapRequest& request, const std::atomic<bool>* stop) const {
    TreemapPicture picture;
    picture.generation = request.generation;
    if (request.snapshot) {
        TreemapLayoutOptions options;
        options.settled = &request.settled;
        options.measure = request.measure;
        options.stop = stop;
        picture.layout =
            LayOutTreemap(*request.snapshot, request.shown, request.width, request.height, options);
    } else {
        picture.layout = LayOutFlatTreemap(request.flat, request.width, request.height);
    }
    if (request.older && request.snapshot) {
        const std::vector<uint32_t> colours = ChangeTileColours(picture.layout, *request.snapshot,
                                                                *request.older, request.olderShown);
        RenderTreemap(picture.layout, picture.pixels, m_style, stop, TypeColourTable::Program(),
                      &colours);
    } else {
        RenderTreemap(picture.layout, picture.pixels, m_style, stop);
    }
    picture.owned = std::move(request.owned);
    return picture;
}
