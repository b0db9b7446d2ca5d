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

TEST(SortRules, SizesAndFreeSpaceSortByValueNotText) {
    EXPECT_EQ(Sorted({"900.0 KB", "2.0 MB", "0 KB", ""}, 1, false, true),
              (Texts{"2.0 MB", "900.0 KB", "0 KB", ""}));
    EXPECT_EQ(Sorted({"1023.9 MB", "1.0 GB"}, 1, false, true), (Texts{"1.0 GB", "1023.9 MB"}));
    // Free Space: 12.0 GB above 9.5 GB (as text, 9.5 GB would lead).
    EXPECT_EQ(Sorted({"9.5 GB", "12.0 GB", ""}, 2, true, true), (Texts{"12.0 GB", "9.5 GB", ""}));
    EXPECT_EQ(Sorted({"9.5 GB", "12.0 GB"}, 1, true, false), (Texts{"9.5 GB", "12.0 GB"}));
    // Sizes of 2048 GB and more still order (kilobytes beyond 32 bits).
    EXPECT_EQ(Sorted({"2048.0 GB", "5120.0 GB", "1.0 GB"}, 1, false, true),
              (Texts{"5120.0 GB", "2048.0 GB", "1.0 GB"}));
    // Texts that print alike compare alike.
    EXPECT_EQ(CompareSortValues(SortKind::Size, CaptureSortValue(SortKind::Size, "1.5 GB"),
                                CaptureSortValue(SortKind::Size, "1.5 GB"), true),
              0);
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
