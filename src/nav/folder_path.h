#pragma once
// The current folder as the tree's selected path gives it: without trailing white space
// and without trailing backslashes, so a drive root "C:\" becomes "C:".

#include <string>

std::string TrimFolderPath(std::string path);

// Whether a node text names a drive: a colon after at least one character, as in
// "Local Disk (C:)".
bool IsDriveNodeText(const std::string& text);
