// Short date from the C library: strftime's %x under the user's LC_TIME.
#include "date_text.h"

#include <ctime>

std::string FormatDateTime(int64_t t) {
    const time_t when = static_cast<time_t>(t);
    if (static_cast<int64_t>(when) != t)
        return std::string();
    struct tm local;
    if (!localtime_r(&when, &local))
        return std::string();
    char date[256];
    if (std::strftime(date, sizeof date, "%x", &local) == 0)
        return std::string();
    return AppendClockTime(date, local.tm_hour, local.tm_min);
}
