#include "status_text.h"

#include <cstdio>

#include "size_text.h"

std::string FormatStatusText(int folderCount, int fileCount, int64_t totalBytes,
                             SizeMeasure measure) {
    char counts[64];
    std::snprintf(counts, sizeof counts, "%d directory, %d files", folderCount, fileCount);
    std::string text = counts;
    if (totalBytes > 0)
        text += (measure == SizeMeasure::OnDisk ? ", Size on Disk:" : ", Total Size:") +
                FormatSize(totalBytes);
    return text;
}

std::string FormatOpeningText(const std::string& path, uint64_t bytesRead, uint64_t fileBytes) {
    const size_t separator = path.find_last_of("\\/");
    std::string text = "Opening " + path.substr(separator == std::string::npos ? 0 : separator + 1);
    text += ": ";
    if (fileBytes > 0) {
        const uint64_t read = bytesRead < fileBytes ? bytesRead : fileBytes;
        text += std::to_string(read * 100 / fileBytes) + "% (" +
                FormatSize(static_cast<int64_t>(read)) + " of " +
                FormatSize(static_cast<int64_t>(fileBytes)) + ")";
    } else {
        text += FormatSize(static_cast<int64_t>(bytesRead));
    }
    return text + ". Esc stops.";
}

std::string ScanMethodNote(const ScanMethod& method) {
    if (method.way == ScanMethod::Way::ReadingWhole)
        return "reading the drive's file table";
    if (method.way != ScanMethod::Way::Walk)
        return "";
    switch (method.outcome) {
    case WholeTreeSource::Outcome::Denied:
        return "walked: File > Restart as Administrator scans faster";
    case WholeTreeSource::Outcome::Failed:
        return "walked, as the drive's file table did not add up: " + method.why;
    default:
        return "";
    }
}
