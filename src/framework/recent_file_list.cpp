#include "recent_file_list.h"

#include <algorithm>

#include <cstring>
#include "profile.h"

void CRecentFileList::ReadList(const CRegistryProfile& profile) {
    m_arrNames.clear();
    for (size_t i = 0; i < m_nSize; ++i) {
        const std::string entry = "File" + std::to_string(i + 1);
        const std::string name = profile.GetString(kSection, entry.c_str(), "");
        if (!name.empty())
            m_arrNames.push_back(name);
    }
    m_bChanged = false;
}

void CRecentFileList::WriteList(const CRegistryProfile& profile) {
    if (!m_bChanged)
        return;
    profile.WriteString(kSection, nullptr, nullptr);
    for (size_t i = 0; i < m_arrNames.size(); ++i) {
        const std::string entry = "File" + std::to_string(i + 1);
        profile.WriteString(kSection, entry.c_str(), m_arrNames[i].c_str());
    }
    m_bChanged = false;
}

void CRecentFileList::Add(const std::string& pathName) {
    if (m_nSize == 0 || pathName.empty())
        return;
    const auto same = [&](const std::string& name) {
        return _stricmp(name.c_str(), pathName.c_str()) == 0;
    };
    if (!m_arrNames.empty() && same(m_arrNames.front()))
        return;
    m_arrNames.erase(std::remove_if(m_arrNames.begin(), m_arrNames.end(), same), m_arrNames.end());
    m_arrNames.insert(m_arrNames.begin(), pathName);
    if (m_arrNames.size() > m_nSize)
        m_arrNames.resize(m_nSize);
    m_bChanged = true;
}
