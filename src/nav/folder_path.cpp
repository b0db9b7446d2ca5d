#include "folder_path.h"

std::string TrimFolderPath(std::string path) {
    while (!path.empty() && (path.back() == ' ' || path.back() == '\t' || path.back() == '\r' ||
                             path.back() == '\n' || path.back() == '\v' || path.back() == '\f'))
        path.pop_back();
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

bool IsDriveNodeText(const std::string& text) {
    const std::string::size_type colon = text.find(':');
    return colon != std::string::npos && colon > 0;
}
