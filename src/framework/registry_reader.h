#pragma once
// Reading the registry: the one place that opens keys and reads values for the program
// (the profile, the shell's file classes, the registered browser). Values of any length;
// an expandable string comes back with its environment variables expanded.

#include <windows.h>

#include <optional>
#include <string>

#include "owners.h"

namespace registry {

// The key opened for reading; an empty owner when it is not there or may not be read.
UniqueRegKey OpenForReading(HKEY hRoot, const std::string& subKey);

bool KeyExists(HKEY hRoot, const std::string& subKey);

// A string value (REG_SZ, or REG_EXPAND_SZ expanded) of an open key; `valueName` null or
// empty reads the key's default value. Nothing when the value is absent, not a string, or
// cannot be expanded. A stored string that lacks its terminator is read whole.
std::optional<std::string> ReadString(HKEY hKey, const char* valueName);
std::optional<std::string> ReadString(HKEY hRoot, const std::string& subKey,
                                      const char* valueName);

// A REG_DWORD value; nothing when it is absent or of another type or size.
std::optional<DWORD> ReadDword(HKEY hKey, const char* valueName);

} // namespace registry
