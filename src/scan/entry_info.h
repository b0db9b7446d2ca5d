#pragma once
// What the system says of one entry, found by its path rather than by enumerating its
// folder: what a watcher asks of each name it hears about. One backend per platform.

#include <string>

#include "dir_enum.h"

// Fills `item` (all but its name) for the file or folder at `path`; a link is not followed
// (a link to a folder is reported as one, bReparsePoint set). False when it is not there
// or cannot be looked at.
bool ReadEntryInfo(const std::string& path, DirItem& item);
