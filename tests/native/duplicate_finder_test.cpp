// Duplicate files against an oracle that compares every candidate's whole contents; the
// hash's spread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sys/stat.h>

#include "content_hash.h"
#include "duplicate_finder.h"
#include "duplicates_worker.h"
#include "found_duplicates.h"
#include "snapshot_candidates.h"
#include "temp_tree.h"
#include "tree_totals.h"

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using PathGroups = std::set<std::set<std::string>>;

PathGroups GroupsOf(const DuplicateSearch& search, const std::vector<DuplicateCandidate>& files) {
    PathGroups groups;
    for (const DuplicateGroup& group : search.groups) {
        std::set<std::string> paths;
        for (size_t i : group.files)
            paths.insert(files[i].path);
        groups.insert(paths);
    }
    return groups;
}

} // namespace

// Random trees: copies small and large, equal sizes with other bytes, equal first 4 KiB with
// other tails, many copies of one file, hard links, empty files, a file that cannot be read
// and one changed since the scan. The groups are exactly the oracle's, in any piece size.
TEST(DuplicateFinder, GroupsEqualWhatAWholeComparisonFinds) {
    for (unsigned seed : {1u, 2u, 3u}) {
        TempTree tree;
        std::mt19937 rng(seed);
        auto bytes = [&](size_t n) {
            std::string s(n, '\0');
            for (char& c : s)
                c = static_cast<char>(rng() % 4); // few values: near misses are common
            return s;
        };
        std::vector<std::string> bodies;
        for (int i = 0; i < 12; ++i)
            bodies.push_back(bytes(1 + rng() % (i < 6 ? 5000 : 200000)));
        const std::string head = bytes(4096);
        bodies.push_back(head + "tail-one");
        bodies.push_back(head + "tail-two"); // the same size and head, another tail
        bodies.push_back(bodies[7]);
        bodies.back().back() ^= 1; // the same size and all but the last byte
        std::vector<DuplicateCandidate> files;
        auto add = [&](const std::string& name, const std::string& body) {
            Write(tree.Path(name), body);
            files.push_back({tree.Path(name), static_cast<int64_t>(body.size()), 0, 0});
        };
        for (int i = 0; i < 60; ++i)
            add("f" + std::to_string(i), bodies[rng() % bodies.size()]);
        for (int i = 0; i < 40; ++i) // more copies than are compared in step at once
            add("many" + std::to_string(i), bodies[8]);
        add("empty1", "");
        add("empty2", "");
        add("kept", bodies[3]);
        add("changed", bodies[3] + "x");
        files.back().size -= 1; // it grew by a byte since the scan
        add("shut", bodies[3]);
#ifndef _WIN32
        chmod(tree.Path("shut").c_str(), 0);
        // Two names of one file are one file.
        link(tree.Path("f0").c_str(), tree.Path("f0-link").c_str());
        files.push_back({tree.Path("f0-link"), files[0].size, 0, 0});
        struct stat st;
        stat(tree.Path("f0").c_str(), &st);
        files[0].device = files.back().device = st.st_dev;
        files[0].fileId = files.back().fileId = st.st_ino;
        WithoutPermissionOverride asUser;
        ASSERT_TRUE(asUser.Works()) << "cannot drop the permission override";
#endif
        // The oracle: every readable, unchanged, non-empty file by its whole contents.
        std::map<std::string, std::set<std::string>> byContent;
        for (const DuplicateCandidate& file : files) {
            const std::string name = file.path.substr(tree.Root().size() + 1);
            if (file.size == 0 || name == "changed" || name == "f0-link")
                continue;
#ifndef _WIN32
            if (name == "shut")
                continue;
#endif
            byContent[Read(file.path)].insert(file.path);
        }
        PathGroups oracle;
        for (const auto& [content, paths] : byContent)
            if (paths.size() >= 2)
                oracle.insert(paths);

        for (size_t chunk : {size_t{1000}, size_t{256 * 1024}}) {
            DuplicateOptions options;
            options.chunkBytes = chunk;
            DuplicateProgress progress;
            const DuplicateSearch search = FindDuplicates(files, options, &progress);
            EXPECT_EQ(GroupsOf(search, files), oracle) << "seed " << seed << ", pieces " << chunk;
            std::set<std::string> unreadable;
            for (size_t i : search.unreadable)
                unreadable.insert(files[i].path.substr(tree.Root().size() + 1));
#ifndef _WIN32
            EXPECT_EQ(unreadable, (std::set<std::string>{"changed", "shut"}));
#else
            EXPECT_EQ(unreadable, (std::set<std::string>{"changed"}));
#endif
            EXPECT_FALSE(search.bStopped);
            EXPECT_EQ(progress.bytesRead.load(), search.bytesRead);
            for (size_t g = 1; g < search.groups.size(); ++g)
                EXPECT_GE(search.groups[g - 1].Waste(), search.groups[g].Waste());
        }
#ifndef _WIN32
        chmod(tree.Path("shut").c_str(), 0600);
#endif
    }
}

