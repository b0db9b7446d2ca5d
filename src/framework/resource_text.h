#pragma once
// Reading the framework's resource formats: the substrings of a document or prompt
// string, and the toolbar resource. Portable, so it is tested natively.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Substring `index` of a text whose parts are separated by '\n'; empty when missing.
std::string GetSubstring(const std::string& text, int index);

// The parts of a document template's string, in their order.
enum DocStringIndex {
    kWindowTitle = 0,
    kDocName = 1,
    kFileNewName = 2,
    kFilterName = 3,
    kFilterExt = 4,
    kRegFileTypeId = 5,
    kRegFileTypeName = 6,
};

// A command's string: the status-bar prompt, then '\n' and the tooltip text.
inline std::string PromptText(const std::string& text) {
    return GetSubstring(text, 0);
}
inline std::string TipText(const std::string& text) {
    return GetSubstring(text, 1);
}

// The toolbar resource: version 1, image width and height, item count, item ids
// (0 for a separator), all 16-bit little-endian words.
struct ToolbarButtonSpec {
    unsigned nID = 0; // command id; 0 for a separator
    int iImage = -1;  // index in the image strip; -1 for a separator
};
struct ToolbarResource {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<ToolbarButtonSpec> buttons;
};

// False for data that is too short, of another version, or holds no image size.
bool ParseToolbarResource(const void* data, size_t size, ToolbarResource& out);
