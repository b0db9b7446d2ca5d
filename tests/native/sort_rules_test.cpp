// The list's sorting rules and the drive overview's row rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive_rules.h"
#include "sort_rules.h"

namespace {

// Sorts cell texts by a column's rule, as the list's sort orders its rows.
std::vector<std::string> Sorted(std::vector<std::string> cells, int nColumn, bool bDriveView,
                                bool bDescending) {
    const SortKind kind = SortKindOfColumn(nColumn, bDriveView);
    std::stable_sort(cells.begin(), cells.end(), [&](const std::string& a, const std::string& b) {
        return CompareSortValues(kind, CaptureSortValue(kind, a), CaptureSortValue(kind, b),
                                 bDescending) < 0;
    });
    return cells;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(SortRules, EachColumnHasItsRuleInBothLayouts) {
    EXPECT_EQ(SortKindOfColumn(0, false), SortKind::Text);
    EXPECT_EQ(SortKindOfColumn(1, false), SortKind::Size);
    EXPECT_EQ(SortKindOfColumn(2, false), SortKind::Text);
    EXPECT_EQ(SortKindOfColumn(3, false), SortKind::Time);
    EXPECT_EQ(SortKindOfColumn(4, false), SortKind::Count);
    EXPECT_EQ(SortKindOfColumn(5, false), SortKind::Count);
    EXPECT_EQ(SortKindOfColumn(0, true), SortKind::Text);
    EXPECT_EQ(SortKindOfColumn(1, true), SortKind::Size);
    EXPECT_EQ(SortKindOfColumn(2, true), SortKind::Size); // Free Space by value
}

TEST(SortRules, NamesDescendFirstThenReverse) {
    const Texts names = {"b", "A", "Z", "c"};
    EXPECT_EQ(Sorted(names, 0, false, true), (Texts{"Z", "c", "b", "A"}));
    EXPECT_EQ(Sorted(names, 0, false, false), (Texts{"A", "b", "c", "Z"}));
    // Letters fold to lower case before the bytes compare: '_' (0x5F) comes before 'a'
    // (0x61), though it follows 'A' (0x41).
    EXPECT_EQ(Sorted({"a", "_"}, 0, false, false), (Texts{"_", "a"}));
    // Names equal but for case compare equal and keep their order.
    EXPECT_EQ(Sorted({"abc", "ABC"}, 0, false, true), (Texts{"abc", "ABC"}));
}

// Sizes compare exact bytes: 0.1 KB below 0.9 KB and 2.0 KB below 2.9 KB, which whole
// kilobytes would tie; equal sizes keep the rows' order in both directions.
TEST(SortRules, SizesSortByExactBytesAndEqualSizesKeepTheirOrder) {
    struct Row {
        const char* name;
        int64_t bytes;
    };
    const std::vector<Row> rows = {{"2.0 KB", 2048},          {"0.1 KB", 102}, {"same1", 1500},
                                   {"2.9 KB", 2970},          {"0.9 KB", 922}, {"same2", 1500},
                                   {"5120 GB", 5120LL << 30}, {"same3", 1500}};
    auto order = [&](bool bDescending) {
        std::vector<SortValue> values;
        for (size_t i = 0; i < rows.size(); ++i)
            values.push_back({"", rows[i].bytes, static_cast<int>(i)});
        std::vector<size_t> index(rows.size());
        for (size_t i = 0; i < index.size(); ++i)
            index[i] = i;
        // An unstable sort: only the comparison may keep equal rows in order.
        std::sort(index.begin(), index.end(), [&](size_t a, size_t b) {
            return CompareSortRows(SortKind::Size, values[a], values[b], bDescending) < 0;
        });
        Texts names;
        for (size_t i : index)
            names.push_back(rows[i].name);
        return names;
    };
    EXPECT_EQ(order(true), (Texts{"5120 GB", "2.9 KB", "2.0 KB", "same1", "same2", "same3",
                                  "0.9 KB", "0.1 KB"}));
    EXPECT_EQ(order(false), (Texts{"0.1 KB", "0.9 KB", "same1", "same2", "same3", "2.0 KB",
                                   "2.9 KB", "5120 GB"}));
}

TEST(SortRules, CountsSortAsIntegers) {
    EXPECT_EQ(Sorted({"9", "10", "", "100"}, 4, false, true), (Texts{"100", "10", "9", ""}));
    EXPECT_EQ(Sorted({"9", "10"}, 5, false, false), (Texts{"9", "10"}));
    EXPECT_EQ(ParseCountText("abc"), 0);
    EXPECT_EQ(ParseCountText("3000000000"), 3000000000LL);
}

TEST(SortRules, DatesSortByTimeNotByText) {
    // 12/1/2005 and 5/29/2006: as texts the earlier date would sort above.
    const SortValue dec2005{"", 1133395200};
    const SortValue may2006{"", 1148918700};
    EXPECT_LT(CompareSortValues(SortKind::Time, may2006, dec2005, true), 0);
    EXPECT_GT(CompareSortValues(SortKind::Time, may2006, dec2005, false), 0);
    EXPECT_EQ(CaptureSortValue(SortKind::Time, "5/29/2006 16:5").number, 0);
}

TEST(SortRules, AnotherColumnDescendsTheSameColumnReverses) {
    EXPECT_TRUE(NextSortDescending(0, -1, false));
    EXPECT_FALSE(NextSortDescending(0, 0, true));
    EXPECT_TRUE(NextSortDescending(0, 0, false));
    EXPECT_TRUE(NextSortDescending(1, 0, true));
    // After the scan's sort by Size (which records the column, not the direction), the
    // first click on Size follows the remembered direction.
    EXPECT_TRUE(NextSortDescending(1, 1, false));
    EXPECT_FALSE(NextSortDescending(1, 1, true));
}

TEST(DriveRules, NamesFollowTheMaskInLetterOrder) {
    EXPECT_TRUE(DriveNamesFromMask(0).empty());
    EXPECT_EQ(DriveNamesFromMask(0b1101), (Texts{"A:", "C:", "D:"}));
    EXPECT_EQ(DriveNamesFromMask(1u << 25), (Texts{"Z:"}));
    EXPECT_EQ(DriveNamesFromMask(0xFC000000u), Texts{}); // bits above Z name no drive
    EXPECT_EQ(DriveNamesFromMask(0x03FFFFFFu).size(), 26u);
}

TEST(DriveRules, RootsIconsAndWhichDrivesAreAsked) {
    EXPECT_EQ(DriveRootPath("C:"), "C:\\");
    EXPECT_EQ(DriveRootPath("C:\\"), "C:\\");
    EXPECT_EQ(DriveIconResource(2), 141); // removable
    EXPECT_EQ(DriveIconResource(5), 142); // CD
    for (unsigned type : {0u, 1u, 3u, 4u, 6u})
        EXPECT_EQ(DriveIconResource(type), 140) << type;
    EXPECT_FALSE(ShouldQueryDriveSpace("A:"));
    EXPECT_FALSE(ShouldQueryDriveSpace("a:"));
    EXPECT_TRUE(ShouldQueryDriveSpace("B:"));
    EXPECT_TRUE(ShouldQueryDriveSpace("C:"));
}
