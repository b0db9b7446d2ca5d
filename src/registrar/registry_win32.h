#pragma once
// The registrar's registry seam bound to the system registry (the Unicode functions,
// so another program's names and texts come through exactly). Holds no state.

#include "registry_api.h"

class Win32Registry : public RegistryApi {
public:
    RegResult OpenKey(RegKey parent, const RegChar* name, RegAccess access, RegKey* key) override;
    RegResult CreateKey(RegKey parent, const RegChar* name, RegKey* key, bool* created) override;
    RegResult CloseKey(RegKey key) override;
    RegResult DeleteKey(RegKey parent, const RegChar* name) override;
    RegResult QueryInfoKey(RegKey key, RegKeyInfo* info) override;
    RegResult EnumKey(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen) override;
    RegResult EnumValue(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen,
                        uint32_t* type, uint8_t* data, uint32_t* dataLen) override;
    RegResult QueryValue(RegKey key, const RegChar* name, uint32_t* type, uint8_t* data,
                         uint32_t* dataLen) override;
    RegResult SetValue(RegKey key, const RegChar* name, uint32_t type, const uint8_t* data,
                       uint32_t dataLen) override;
    RegResult DeleteValue(RegKey key, const RegChar* name) override;
    RegResult GetKeySecurity(RegKey key, uint32_t parts, uint8_t* descriptor,
                             uint32_t* len) override;
    RegResult SetKeySecurity(RegKey key, uint32_t parts, const uint8_t* descriptor) override;
    RegChar* AllocName(size_t nChars) override;
    void FreeName(RegChar* name) override;
};
