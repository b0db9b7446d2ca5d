#pragma once
// The path lists the shell's file operation takes, and which paths may go into one.
// Portable: no platform headers.

#include <cstddef>
#include <string>
#include <vector>

// Every path followed by a zero byte, and one more zero byte after the last: sized for
// the paths as they are, however long. No paths: just the two zero bytes.
std::string BuildPathList(const std::vector<std::string>& paths);

// True when the path holds '?' or '*': the file operation would take it as a pattern
// and act on every match, so such a path is never handed to it.
bool HasWildcard(const std::string& path);

// The text after the last backslash (all of it when there is none).
std::string FinalNameComponent(const std::string& path);

// The sources of a delete: the folder joined to each name ("%s\%s"), those with a
// wildcard left out.
std::vector<std::string> DeleteSources(const std::string& folder,
                                       const std::vector<std::string>& names);

// Sources and destinations of a paste into `folder`, pair by pair: the destination is
// the folder, a backslash and the source's final name. A pair with a wildcard on either
// side, or a source without a final name, is left out.
struct PastePlan {
    std::vector<std::string> sources;
    std::vector<std::string> destinations;
};
PastePlan PlanPaste(const std::string& folder, const std::vector<std::string>& files);

// The drop effect of the clipboard's "Preferred DropEffect" data: its first 32 bits,
// little-endian, when it holds at least four bytes; copying (1) otherwise. Returns 2
// when the move bit is set, else 1.
int PasteEffectOf(const unsigned char* data, size_t size);

// True when `data` (`size` bytes) is a dropped-file list the shell can walk without
// reading past its end: a 20-byte header whose first 32 bits give the list's offset and
// whose last 32 bits say whether names are 16-bit, then names each ended by a zero unit,
// the list ended by one more zero unit, all inside `size`. A list another program
// left without its final zero would make the shell read whatever lies beyond the block.
bool IsWholeFileList(const unsigned char* data, size_t size);

// A folder to start a program in: a bare drive ("C:") gets its root backslash.
std::string WorkingFolderOf(const std::string& folder);
