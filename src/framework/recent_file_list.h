#pragma once
// The recent-file list: the last documents opened, newest first, kept in the profile
// section "Recent File List" as "File1", "File2", ... It is written back only when it
// changed, so a run that opens nothing writes nothing.

#include <string>
#include <vector>

class CRegistryProfile;

class CRecentFileList {
public:
    explicit CRecentFileList(size_t nSize) : m_nSize(nSize) {}

    void ReadList(const CRegistryProfile& profile);
    void WriteList(const CRegistryProfile& profile);
    void Add(const std::string& pathName);
    const std::vector<std::string>& Names() const { return m_arrNames; }
    bool IsChanged() const { return m_bChanged; }

    static constexpr const char* kSection = "Recent File List";

private:
    size_t m_nSize;
    std::vector<std::string> m_arrNames;
    bool m_bChanged = false;
};
