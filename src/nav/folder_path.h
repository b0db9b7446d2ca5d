#pragma once
// The current folder as the tree's selected path gives it: without trailing white space
// and without trailing backslashes, so a drive root "C:\" becomes "C:".

#include <optional>
#include <string>
#include <vector>

std::string TrimFolderPath(std::string path);

// Whether a node text names a drive: a colon after at least one character, as in
// "Local Disk (C:)".
bool IsDriveNodeText(const std::string& text);

// A typed path as the tree reaches it: the drive ("C:") and the folder names below it.
// Forward slashes count as backslashes; white space around the path, quotes around it,
// repeated and trailing separators and "." go; ".." climbs. A path the tree cannot reach
// (relative, a share, a name the file system refuses) has none.
struct FolderSteps {
    std::string drive;
    std::vector<std::string> names;
};
std::optional<FolderSteps> SplitTypedPath(std::string path);
// The steps joined again into the folder path the list would show ("C:\a\b", "C:").
std::string JoinFolderSteps(const FolderSteps& steps);
