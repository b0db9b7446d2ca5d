#include "profile.h"

#include <cstring>

#include "registry_reader.h"

namespace {

UniqueRegKey OpenForWriting(const std::string& path) {
    UniqueRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        key.Release();
    return key;
}

} // namespace

void CRegistryProfile::SetLocation(const std::string& company, const std::string& application) {
    m_strCompany = company;
    m_strApplication = application;
}

std::string CRegistryProfile::KeyPath(const char* lpszSection) const {
    std::string path = "Software\\" + m_strCompany + "\\" + m_strApplication;
    if (lpszSection && *lpszSection)
        path += std::string("\\") + lpszSection;
    return path;
}

UINT CRegistryProfile::GetInt(const char* lpszSection, const char* lpszEntry, int nDefault) const {
    if (!IsSet())
        return static_cast<UINT>(nDefault);
    const std::optional<DWORD> value = registry::ReadDword(
        registry::OpenForReading(HKEY_CURRENT_USER, KeyPath(lpszSection)).Get(), lpszEntry);
    return value ? *value : static_cast<UINT>(nDefault);
}

bool CRegistryProfile::WriteInt(const char* lpszSection, const char* lpszEntry, int nValue) const {
    if (!IsSet())
        return false;
    const UniqueRegKey key = OpenForWriting(KeyPath(lpszSection));
    const DWORD value = static_cast<DWORD>(nValue);
    return key && RegSetValueExA(key.Get(), lpszEntry, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value)) == ERROR_SUCCESS;
}

std::string CRegistryProfile::GetString(const char* lpszSection, const char* lpszEntry,
                                        const char* lpszDefault) const {
    const std::string fallback = lpszDefault ? lpszDefault : "";
    if (!IsSet())
        return fallback;
    return registry::ReadString(HKEY_CURRENT_USER, KeyPath(lpszSection), lpszEntry)
        .value_or(fallback);
}

bool CRegistryProfile::WriteString(const char* lpszSection, const char* lpszEntry,
                                   const char* lpszValue) const {
    if (!IsSet())
        return false;
    if (!lpszEntry) {
        const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath(lpszSection).c_str());
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    if (!lpszValue) {
        if (!registry::KeyExists(HKEY_CURRENT_USER, KeyPath(lpszSection)))
            return true;
        const UniqueRegKey key = OpenForWriting(KeyPath(lpszSection));
        if (!key)
            return false;
        const LONG result = RegDeleteValueA(key.Get(), lpszEntry);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    const UniqueRegKey key = OpenForWriting(KeyPath(lpszSection));
    return key && RegSetValueExA(key.Get(), lpszEntry, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(lpszValue),
                                 static_cast<DWORD>(strlen(lpszValue) + 1)) == ERROR_SUCCESS;
}
