#include <gtest/gtest.h>

#include "status_text.h"

TEST(FormatStatusText, CountsThenTotalWhenAboveZero) {
    EXPECT_EQ(FormatStatusText(2, 1, 8193 * 1024), "2 directory, 1 files, Total Size:8.0 MB");
    EXPECT_EQ(FormatStatusText(1, 1, 0), "1 directory, 1 files");
    EXPECT_EQ(FormatStatusText(0, 0, -1), "0 directory, 0 files");
    EXPECT_EQ(FormatStatusText(0, 1000, 100000), "0 directory, 1000 files, Total Size:97.7 KB");
}
