// The search criteria as typed: sizes with their units, days, and what asks nothing.
#include <gtest/gtest.h>

#include <ctime>

#include "search_input.h"

namespace {

TEST(SearchInput, SizesReadWithTheirUnitsInThousandTwentyFours) {
    struct Case {
        const char* text;
        int64_t bytes;
    };
    for (const Case& c :
         {Case{"123", 123}, Case{" 7 b ", 7}, Case{"100k", 102400}, Case{"100 KB", 102400},
          Case{"500 MB", 500LL << 20}, Case{"1 GB", 1LL << 30}, Case{"2.5g", 5LL << 29},
          Case{"1 GiB", 1LL << 30}, Case{"1t", 1LL << 40}, Case{".5k", 512}}) {
        int64_t bytes = -1;
        EXPECT_TRUE(ReadSizeText(c.text, bytes)) << c.text;
        EXPECT_EQ(bytes, c.bytes) << c.text;
    }
    for (const char* text :
         {"", "k", "1.2.3", "12 parsecs", "-5", "5 kbb", "1e3", "99999999999 t"}) {
        int64_t bytes = -1;
        EXPECT_FALSE(ReadSizeText(text, bytes)) << text;
    }
}

TEST(SearchInput, DaysAreLocalMidnightsOfRealDates) {
    int64_t t = 0;
    ASSERT_TRUE(ReadDayText("2024-02-29", t));
    const std::time_t local = static_cast<std::time_t>(t);
    const std::tm* tm = std::localtime(&local);
    ASSERT_NE(tm, nullptr);
    EXPECT_EQ(tm->tm_year, 124);
    EXPECT_EQ(tm->tm_mon, 1);
    EXPECT_EQ(tm->tm_mday, 29);
    EXPECT_EQ(tm->tm_hour, 0);
    EXPECT_EQ(tm->tm_min, 0);
    for (const char* text :
         {"2023-02-29", "2024-13-01", "2024-1-01", "2024-01-+1", "01.02.2024", ""})
        EXPECT_FALSE(ReadDayText(text, t)) << text;
}

TEST(SearchInput, BoxesReadIntoCriteriaOrSayWhichIsWrong) {
    SearchCriteria criteria;
    std::string error;
    SearchInput input;
    EXPECT_TRUE(ReadSearchInput(input, criteria, error));
    EXPECT_FALSE(AsksAnything(criteria)); // no pattern and no bound: every file is no answer

    input.minSize = "1 GB";
    input.after = "2024-01-01";
    EXPECT_TRUE(ReadSearchInput(input, criteria, error));
    EXPECT_TRUE(AsksAnything(criteria));
    EXPECT_EQ(criteria.nMinBytes, 1LL << 30);
    EXPECT_NE(criteria.tAfter, SearchCriteria::kNoTime);
    EXPECT_EQ(criteria.tBefore, SearchCriteria::kNoTime);

    input.pattern = "*.iso";
    input.before = "yesterday";
    const SearchCriteria before = criteria;
    EXPECT_FALSE(ReadSearchInput(input, criteria, error));
    EXPECT_NE(error.find("yesterday"), std::string::npos);
    EXPECT_EQ(criteria.pattern, before.pattern); // unchanged
}

} // namespace