#ifndef _WIN32
// A scan that kept no links: each file opened says which file it is, so the names of one
// file are one file, of a small file (its head is all of it) and of a large one alike.
TEST(DuplicateFinder, NamesOfOneFileLearnedWhenOpenedAreNoCopies) {
    TempTree tree;
    const std::string large(10000, 'x'), small(100, 'y');
    Write(tree.Path("a"), large);
    Write(tree.Path("copy"), large);
    Write(tree.Path("b"), small);
    link(tree.Path("a").c_str(), tree.Path("a2").c_str());
    link(tree.Path("b").c_str(), tree.Path("b2").c_str());
    std::vector<DuplicateCandidate> files;
    for (const char* name : {"a", "a2", "copy", "b", "b2"})
        files.push_back({tree.Path(name), name[0] == 'b' ? 100 : 10000, 0, 0});
    DuplicateOptions options;
    options.bAskIdentity = true;
    EXPECT_EQ(GroupsOf(FindDuplicates(files, options), files),
              (PathGroups{{tree.Path("a"), tree.Path("copy")}}));
    options.bAskIdentity = false; // what the option keeps out
    EXPECT_EQ(GroupsOf(FindDuplicates(files, options), files),
              (PathGroups{{tree.Path("a"), tree.Path("a2"), tree.Path("copy")},
                          {tree.Path("b"), tree.Path("b2")}}));
}
#endif

// The pane's list from a scan's snapshot: only files whose size another shares are read;
// a delete takes its file out, a group of one goes, and the order by waste is made again.
// Deleting every copy of a group is told apart from deleting all but one.
TEST(FoundDuplicates, FromTheSnapshotAndFollowingDeletes) {
    TempTree tree;
    auto put = [&](const std::string& name, const std::string& body) {
        tree.File(name, 0); // with its folders
        Write(tree.Path(name), body);
    };
    for (const char* name : {"t1", "sub/t2", "sub/deep/t3"})
        put(name, std::string(1000, 't'));
    for (const char* name : {"w1", "sub/w2"})
        put(name, std::string(1500, 'w'));
    put("unique", std::string(777, 'u'));
    put("other", std::string(1500, 'o')); // w's size, other bytes
    put("empty1", "");
    put("sub/empty2", "");
    FolderSnapshot s;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees({tree.Root()}, totals, results, nullptr, 1, nullptr, nullptr, &s);
    const FolderSnapshot::Index top = s.Find(tree.Root());
    ASSERT_NE(top, FolderSnapshot::kNone);

    SnapshotCandidates candidates;
    ASSERT_TRUE(CollectDuplicateCandidates(s, top, 1, candidates));
    std::set<std::string> paths;
    for (const DuplicateCandidate& file : candidates.files)
        paths.insert(file.path.substr(tree.Root().size() + 1));
    EXPECT_EQ(paths.size(), 6u); // not the unique size, not the empty files
    EXPECT_EQ(paths.count("unique") + paths.count("empty1"), 0u);
    ASSERT_EQ(candidates.modified.size(), candidates.files.size());

    FoundDuplicates found(tree.Root(), candidates, FindDuplicates(candidates.files));
    auto rows = [&] {
        std::vector<std::pair<size_t, std::string>> r;
        for (size_t row = 0; row < found.RowCount(); ++row)
            r.push_back(
                {found.GroupOfRow(row), found.FileOfRow(row).path.substr(tree.Root().size() + 1)});
        return r;
    };
    auto rel = [&](const std::string& name) {
        return tree.Path(name).substr(tree.Root().size() + 1);
    };
    using Rows = std::vector<std::pair<size_t, std::string>>;
    ASSERT_EQ(rows(), (Rows{{0, rel("sub/deep/t3")},
                            {0, rel("sub/t2")},
                            {0, "t1"},
                            {1, rel("sub/w2")},
                            {1, "w1"}}));
    EXPECT_EQ(found.TotalWaste(), 2000 + 1500);
    // Every copy of the second group chosen, or all of the first but one.
    EXPECT_EQ(found.GroupsWhollyIn({3, 4, 0}), (std::vector<size_t>{1}));
    EXPECT_TRUE(found.GroupsWhollyIn({0, 1, 3, 3}).empty());

    found.Remove({tree.Path("t1")}); // its group wastes 1000 now, less than the other's
    EXPECT_EQ(rows(),
              (Rows{{0, rel("sub/w2")}, {0, "w1"}, {1, rel("sub/deep/t3")}, {1, rel("sub/t2")}}));
    EXPECT_EQ(found.RowOfPath(tree.Path("sub/t2")), 3);
    found.Remove({tree.Path("w1")});
    EXPECT_EQ(found.GroupCount(), 1u);
    EXPECT_EQ(found.RowCount(), 2u);
    EXPECT_EQ(found.TotalWaste(), 1000);
    EXPECT_EQ(found.RowOfPath(tree.Path("sub/w2")), -1);
    // A folder gone takes what lies beneath it, not what merely shares its name's start.
    EXPECT_FALSE(found.Remove({tree.Path("su"), tree.Path("sub/dee")}));
    EXPECT_TRUE(found.Remove({tree.Path("sub/deep")}));
    EXPECT_EQ(found.GroupCount(), 0u);
}

