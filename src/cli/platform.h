#pragma once
// What dscp-report needs from the platform, one backend file per system.

#include <cstdint>
#include <cstdio>
#include <string>

// The absolute form of `path`, without a trailing separator (a root stays a root).
std::string AbsoluteFolderPath(const std::string& path);

// The type name the list's Type column shows for an entry.
std::string ShellTypeName(const std::string& path, const char* name, bool bFolder);

// The file's last-write time in seconds since 1970-01-01 00:00 UTC; false when it cannot be
// read (the file is gone).
bool FileModifiedTime(const std::string& path, int64_t& seconds);

bool StandardErrorIsTerminal();

// Lets the console show the program's UTF-8 text.
void PrepareConsole();

// Writes to `file` go out byte for byte, without line-end translation.
void MakeBinary(std::FILE* file);
