#pragma once
// One colour per file type for as long as the program runs: a type gets its colour the
// first time anything asks for it and keeps it, whichever folder is shown later, whatever is
// deleted; a colour once given goes to no other type. The treemap paints with these colours
// and the list of types shows them as its legend, so both ask the program's one table.
//
// The first twelve colours are hues far apart of similar lightness; later ones step round
// the hue circle by the golden angle and through three lightness levels, so that two types
// given colours one after the other never look alike. Callers that meet many new types at
// once ask for the largest first: those get the clearest colours.
//
// Colours are 0xAARRGGBB, alpha opaque. Safe to use from any thread.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

class TypeColourTable {
public:
    // The colour of the extension `key` (see ExtensionKey; "" for names without one), given
    // now when it has none yet.
    uint32_t ColourOf(const std::string& key);
    // How many types have a colour.
    size_t Count() const;

    // The table the program's views share.
    static TypeColourTable& Program();

private:
    uint32_t NextFreeColour();

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, uint32_t> m_colours;
    std::unordered_set<uint32_t> m_given;
    size_t m_nNext = 0; // the next step of the colour sequence
};
