#pragma once
// The application's profile in the registry: HKEY_CURRENT_USER\Software\<company>\<app>,
// one key per section, integers as REG_DWORD and strings as REG_SZ. Reading never
// creates a key, so a program that only reads leaves no trace.

#include <windows.h>

#include <string>

class CRegistryProfile {
public:
    void SetLocation(const std::string& company, const std::string& application);
    bool IsSet() const { return !m_strCompany.empty() && !m_strApplication.empty(); }
    // "Software\<company>\<app>", or with "\<section>" added.
    std::string KeyPath(const char* lpszSection = nullptr) const;

    UINT GetInt(const char* lpszSection, const char* lpszEntry, int nDefault) const;
    bool WriteInt(const char* lpszSection, const char* lpszEntry, int nValue) const;
    std::string GetString(const char* lpszSection, const char* lpszEntry,
                          const char* lpszDefault = "") const;
    // A null entry deletes the whole section; a null value deletes the entry.
    bool WriteString(const char* lpszSection, const char* lpszEntry, const char* lpszValue) const;

private:
    std::string m_strCompany;
    std::string m_strApplication;
};
