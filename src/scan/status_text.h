#pragma once
// The status line under the folder list: the direct counts, and the total once known.

#include <cstdint>
#include <string>

// "%d directory, %d files", with ", Total Size:%s" when the total is above 0.
// The words never change between singular and plural.
std::string FormatStatusText(int folderCount, int fileCount, int64_t totalBytes);
