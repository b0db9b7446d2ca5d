#pragma once
// The Date cell's text: the user's short date, a blank, then hour and minute of the
// 24-hour clock without leading zeros ("5/29/2006 16:5"). A time the local-time
// conversion rejects gives an empty text.

#include <cstdint>
#include <string>

std::string FormatDateTime(int64_t t);

// Appends " %d:%d" with the hour and minute to a formatted date.
std::string AppendClockTime(std::string date, int hour, int minute);
