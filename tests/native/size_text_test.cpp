#include <gtest/gtest.h>

#include "size_text.h"

TEST(FormatSize, KilobytesWithTiesAwayFromZero) {
    EXPECT_EQ(FormatSize(0), "0 KB");
    EXPECT_EQ(FormatSize(1), "0.0 KB");
    EXPECT_EQ(FormatSize(51), "0.0 KB");
    EXPECT_EQ(FormatSize(52), "0.1 KB");
    EXPECT_EQ(FormatSize(256), "0.3 KB"); // 0.25: printf would give 0.2
    EXPECT_EQ(FormatSize(768), "0.8 KB"); // 0.75
    EXPECT_EQ(FormatSize(1023), "1.0 KB");
    EXPECT_EQ(FormatSize(1024), "1.0 KB");
    EXPECT_EQ(FormatSize(1280), "1.3 KB"); // 1.25
    EXPECT_EQ(FormatSize(1536), "1.5 KB");
    EXPECT_EQ(FormatSize(1048575), "1024.0 KB");
}

TEST(FormatSize, MegabytesAndGigabytes) {
    EXPECT_EQ(FormatSize(1048576), "1.0 MB");
    EXPECT_EQ(FormatSize(123456789), "117.7 MB");
    EXPECT_EQ(FormatSize(1073741823), "1024.0 MB");
    EXPECT_EQ(FormatSize(1073741824), "1.0 GB");
    EXPECT_EQ(FormatSize(INT64_C(2147483648)), "2.0 GB");
    EXPECT_EQ(FormatSize(INT64_C(4294967295)), "4.0 GB");
    EXPECT_EQ(FormatSize(INT64_C(4294967296)), "4.0 GB");
    EXPECT_EQ(FormatSize(INT64_C(5) << 40), "5120.0 GB");
    EXPECT_EQ(FormatSize(INT64_C(1342177280)), "1.3 GB"); // exactly 1.25 GB
}

TEST(FormatSize, ExtremesDoNotOverflow) {
    EXPECT_EQ(FormatSize(INT64_MAX), "8589934592.0 GB");
    EXPECT_EQ(FormatSize(-1280), "-1.3 KB");
    EXPECT_EQ(FormatSize(INT64_MIN), "-8589934592.0 GB");
}

TEST(ParseSizeText, ReadsKilobytesCutTowardZero) {
    EXPECT_EQ(ParseSizeText("0 KB"), 0);
    EXPECT_EQ(ParseSizeText(""), 0);
    EXPECT_EQ(ParseSizeText("KB"), 0);
    EXPECT_EQ(ParseSizeText("0.3 KB"), 0);
    EXPECT_EQ(ParseSizeText("900.0 KB"), 900);
    EXPECT_EQ(ParseSizeText("2.0 MB"), 2048);
    EXPECT_EQ(ParseSizeText("117.7 MB"), 120524); // 120524.8 cut
    EXPECT_EQ(ParseSizeText("1.5 GB"), 1572864);
    EXPECT_GT(ParseSizeText("1.0 GB"), ParseSizeText("1023.9 MB"));
    EXPECT_EQ(ParseSizeText("junk"), 0);
}

TEST(ParseSizeText, KilobytesBeyondThirtyTwoBits) {
    EXPECT_EQ(ParseSizeText("5120.0 GB"), INT64_C(5368709120));
}
