#include "path_list.h"

namespace {

unsigned long Read32(const unsigned char* data) {
    return static_cast<unsigned long>(data[0]) | static_cast<unsigned long>(data[1]) << 8 |
           static_cast<unsigned long>(data[2]) << 16 | static_cast<unsigned long>(data[3]) << 24;
}

} // namespace

std::string BuildPathList(const std::vector<std::string>& paths) {
    size_t nBytes = 1;
    for (const std::string& path : paths)
        nBytes += path.size() + 1;
    std::string list;
    list.reserve(nBytes + (paths.empty() ? 1 : 0));
    for (const std::string& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';
    if (paths.empty())
        list += '\0'; // an empty list still ends in two zero bytes
    return list;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of("?*") != std::string::npos;
}

std::string FinalNameComponent(const std::string& path) {
    const size_t pos = path.rfind('\\');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::vector<std::string> DeleteSources(const std::string& folder,
                                       const std::vector<std::string>& names) {
    std::vector<std::string> sources;
    for (const std::string& name : names) {
        std::string path = folder + "\\" + name;
        if (!name.empty() && !HasWildcard(path))
            sources.push_back(std::move(path));
    }
    return sources;
}

PastePlan PlanPaste(const std::string& folder, const std::vector<std::string>& files) {
    PastePlan plan;
    for (const std::string& source : files) {
        if (source.empty())
            continue;
        const std::string name = FinalNameComponent(source);
        std::string destination = folder + "\\" + name;
        if (name.empty() || HasWildcard(source) || HasWildcard(destination))
            continue;
        plan.sources.push_back(source);
        plan.destinations.push_back(std::move(destination));
    }
    return plan;
}

int PasteEffectOf(const unsigned char* data, size_t size) {
    unsigned long effect = 1; // missing or short data: copy
    if (data && size >= 4)
        effect = Read32(data);
    return (effect & 2) ? 2 : 1;
}

bool IsWholeFileList(const unsigned char* data, size_t size) {
    constexpr size_t kHeaderBytes = 20;
    if (!data || size < kHeaderBytes)
        return false;
    const size_t unit = Read32(data + 16) ? 2 : 1;
    const auto isZeroAt = [&](size_t at) {
        return data[at] == 0 && (unit == 1 || data[at + 1] == 0);
    };
    size_t at = Read32(data);
    if (at < kHeaderBytes)
        return false;
    // As the shell walks it: past a name and its zero, then a zero ends the list.
    for (;;) {
        for (;;) {
            if (at > size || size - at < unit)
                return false;
            const bool bEnd = isZeroAt(at);
            at += unit;
            if (bEnd)
                break;
        }
        if (at > size || size - at < unit)
            return false;
        if (isZeroAt(at))
            return true;
    }
}

std::string WorkingFolderOf(const std::string& folder) {
    if (folder.size() == 2 && folder[1] == ':')
        return folder + "\\";
    return folder;
}
