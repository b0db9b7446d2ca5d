#pragma once
// Which folders look like every other folder to the shell: the same icon and type name.
// Asking the shell for each folder's look by its path costs milliseconds under Wine and
// gives the same answer for all of these, so it is asked once and reused.

#include <string>

// True for a file-system folder that is not a drive's root, a share's root nor a known
// folder (Documents, Pictures, what sits directly in a profile, ...), and has neither the
// read-only nor the system attribute (which let a folder pick its own icon and type through
// its desktop.ini) nor a reparse point's overlay. `path` may end in a backslash.
bool HasPlainFolderLook(const std::string& path);
