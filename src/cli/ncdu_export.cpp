#include "ncdu_export.h"

#include "path_text.h"

namespace {

// Of the paths of everything that could not be read, the ones the snapshot holds as files.
UnreadFiles FindUnreadFiles(const FolderSnapshot& snapshot,
                            const std::vector<UnreadablePath>& unreadable) {
    UnreadFiles files;
    for (const UnreadablePath& part : unreadable) {
        const std::string& path = part.path;
        const size_t separator = path.rfind(kPathSeparator);
        if (separator == std::string::npos || snapshot.Find(path) != FolderSnapshot::kNone)
            continue; // a folder: the snapshot knows whether it was read
        // The root's separator is part of its name ("/", "C:\\").
        const std::string folderPath = path.substr(0, separator ? separator : 1);
        const FolderSnapshot::Index folder = snapshot.Find(folderPath);
        if (folder != FolderSnapshot::kNone)
            files[folder].insert(path.substr(separator + 1));
    }
    return files;
}

} // namespace

NcduExportInfo ReportExportInfo(const FolderReport& report) {
    NcduExportInfo info;
    info.rootName = report.folderPath;
    info.nDevice = report.nDevice;
    info.nOwnBytes = report.nOwnBytes;
    info.nOwnDiskBytes = report.nOwnDiskBytes;
    info.pLinkedNames = &report.linkedNames;
    info.unreadFiles = FindUnreadFiles(report.snapshot, report.unreadable);
    return info;
}
