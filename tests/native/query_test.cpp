// The snapshot's queries against what a find-style walk of the same random tree sees,
// sorted and grouped here: largest files with ties, totals by type, searches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <regex>
#include <vector>

#include "file_search.h"
#include "file_times.h"
#include "largest_files.h"
#include "query_worker.h"
#include "temp_tree.h"
#include "tree_totals.h"
#include "type_totals.h"

namespace fs = std::filesystem;

namespace {

struct SeenFile {
    std::string path; // beneath the root, the system's separators
    std::string name;
    int64_t size;
};

std::vector<SeenFile> FindFiles(const std::string& root) {
    std::vector<SeenFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(fs::u8path(root)))
        if (entry.is_regular_file())
            files.push_back({fs::relative(entry.path(), fs::u8path(root)).u8string(),
                             entry.path().filename().u8string(),
                             static_cast<int64_t>(entry.file_size())});
    return files;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Names of every kind a type is told by: no dot, a leading dot, several dots, a trailing
// dot, upper and lower case; sizes from a few values, so that many are equal.
void MakeTree(const TempTree& tree, std::mt19937& rng) {
    const char* const stems[] = {"a",       "Photo", "x.y",  "readme",
                                 ".hidden", ".cfg",  "IMG_", "Resume"};
    const char* const endings[] = {".jpg", ".JPG", ".tar.gz", "", ".Txt", ".txt", ".yml", ".ISO"};
    const char* const folders[] = {"", "one/", "one/two/", "three/", "three/Four.d/"};
    const int64_t sizes[] = {0, 1, 100, 4096, 4096, 5000, 70000};
    for (int i = 0; i < 240; ++i) {
        const std::string name =
            std::string(stems[rng() % 8]) + std::to_string(i) + endings[rng() % 8];
        const int64_t size = rng() % 4 ? sizes[rng() % 7] : static_cast<int64_t>(rng() % 9000);
        tree.File(std::string(folders[rng() % 5]) + name, static_cast<size_t>(size));
    }
}

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 rng(25);
        MakeTree(m_tree, rng);
        std::vector<FolderTotals> totals;
        std::vector<WalkResult> results;
        TotalFolderTrees({m_tree.Root()}, totals, results, nullptr, 2, nullptr, nullptr, &m_s);
        m_top = m_s.Find(m_tree.Root());
        ASSERT_NE(m_top, FolderSnapshot::kNone);
        m_seen = FindFiles(m_tree.Root());
        ASSERT_EQ(m_seen.size(), 240u);
    }

    std::vector<std::string> Paths(const std::vector<FileRef>& files) const {
        std::vector<std::string> paths;
        for (const FileRef& f : files)
            paths.push_back(RelativePath(m_s, m_top, f));
        return paths;
    }
    std::vector<std::string> SeenPaths(bool (*keep)(const SeenFile&, const std::string&),
                                       const std::string& arg) const {
        std::vector<std::string> paths;
        for (const SeenFile& f : m_seen)
            if (keep(f, arg))
                paths.push_back(f.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    std::vector<std::string> Found(const SearchCriteria& criteria) const {
        SearchResult result;
        EXPECT_TRUE(SearchFiles(m_s, m_top, criteria, result)) << criteria.pattern;
        std::vector<std::string> paths = Paths(result.files);
        std::sort(paths.begin(), paths.end());
        int64_t bytes = 0;
        for (const FileRef& f : result.files)
            bytes += m_s.FileSize(f.folder, f.file);
        EXPECT_EQ(result.nBytes, bytes);
        return paths;
    }

    TempTree m_tree;
    FolderSnapshot m_s;
    FolderSnapshot::Index m_top = FolderSnapshot::kNone;
    std::vector<SeenFile> m_seen;
};

} // namespace

TEST_F(QueryTest, LargestFilesBySizeThenPath) {
    std::vector<SeenFile> sorted = m_seen;
    std::sort(sorted.begin(), sorted.end(), [](const SeenFile& a, const SeenFile& b) {
        return a.size != b.size ? a.size > b.size : a.path < b.path;
    });
    for (size_t count :
         {size_t{1}, size_t{7}, size_t{60}, size_t{239}, size_t{240}, size_t{1000}}) {
        std::vector<std::string> expected;
        for (size_t i = 0; i < std::min(count, sorted.size()); ++i)
            expected.push_back(sorted[i].path);
        EXPECT_EQ(Paths(LargestFiles(m_s, m_top, count)), expected) << count;
    }
    // Beneath a subfolder, paths are relative to it.
    const auto one = m_s.Find(m_tree.Path("one"));
    const std::vector<FileRef> inOne = LargestFiles(m_s, one, 1000);
    size_t seenInOne = 0;
    for (const SeenFile& f : m_seen)
        seenInOne += f.path.rfind(std::string("one") + kPathSeparator, 0) == 0;
    EXPECT_EQ(inOne.size(), seenInOne);
    EXPECT_TRUE(LargestFiles(m_s, m_top, 0).empty());
    std::atomic<bool> stop{true};
    EXPECT_TRUE(LargestFiles(m_s, m_top, 10, &stop).empty());
}

