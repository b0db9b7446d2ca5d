#include "registry_win32.h"

#include <windows.h>

#include <cstdlib>

static_assert(sizeof(wchar_t) == sizeof(RegChar), "the registry's names are UTF-16");
static_assert(sizeof(DWORD) == sizeof(uint32_t), "lengths are 32-bit");

namespace {

HKEY Handle(RegKey key) {
    if (key == kCurrentUser)
        return HKEY_CURRENT_USER;
    if (key == kLocalMachine)
        return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(key);
}

const wchar_t* Wide(const RegChar* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
wchar_t* Wide(RegChar* text) {
    return reinterpret_cast<wchar_t*>(text);
}
DWORD* Dword(uint32_t* value) {
    return reinterpret_cast<DWORD*>(value);
}

} // namespace

RegResult Win32Registry::OpenKey(RegKey parent, const RegChar* name, RegAccess access,
                                 RegKey* key) {
    HKEY opened = nullptr;
    const REGSAM rights = access == RegAccess::All ? KEY_ALL_ACCESS : KEY_QUERY_VALUE;
    const LONG err = RegOpenKeyExW(Handle(parent), Wide(name), 0, rights, &opened);
    if (err == ERROR_SUCCESS)
        *key = reinterpret_cast<RegKey>(opened);
    return err;
}

RegResult Win32Registry::CreateKey(RegKey parent, const RegChar* name, RegKey* key, bool* created) {
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const LONG err =
        RegCreateKeyExW(Handle(parent), Wide(name), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &opened, &disposition);
    if (err == ERROR_SUCCESS) {
        *key = reinterpret_cast<RegKey>(opened);
        if (created)
            *created = disposition == REG_CREATED_NEW_KEY;
    }
    return err;
}

RegResult Win32Registry::CloseKey(RegKey key) {
    return RegCloseKey(Handle(key));
}

RegResult Win32Registry::DeleteKey(RegKey parent, const RegChar* name) {
    return RegDeleteKeyW(Handle(parent), Wide(name));
}

RegResult Win32Registry::QueryInfoKey(RegKey key, RegKeyInfo* info) {
    DWORD nSubKeys = 0, nMaxSubKeyLen = 0, nValues = 0, nMaxValueNameLen = 0, nMaxValueLen = 0,
          nSecurityLen = 0;
    const LONG err =
        RegQueryInfoKeyW(Handle(key), nullptr, nullptr, nullptr, &nSubKeys, &nMaxSubKeyLen, nullptr,
                         &nValues, &nMaxValueNameLen, &nMaxValueLen, &nSecurityLen, nullptr);
    if (err == ERROR_SUCCESS)
        *info = {nSubKeys, nMaxSubKeyLen, nValues, nMaxValueNameLen, nMaxValueLen, nSecurityLen};
    return err;
}

RegResult Win32Registry::EnumKey(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen) {
    return RegEnumKeyExW(Handle(key), index, Wide(name), Dword(nameLen), nullptr, nullptr, nullptr,
                         nullptr);
}

RegResult Win32Registry::EnumValue(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen,
                                   uint32_t* type, uint8_t* data, uint32_t* dataLen) {
    return RegEnumValueW(Handle(key), index, Wide(name), Dword(nameLen), nullptr, Dword(type), data,
                         Dword(dataLen));
}

RegResult Win32Registry::QueryValue(RegKey key, const RegChar* name, uint32_t* type, uint8_t* data,
                                    uint32_t* dataLen) {
    return RegQueryValueExW(Handle(key), Wide(name), nullptr, Dword(type), data, Dword(dataLen));
}

RegResult Win32Registry::SetValue(RegKey key, const RegChar* name, uint32_t type,
                                  const uint8_t* data, uint32_t dataLen) {
    return RegSetValueExW(Handle(key), Wide(name), 0, type, data, dataLen);
}

RegResult Win32Registry::DeleteValue(RegKey key, const RegChar* name) {
    return RegDeleteValueW(Handle(key), Wide(name));
}

RegResult Win32Registry::GetKeySecurity(RegKey key, uint32_t parts, uint8_t* descriptor,
                                        uint32_t* len) {
    return RegGetKeySecurity(Handle(key), parts, descriptor, Dword(len));
}

RegResult Win32Registry::SetKeySecurity(RegKey key, uint32_t parts, const uint8_t* descriptor) {
    // The function takes a non-const pointer but only reads the descriptor.
    return RegSetKeySecurity(
        Handle(key), parts, const_cast<PSECURITY_DESCRIPTOR>(static_cast<const void*>(descriptor)));
}

RegChar* Win32Registry::AllocName(size_t nChars) {
    return static_cast<RegChar*>(std::malloc(nChars * sizeof(RegChar)));
}

void Win32Registry::FreeName(RegChar* name) {
    std::free(name);
}
