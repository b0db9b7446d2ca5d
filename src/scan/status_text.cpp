#include "status_text.h"

#include <cstdio>

#include "size_text.h"

std::string FormatStatusText(int folderCount, int fileCount, int64_t totalBytes) {
    char counts[64];
    std::snprintf(counts, sizeof counts, "%d directory, %d files", folderCount, fileCount);
    std::string text = counts;
    if (totalBytes > 0)
        text += ", Total Size:" + FormatSize(totalBytes);
    return text;
}