TEST_F(QueryTest, TypeTotalsGroupedByExtension) {
    struct Group {
        int64_t bytes = 0;
        uint64_t files = 0;
    };
    std::map<std::string, Group> expected;
    int64_t all = 0;
    for (const SeenFile& f : m_seen) {
        const size_t dot = f.name.find_last_of('.');
        const std::string key =
            dot == std::string::npos || dot == 0 ? "" : Lower(f.name.substr(dot + 1));
        expected[key].bytes += f.size;
        ++expected[key].files;
        all += f.size;
    }
    const std::vector<TypeTotal> totals = TypeTotals(m_s, m_top);
    ASSERT_EQ(totals.size(), expected.size());
    double shares = 0;
    for (size_t i = 0; i < totals.size(); ++i) {
        const TypeTotal& t = totals[i];
        ASSERT_TRUE(expected.count(t.key)) << t.key;
        EXPECT_EQ(t.bytes, expected[t.key].bytes) << t.key;
        EXPECT_EQ(t.files, expected[t.key].files) << t.key;
        EXPECT_DOUBLE_EQ(t.share, static_cast<double>(t.bytes) / static_cast<double>(all));
        shares += t.share;
        if (i) {
            EXPECT_TRUE(totals[i - 1].bytes > t.bytes ||
                        (totals[i - 1].bytes == t.bytes && totals[i - 1].key < t.key));
        }
    }
    EXPECT_NEAR(shares, 1.0, 1e-9);
    EXPECT_TRUE(expected.count("jpg") && expected.count("gz") && expected.count("") &&
                expected.count("yml") && !expected.count("JPG"));
    EXPECT_EQ(SharePercentText(0.12345), "12.3");
    EXPECT_EQ(SharePercentText(1.0), "100.0");
}

TEST_F(QueryTest, SearchByWildcardSubstringRegexAndSize) {
    SearchCriteria c;
    auto wildcard = [](const SeenFile& f, const std::string& pattern) {
        std::string re;
        for (const char ch : pattern)
            re += ch == '*'   ? std::string(".*")
                  : ch == '?' ? std::string(".")
                              : std::string("\\x") + "0123456789abcdef"[(ch >> 4) & 15] +
                                    "0123456789abcdef"[ch & 15];
        return std::regex_match(f.name, std::regex(re, std::regex::icase));
    };
    for (const char* pattern :
         {"*.jpg", "img_*", "*.?xt", "*1*.tar.*", "x.y?", "*", "photo1?.txt"}) {
        c.pattern = pattern;
        EXPECT_EQ(Found(c), SeenPaths(wildcard, pattern)) << pattern;
    }
    auto substring = [](const SeenFile& f, const std::string& text) {
        return Lower(f.name).find(Lower(text)) != std::string::npos;
    };
    for (const char* text : {"PHOTO", "tar.g", ".", "SUME", "no such name"}) {
        c.pattern = text;
        EXPECT_EQ(Found(c), SeenPaths(substring, text)) << text;
    }
    c.bRegex = true;
    c.pattern = "^(img|photo)_?[0-9]+\\.(jpg|txt)$";
    auto regex = [](const SeenFile& f, const std::string& re) {
        return std::regex_search(Lower(f.name), std::regex(re));
    };
    EXPECT_EQ(Found(c), SeenPaths(regex, c.pattern));
    EXPECT_FALSE(Found(c).empty());

    // A bound on size alone, and with a pattern.
    c.bRegex = false;
    c.pattern.clear();
    c.nMinBytes = 4096;
    auto large = [](const SeenFile& f, const std::string&) { return f.size >= 4096; };
    EXPECT_EQ(Found(c), SeenPaths(large, ""));
    c.pattern = "*.JPG";
    auto largeJpg = [](const SeenFile& f, const std::string& p) {
        return f.size >= 4096 && Lower(f.name).size() > 4 &&
               Lower(f.name).compare(f.name.size() - 4, 4, Lower(p.substr(1))) == 0;
    };
    EXPECT_EQ(Found(c), SeenPaths(largeJpg, c.pattern));

    // An invalid expression says why, and finds nothing.
    for (const char* invalid : {"([a-z]", "*.iso", "a{2,1}", "[z-a]"}) {
        c.pattern = invalid;
        c.bRegex = true;
        SearchResult result;
        EXPECT_FALSE(SearchFiles(m_s, m_top, c, result)) << invalid;
        EXPECT_FALSE(result.bValid);
        EXPECT_TRUE(result.files.empty());
        EXPECT_EQ(result.error.rfind("Invalid regular expression: ", 0), 0u) << result.error;
    }
}

