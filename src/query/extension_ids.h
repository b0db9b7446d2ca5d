#pragma once
// Small numbers for the extensions met while going through many names: id 0 is the names
// without an extension, the others follow first sight. Extensions of up to 8 bytes (nearly
// all) are looked up packed into one integer, longer ones by their text, so counting a
// million names costs a hash lookup each and no allocation.

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

    std::vector<std::string> m_keys;
    std::unordered_map<uint64_t, uint32_t> m_short;
    // The short key met last: files side by side tend to be of one type.
    uint64_t m_nLastPacked = 0;
    uint32_t m_nLastId = 0;
    std::unordered_map<std::string, uint32_t> m_long;
};
