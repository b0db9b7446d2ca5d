#include "date_text.h"

#include <cstdio>

std::string AppendClockTime(std::string date, int hour, int minute) {
    char clock[32];
    std::snprintf(clock, sizeof clock, " %d:%d", hour, minute);
    return date + clock;
}
