#pragma once
// Small numbers for the extensions met while going through many names: id 0 is the names
// without an extension, the others follow first sight. Extensions of up to 8 bytes (nearly
// all) are looked up packed into one integer in a table of their own (open addressing: one
// multiply and usually one probe), longer ones by their text, so counting a million names
// costs no allocation.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class ExtensionIds {
public:
    ExtensionIds();

    // The id of the name's extension, added on first sight.
    uint32_t IdOf(const char* fileName);
    // The extension's key (lower case; "" for id 0).
    const std::string& Key(uint32_t id) const { return m_keys[id]; }
    size_t Count() const { return m_keys.size(); }

private:
    uint32_t Add(std::string key);
    uint32_t ShortId(uint64_t packed, const char* fileName);
    void GrowShort();

    std::vector<std::string> m_keys;
    // Packed keys (never 0: an extension is not empty) and their ids; 0 marks a free slot.
    // At most half full.
    std::vector<uint64_t> m_shortKeys;
    std::vector<uint32_t> m_shortIds;
    size_t m_nShort = 0;
    std::unordered_map<std::string, uint32_t> m_long;
};
