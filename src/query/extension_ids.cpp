#include "extension_ids.h"

#include <string_view>

#include "file_extension.h"

ExtensionIds::ExtensionIds() : m_keys(1) {}

uint32_t ExtensionIds::IdOf(const char* fileName) {
    const std::string_view ext = ExtensionOf(fileName);
    if (ext.empty())
        return 0;
    if (ext.size() <= 8) {
        uint64_t packed = 0;
        for (size_t i = 0; i < ext.size(); ++i)
            packed |= uint64_t{static_cast<unsigned char>(LowerAscii(ext[i]))} << (8 * i);
        if (packed == m_nLastPacked && m_nLastId != 0)
            return m_nLastId;
        const auto it = m_short.find(packed);
        const uint32_t id =
            it != m_short.end() ? it->second : (m_short[packed] = Add(ExtensionKey(fileName)));
        m_nLastPacked = packed;
        m_nLastId = id;
        return id;
    }
    std::string key = ExtensionKey(fileName);
    const auto it = m_long.find(key);
    if (it != m_long.end())
        return it->second;
    const uint32_t id = Add(key);
    m_long.emplace(std::move(key), id);
    return id;
}

uint32_t ExtensionIds::Add(std::string key) {
    m_keys.push_back(std::move(key));
    return static_cast<uint32_t>(m_keys.size() - 1);
}
