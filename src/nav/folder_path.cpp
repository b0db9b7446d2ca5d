#include "folder_path.h"

#include <algorithm>
#include <cctype>

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

std::optional<FolderSteps> SplitTypedPath(std::string path) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!path.empty() && isSpace(path.back()))
        path.pop_back();
    size_t start = 0;
    while (start < path.size() && isSpace(path[start]))
        ++start;
    path.erase(0, start);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (path.size() < 2 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
        (path.size() > 2 && path[2] != '\\'))
        return std::nullopt;
    FolderSteps steps;
    steps.drive =
        std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) + ":";
    size_t at = 2;
    while (at < path.size()) {
        const size_t end = std::min(path.find('\\', at), path.size());
        const std::string name = path.substr(at, end - at);
        at = end + 1;
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (!steps.names.empty())
                steps.names.pop_back();
            continue;
        }
        if (name.find_first_of("<>:\"|?*") != std::string::npos)
            return std::nullopt;
        steps.names.push_back(name);
    }
    return steps;
}

std::string JoinFolderSteps(const FolderSteps& steps) {
    std::string path = steps.drive;
    for (const std::string& name : steps.names)
        path += "\\" + name;
    return path;
}
