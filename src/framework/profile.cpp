#include "profile.h"

#include <cstring>
#include <vector>

namespace {

// Opens an existing key for reading; null when it is not there.
HKEY OpenForReading(const std::string& path) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

HKEY OpenForWriting(const std::string& path) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
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
    HKEY hKey = OpenForReading(KeyPath(lpszSection));
    if (!hKey)
        return static_cast<UINT>(nDefault);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG result =
        RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(hKey);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return static_cast<UINT>(nDefault);
    return value;
}

bool CRegistryProfile::WriteInt(const char* lpszSection, const char* lpszEntry, int nValue) const {
    if (!IsSet())
        return false;
    HKEY hKey = OpenForWriting(KeyPath(lpszSection));
    if (!hKey)
        return false;
    const DWORD value = static_cast<DWORD>(nValue);
    const LONG result = RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(hKey);
    return result == ERROR_SUCCESS;
}

std::string CRegistryProfile::GetString(const char* lpszSection, const char* lpszEntry,
                                        const char* lpszDefault) const {
    const std::string fallback = lpszDefault ? lpszDefault : "";
    if (!IsSet())
        return fallback;
    HKEY hKey = OpenForReading(KeyPath(lpszSection));
    if (!hKey)
        return fallback;
    DWORD type = 0;
    DWORD size = 0;
    std::string value = fallback;
    if (RegQueryValueExA(hKey, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = size;
        if (RegQueryValueExA(hKey, lpszEntry, nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &got) == ERROR_SUCCESS)
            value = std::string(buffer.data()); // stored strings may lack their terminator
    }
    RegCloseKey(hKey);
    return value;
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
        HKEY hKey = OpenForReading(KeyPath(lpszSection));
        if (!hKey)
            return true;
        RegCloseKey(hKey);
        hKey = OpenForWriting(KeyPath(lpszSection));
        if (!hKey)
            return false;
        const LONG result = RegDeleteValueA(hKey, lpszEntry);
        RegCloseKey(hKey);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    HKEY hKey = OpenForWriting(KeyPath(lpszSection));
    if (!hKey)
        return false;
    const LONG result =
        RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                       static_cast<DWORD>(strlen(lpszValue) + 1));
    RegCloseKey(hKey);
    return result == ERROR_SUCCESS;
}
