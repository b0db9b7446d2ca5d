#pragma once
// What the registrar needs from the system: the registry functions it calls, in the
// shape of the system's Unicode registry functions, and memory for name buffers.
// Production binds it to the real registry (registry_win32.cpp); tests bind it to a
// model. No <windows.h> here: keys, results and constants use the system's values.

#include <cstddef>
#include <cstdint>
#include <string>

using RegChar = char16_t; // one UTF-16 code unit, as the registry stores names
using RegString = std::u16string;

using RegKey = std::uintptr_t; // an open key; 0 is no key
constexpr RegKey kCurrentUser = 0x80000001;
constexpr RegKey kLocalMachine = 0x80000002;

using RegResult = long; // 0 or a system error code
constexpr RegResult kRegOk = 0;
constexpr RegResult kErrFileNotFound = 2;
constexpr RegResult kErrAccessDenied = 5;
constexpr RegResult kErrNotEnoughMemory = 8;
constexpr RegResult kErrInsufficientBuffer = 122;
constexpr RegResult kErrMoreData = 234;
constexpr RegResult kErrNoMoreItems = 259;

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegDword = 4;

// Parts of a key's security descriptor: owner, group and access list.
constexpr uint32_t kKeySecurity = 0x1 | 0x2 | 0x4;

enum class RegAccess { All, QueryValue };

struct RegKeyInfo {
    uint32_t nSubKeys = 0;
    uint32_t nMaxSubKeyLen = 0; // characters, without the terminator
    uint32_t nValues = 0;
    uint32_t nMaxValueNameLen = 0; // characters, without the terminator
    uint32_t nMaxValueLen = 0;     // bytes
    uint32_t nSecurityLen = 0;     // bytes
};

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // Names may be paths with backslashes. *key is written only on success.
    virtual RegResult OpenKey(RegKey parent, const RegChar* name, RegAccess access,
                              RegKey* key) = 0;
    // Full access, non-volatile, default security; *created (if given) tells a new key
    // from an old one.
    virtual RegResult CreateKey(RegKey parent, const RegChar* name, RegKey* key, bool* created) = 0;
    virtual RegResult CloseKey(RegKey key) = 0;
    virtual RegResult DeleteKey(RegKey parent, const RegChar* name) = 0;
    virtual RegResult QueryInfoKey(RegKey key, RegKeyInfo* info) = 0;
    // *nameLen: buffer size in characters on entry, name length without terminator on return.
    virtual RegResult EnumKey(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen) = 0;
    virtual RegResult EnumValue(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen,
                                uint32_t* type, uint8_t* data, uint32_t* dataLen) = 0;
    // *dataLen: buffer size in bytes on entry, data size on return.
    virtual RegResult QueryValue(RegKey key, const RegChar* name, uint32_t* type, uint8_t* data,
                                 uint32_t* dataLen) = 0;
    virtual RegResult SetValue(RegKey key, const RegChar* name, uint32_t type, const uint8_t* data,
                               uint32_t dataLen) = 0;
    virtual RegResult DeleteValue(RegKey key, const RegChar* name) = 0;
    virtual RegResult GetKeySecurity(RegKey key, uint32_t parts, uint8_t* descriptor,
                                     uint32_t* len) = 0;
    virtual RegResult SetKeySecurity(RegKey key, uint32_t parts, const uint8_t* descriptor) = 0;

    // Name buffers; nullptr when memory has run out.
    virtual RegChar* AllocName(size_t nChars) = 0;
    virtual void FreeName(RegChar* name) = 0;
};

// Closes its key on every path out of a scope.
class KeyHandle {
public:
    explicit KeyHandle(RegistryApi& api) : m_api(api) {}
    ~KeyHandle() {
        if (m_hKey != 0)
            m_api.CloseKey(m_hKey);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    RegKey* Out() { return &m_hKey; }
    operator RegKey() const { return m_hKey; }

private:
    RegistryApi& m_api;
    RegKey m_hKey = 0;
};

// A name buffer of the registry's memory, freed on every path out of a scope.
class NameBuffer {
public:
    NameBuffer(RegistryApi& api, size_t nChars) : m_api(api), m_pName(api.AllocName(nChars)) {}
    ~NameBuffer() {
        if (m_pName)
            m_api.FreeName(m_pName);
    }
    NameBuffer(const NameBuffer&) = delete;
    NameBuffer& operator=(const NameBuffer&) = delete;

    explicit operator bool() const { return m_pName != nullptr; }
    RegChar* Get() const { return m_pName; }

private:
    RegistryApi& m_api;
    RegChar* m_pName;
};
