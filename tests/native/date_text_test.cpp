// Runs with TZ=UTC and the C locale (set by the test's environment), which is
// the United States short date under Wine and %x's "mm/dd/yy" on Linux.
#include <gtest/gtest.h>

#include "date_text.h"

namespace {
constexpr int64_t k20060529 = 1148860800; // 2006-05-29 00:00 UTC
}

TEST(FormatDateTime, HourAndMinuteWithoutLeadingZeros) {
#ifdef _WIN32
    const std::string day = "5/29/2006";
#else
    const std::string day = "05/29/06";
#endif
    EXPECT_EQ(FormatDateTime(k20060529 + 16 * 3600 + 5 * 60), day + " 16:5");
    EXPECT_EQ(FormatDateTime(k20060529 + 4 * 3600 + 59 * 60), day + " 4:59");
    EXPECT_EQ(FormatDateTime(k20060529 + 9 * 3600 + 30 * 60), day + " 9:30");
    EXPECT_EQ(FormatDateTime(k20060529), day + " 0:0");
}

TEST(FormatDateTime, DatesAfter2038) {
#ifdef _WIN32
    EXPECT_EQ(FormatDateTime(INT64_C(2208988800) + 3600), "1/1/2040 1:0");
#else
    EXPECT_EQ(FormatDateTime(INT64_C(2208988800) + 3600), "01/01/40 1:0");
#endif
}

TEST(FormatDateTime, RejectedTimesGiveAnEmptyText) {
    EXPECT_EQ(FormatDateTime(INT64_MAX), "");
#ifdef _WIN32
    EXPECT_EQ(FormatDateTime(-1), ""); // the runtime rejects times before 1970
#endif
}

TEST(AppendClockTime, AppendsBlankHourColonMinute) {
    EXPECT_EQ(AppendClockTime("d", 0, 0), "d 0:0");
    EXPECT_EQ(AppendClockTime("d", 23, 59), "d 23:59");
}
