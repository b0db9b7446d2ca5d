#include "platform.h"

#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>
#include <shellapi.h>

#include "path_text.h"
#include "shell_file_types.h"

std::string AbsoluteFolderPath(const std::string& path) {
    char* full = _fullpath(nullptr, path.c_str(), 0);
    if (!full)
        return path;
    std::string result = TrimTrailingSeparators(full);
    std::free(full);
    return result;
}

std::string ShellTypeName(const std::string& path, const char* name, bool bFolder) {
    // A file's type follows from its extension: asked of the shell once per extension,
    // which keeps a folder of many files from costing a shell call per row.
    static CShellFileTypes types;
    if (bFolder)
        return types.FolderInfo(path).szTypeName;
    return types.FileTypeName(path, name);
}

bool FileModifiedTime(const std::string& path, int64_t& seconds) {
    struct __stat64 st;
    if (_stat64(path.c_str(), &st) != 0)
        return false;
    seconds = static_cast<int64_t>(st.st_mtime);
    return true;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void PrepareConsole() {
    // The active code page is UTF-8 (see the manifest); make the console agree.
    SetConsoleOutputCP(CP_UTF8);
}

void MakeBinary(std::FILE* file) {
    _setmode(_fileno(file), _O_BINARY);
}
