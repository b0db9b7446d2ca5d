#pragma once
// The names a Windows shell gives types it has no registration for: "File folder",
// "TXT File" (the extension in upper case), or "File" for a name without extension.
// Used where no shell names types, so reports read alike on every system.

#include <string>

std::string GenericTypeName(const char* name, bool bFolder);
