#include "extension_ids.h"

#include <cstring>
#include <string_view>

#include "file_extension.h"

namespace {

size_t Slot(uint64_t packed, size_t mask) {
    return static_cast<size_t>((packed * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

} // namespace

ExtensionIds::ExtensionIds() : m_keys(1), m_shortKeys(64), m_shortIds(64) {}

uint32_t ExtensionIds::IdOf(const char* fileName) {
    const char* dot = std::strrchr(fileName, '.');
    const std::string_view ext =
        dot && dot != fileName ? std::string_view(dot + 1) : std::string_view();
    if (ext.empty())
        return 0;
    if (ext.size() <= 8) {
        uint64_t packed = 0;
        for (size_t i = 0; i < ext.size(); ++i)
            packed |= uint64_t{static_cast<unsigned char>(LowerAscii(ext[i]))} << (8 * i);
        return ShortId(packed, fileName);
    }
    std::string key = ExtensionKey(fileName);
    const auto it = m_long.find(key);
    if (it != m_long.end())
        return it->second;
    const uint32_t id = Add(key);
    m_long.emplace(std::move(key), id);
    return id;
}

uint32_t ExtensionIds::ShortId(uint64_t packed, const char* fileName) {
    const size_t mask = m_shortKeys.size() - 1;
    size_t slot = Slot(packed, mask);
    while (m_shortKeys[slot] != 0) {
        if (m_shortKeys[slot] == packed)
            return m_shortIds[slot];
        slot = (slot + 1) & mask;
    }
    const uint32_t id = Add(ExtensionKey(fileName));
    m_shortKeys[slot] = packed;
    m_shortIds[slot] = id;
    if (++m_nShort * 2 > m_shortKeys.size())
        GrowShort();
    return id;
}

void ExtensionIds::GrowShort() {
    std::vector<uint64_t> keys(m_shortKeys.size() * 2);
    std::vector<uint32_t> ids(keys.size());
    const size_t mask = keys.size() - 1;
    for (size_t i = 0; i < m_shortKeys.size(); ++i) {
        if (m_shortKeys[i] == 0)
            continue;
        size_t slot = Slot(m_shortKeys[i], mask);
        while (keys[slot] != 0)
            slot = (slot + 1) & mask;
        keys[slot] = m_shortKeys[i];
        ids[slot] = m_shortIds[i];
    }
    m_shortKeys.swap(keys);
    m_shortIds.swap(ids);
}

uint32_t ExtensionIds::Add(std::string key) {
    m_keys.push_back(std::move(key));
    return static_cast<uint32_t>(m_keys.size() - 1);
}
