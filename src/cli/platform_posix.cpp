#include "platform.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "generic_type_name.h"
#include "path_text.h"

namespace {

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}

std::vector<std::string> SplitParts(const std::string& absolutePath) {
    std::vector<std::string> parts;
    size_t start = 1;
    while (start < absolutePath.size()) {
        size_t end = absolutePath.find('/', start);
        if (end == std::string::npos)
            end = absolutePath.size();
        if (end > start)
            parts.push_back(absolutePath.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

std::string AbsoluteFolderPath(const std::string& path) {
    std::string full = path;
    if (full.empty() || full[0] != '/') {
        std::vector<char> cwd(4096);
        while (!getcwd(cwd.data(), cwd.size())) {
            if (cwd.size() > (1u << 20))
                return path;
            cwd.resize(cwd.size() * 2);
        }
        full = JoinPath(cwd.data(), path.c_str());
    }
    // Drop "." and empty parts and resolve ".." by name, so the Path line names the
    // folder the way it was asked for; but ".." after a symbolic link is the parent of
    // the link's target, as the system resolves it, so that prefix is resolved first.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            const std::string before = JoinParts(parts);
            struct stat st;
            if (lstat(before.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
                if (char* target = realpath(before.c_str(), nullptr)) {
                    parts = SplitParts(target);
                    std::free(target);
                }
            }
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return JoinParts(parts);
}

std::string ShellTypeName(const std::string&, const char* name, bool bFolder) {
    return GenericTypeName(name, bFolder);
}

bool FileModifiedTime(const std::string& path, int64_t& seconds) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return false;
    seconds = static_cast<int64_t>(st.st_mtime);
    return true;
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void PrepareConsole() {}

void MakeBinary(std::FILE*) {}
