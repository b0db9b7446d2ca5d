#include "platform.h"

#include <unistd.h>
#include <vector>

#include "generic_type_name.h"
#include "path_text.h"

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
    // Drop "." and empty parts and resolve ".." by name, as the Windows runtime's
    // _fullpath does, so the Path line names the folder the way it was asked for.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string ShellTypeName(const std::string&, const char* name, bool bFolder) {
    return GenericTypeName(name, bFolder);
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void PrepareConsole() {}
