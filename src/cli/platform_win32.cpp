#include "platform.h"

#include <cstdlib>
#include <io.h>
#include <stdio.h>
#include <windows.h>
#include <shellapi.h>

#include "path_text.h"

std::string AbsoluteFolderPath(const std::string& path) {
    char* full = _fullpath(nullptr, path.c_str(), 0);
    if (!full)
        return path;
    std::string result = TrimTrailingSeparators(full);
    std::free(full);
    return result;
}

std::string ShellTypeName(const std::string& path, const char*, bool) {
    SHFILEINFOA info = {};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME))
        return std::string();
    return info.szTypeName;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void PrepareConsole() {
    // The active code page is UTF-8 (see the manifest); make the console agree.
    SetConsoleOutputCP(CP_UTF8);
}
