#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>

#include "folder_snapshot.h"
#include "path_text.h"
#include "treemap_worker.h"

namespace {

// A snapshot with `folders` folders of 50 files each under /w.
std::shared_ptr<FolderSnapshot> MakeTree(int folders) {
    auto s = std::make_shared<FolderSnapshot>();
    SnapshotLevel top;
    for (int i = 0; i < folders; ++i)
        top.AddFolder(("d" + std::to_string(i)).c_str());
    s->RecordLevel("/w", top);
    for (int i = 0; i < folders; ++i) {
        SnapshotLevel level;
        for (int f = 0; f < 50; ++f)
            level.AddFile(("f" + std::to_string(f) + ".bin").c_str(), 1 + (i * 50 + f) % 977);
        s->RecordLevel(JoinPath("/w", ("d" + std::to_string(i)).c_str()), level);
    }
    return s;
}

TreemapRequest RequestOf(const std::shared_ptr<FolderSnapshot>& s, int width, int height,
                         unsigned generation = 0) {
    TreemapRequest request;
    request.owned = s;
    request.snapshot = s.get();
    request.shown = s->Find("/w");
    request.width = width;
    request.height = height;
    request.generation = generation;
    return request;
}

class Waiter {
public:
    void Notify() {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_count;
        m_cv.notify_all();
    }
    bool WaitFor(int count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(30), [&] { return m_count >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_count = 0;
};

} // namespace

// Only the newest request's picture comes back; after Cancel the owner may change the
// snapshot it lent (ThreadSanitizer watches that nothing still reads it), and a worker
// destroyed in the middle of its work ends.
TEST(TreemapWorker, NewestPictureAndCancelBeforeChange) {
    Waiter ready;
    FolderSnapshot lent;
    SnapshotLevel level;
    level.AddFile("one.txt", 10);
    const auto lentRoot = lent.RecordLevel("/lent", level);
    TreemapWorker worker([&] { ready.Notify(); });

    const std::shared_ptr<FolderSnapshot> big = MakeTree(400);
    for (unsigned g = 1; g <= 5; ++g)
        worker.Submit(RequestOf(big, 300, 200, g));
    // Earlier requests may have finished before the later ones came; the last one always
    // does, and is the one left waiting.
    std::optional<TreemapPicture> picture;
    int nReady = 0;
    do {
        ASSERT_TRUE(ready.WaitFor(++nReady));
        picture = worker.Take();
    } while (!picture || picture->generation != 5);
    EXPECT_EQ(picture->pixels.size(), 300u * 200u);
    EXPECT_EQ(picture->layout.tiles.size(), 1u + 400u + 400u * 50u);
    EXPECT_FALSE(worker.Take());

    for (int round = 0; round < 20; ++round) {
        TreemapRequest request;
        request.snapshot = &lent;
        request.shown = lentRoot;
        request.width = 64;
        request.height = 64;
        worker.Submit(std::move(request));
        worker.Cancel();
        level.AddFile(("more" + std::to_string(round)).c_str(), round + 1);
        lent.RecordLevel("/lent", level); // changes what the request read
    }
    EXPECT_FALSE(worker.Take());

    worker.Submit(RequestOf(big, 1200, 400)); // the destructor stops it
}