// The newest request wins; a stopped one hands nothing out; progress comes back to 0.
TEST_F(QueryTest, WorkerAnswersTheNewestRequest) {
    std::mutex mutex;
    std::condition_variable ready;
    int readyCount = 0;
    QueryWorker worker([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++readyCount;
        ready.notify_all();
    });
    QueryRequest search;
    search.kind = QueryKind::Search;
    search.snapshot = &m_s;
    search.scope = m_top;
    search.criteria.pattern = "(a|.)*(a|.)*(a|.)*x";
    search.criteria.bRegex = true;
    search.generation = 1;
    worker.Submit(search);
    QueryRequest types = search;
    types.kind = QueryKind::TypeTotals;
    types.generation = 2;
    worker.Submit(types);
    // The search may have finished before it was replaced; the types' answer comes last.
    std::optional<QueryAnswer> answer;
    for (int taken = 0; !answer || answer->generation != 2; ++taken) {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(
            ready.wait_for(lock, std::chrono::seconds(30), [&] { return readyCount > taken; }));
        ASSERT_LT(taken, 2);
        lock.unlock();
        if (std::optional<QueryAnswer> next = worker.Take())
            answer = std::move(next);
    }
    EXPECT_EQ(answer->types.size(), TypeTotals(m_s, m_top).size());
    EXPECT_FALSE(worker.Take());

    search.generation = 3;
    worker.Submit(search);
    worker.Cancel();
    EXPECT_FALSE(worker.Take());
    EXPECT_EQ(worker.Progress(), 0.0);
}

// Dates come from the walk: "after" takes the moment itself, "before" stops short of it.
// By bytes on disk the ranking, the totals by type and the size bound all change: a sparse
// image falls behind a small file that is all there, and blocks not known count nothing.
TEST(QueryMeasure, BytesOnDiskRankTotalAndBoundTheFiles) {
    FolderSnapshot s;
    SnapshotLevel level;
    level.AddFile("sparse.img", 10 << 20, 0, 4096);
    level.AddFile("whole.bin", 100000, 0, 102400);
    level.AddFile("one.txt", 1, 0, 4096);
    level.AddFile("unknown.txt", 3000, 0, -1);
    const auto top = s.RecordLevel("/measured", level);
    auto names = [&s, top](const std::vector<FileRef>& files) {
        std::vector<std::string> out;
        for (const FileRef& f : files)
            out.push_back(s.FileName(top, f.file));
        return out;
    };
    EXPECT_EQ(names(LargestFiles(s, top, 2)),
              (std::vector<std::string>{"sparse.img", "whole.bin"}));
    EXPECT_EQ(names(LargestFiles(s, top, 2, nullptr, SizeMeasure::OnDisk)),
              (std::vector<std::string>{"whole.bin", "one.txt"}));

    const std::vector<TypeTotal> types = TypeTotals(s, top, nullptr, SizeMeasure::OnDisk);
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[0].key, "bin");
    EXPECT_EQ(types[0].bytes, 102400);
    EXPECT_EQ(types[1].key, "img");          // equal bytes: by extension
    EXPECT_EQ(types[1].sizeBytes, 10 << 20); // what a comparison compares
    EXPECT_EQ(types[2].key, "txt");
    EXPECT_EQ(types[2].bytes, 4096);
    EXPECT_EQ(types[2].files, 2u);
    EXPECT_DOUBLE_EQ(types[0].share, 102400.0 / (102400 + 4096 + 4096));

    SearchCriteria criteria;
    criteria.nMinBytes = 4096;
    criteria.measure = SizeMeasure::OnDisk;
    SearchResult result;
    ASSERT_TRUE(SearchFiles(s, top, criteria, result));
    EXPECT_EQ(result.files.size(), 3u); // not the file whose blocks are not known
    EXPECT_EQ(result.nBytes, 102400 + 4096 + 4096);
}

TEST(QueryDates, SearchBoundsByTheWalkedTimes) {
    TempTree tree;
    const std::pair<const char*, int64_t> files[] = {
        {"old.log", 1000000000}, {"sub/mid.log", 1500000000}, {"sub/new.txt", 1600000000}};
    for (const auto& [name, seconds] : files) {
        tree.File(name, 10);
        tree.SetModified(name, seconds);
    }
    FolderSnapshot s;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees({tree.Root()}, totals, results, nullptr, 1, nullptr, nullptr, &s);
    const FolderSnapshot::Index top = s.Find(tree.Root());
    ASSERT_NE(top, FolderSnapshot::kNone);
    auto found = [&](int64_t after, int64_t before, const char* pattern) {
        SearchCriteria c;
        c.pattern = pattern;
        c.tAfter = after;
        c.tBefore = before;
        SearchResult result;
        EXPECT_TRUE(SearchFiles(s, top, c, result));
        std::vector<std::string> names;
        for (const FileRef& f : result.files) {
            names.push_back(s.FileName(f.folder, f.file));
            EXPECT_NE(FileModifiedTime(s, f.folder, f.file), kUnknownFileTime);
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    using Names = std::vector<std::string>;
    const int64_t kNone = SearchCriteria::kNoTime;
    EXPECT_EQ(found(1500000000, kNone, ""), (Names{"mid.log", "new.txt"}));
    EXPECT_EQ(found(kNone, 1500000000, ""), (Names{"old.log"}));
    EXPECT_EQ(found(1000000001, 1600000000, ""), (Names{"mid.log"}));
    EXPECT_EQ(found(1000000000, kNone, "*.log"), (Names{"mid.log", "old.log"}));
}