// A newer search replaces an older one, whatever either had done; a search still collecting
// lets go of the snapshot, which may then go at once, and nothing of it comes.
TEST(DuplicatesWorker, TheNewestSearchIsAnsweredAndTheSnapshotIsLetGo) {
    TempTree tree;
    for (const char* name : {"one/a1", "one/a2", "two/b1", "two/b2", "two/b3"})
        tree.File(name, 5000);
    auto s = std::make_unique<FolderSnapshot>();
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees({tree.Root()}, totals, results, nullptr, 1, nullptr, nullptr, s.get());
    std::mutex mutex;
    std::condition_variable wake;
    int nReady = 0;
    DuplicatesWorker worker([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++nReady;
        wake.notify_all();
    });
    worker.Start(s.get(), s->Find(tree.Path("one")), tree.Path("one"));
    worker.Start(s.get(), s->Find(tree.Path("two")), tree.Path("two"));
    std::optional<FoundDuplicates> found;
    for (int nSeen = 0; !found;) {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(wake.wait_for(lock, std::chrono::seconds(30), [&] { return nReady > nSeen; }));
        nSeen = nReady;
        lock.unlock();
        found = worker.Poll();
    }
    EXPECT_EQ(found->Folder(), tree.Path("two"));
    EXPECT_EQ(found->RowCount(), 3u);
    EXPECT_EQ(worker.CurrentStep(), DuplicatesWorker::Step::Idle);

    worker.Start(s.get(), s->Find(tree.Path("one")), tree.Path("one"));
    EXPECT_TRUE(worker.LetGoOfSnapshot());
    s.reset(); // read no more (AddressSanitizer tells otherwise)
    EXPECT_EQ(worker.CurrentStep(), DuplicatesWorker::Step::Idle);
    EXPECT_FALSE(worker.Poll());
}

// A hash read in pieces is the hash of the whole; inputs a bit apart, and counters, land
// evenly in buckets and never meet.
TEST(DuplicateFinder, HashIsSplitFreeAndSpreadsEvenly) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += static_cast<char>(i * 7);
    for (size_t cut : {size_t{0}, size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{500}}) {
        ContentHash hash;
        hash.Add(text.data(), cut);
        hash.Add(text.data() + cut, text.size() - cut);
        EXPECT_EQ(hash.Value(), HashBytes(text.data(), text.size())) << cut;
    }
    EXPECT_NE(HashBytes("a", 1), HashBytes("a\0", 2));
    std::set<uint64_t> seen;
    std::vector<int> buckets(256, 0);
    const int kInputs = 200000;
    for (int i = 0; i < kInputs; ++i) {
        std::string input = text.substr(0, 64);
        input[static_cast<size_t>(i % 64)] ^= static_cast<char>(1 << (i / 64 % 8)); // one bit
        input += std::to_string(i / 512);
        const uint64_t h = HashBytes(input.data(), input.size());
        seen.insert(h);
        ++buckets[h >> 56];
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kInputs));
    // Each bucket expects 781; six standard deviations either way.
    for (int count : buckets) {
        EXPECT_GT(count, 781 - 170);
        EXPECT_LT(count, 781 + 170);
    }
}
