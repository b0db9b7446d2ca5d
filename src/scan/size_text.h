#pragma once
// The Size cell's text and its reading back. The list keeps only texts, so this
// format is read by sorting and totalling and must stay exactly as it is:
// "0 KB", or a number with one decimal, a blank and "KB", "MB" or "GB".

#include <cstdint>
#include <string>

std::string FormatSize(int64_t bytes);

// A size text back to whole kilobytes (the number times 1, 1024 or 1048576 by its
// unit, cut toward zero). Texts shorter than three characters give 0.
int64_t ParseSizeText(const std::string& text);
