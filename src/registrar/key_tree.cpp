#include "key_tree.h"

#include <algorithm>
#include <new>

RegResult DeleteKeyTree(RegistryApi& api, RegKey parent, const RegChar* name) {
    {
        KeyHandle key(api);
        RegResult err = api.OpenKey(parent, name, RegAccess::All, key.Out());
        if (err != kRegOk)
            return err;
        RegKeyInfo info;
        err = api.QueryInfoKey(key, &info);
        if (err != kRegOk)
            return err;
        NameBuffer subkey(api, info.nMaxSubKeyLen + 1);
        if (!subkey)
            return kErrNotEnoughMemory;
        // Always index 0: each pass deletes the first subkey.
        for (uint32_t pass = 0; pass < info.nSubKeys; ++pass) {
            uint32_t nameLen = info.nMaxSubKeyLen + 1;
            err = api.EnumKey(key, 0, subkey.Get(), &nameLen);
            if (err == kRegOk)
                err = DeleteKeyTree(api, key, subkey.Get());
            if (err != kRegOk)
                return err;
        }
    }
    return api.DeleteKey(parent, name);
}

namespace {

RegResult CopySecurity(RegistryApi& api, RegKey key, uint32_t sizeHint,
                       std::vector<uint8_t>* security) {
    security->resize(std::max<uint32_t>(sizeHint, 64));
    uint32_t len = static_cast<uint32_t>(security->size());
    RegResult err = api.GetKeySecurity(key, kKeySecurity, security->data(), &len);
    if (err == kErrInsufficientBuffer && len > security->size()) {
        security->resize(len);
        err = api.GetKeySecurity(key, kKeySecurity, security->data(), &len);
    }
    if (err != kRegOk)
        return err;
    security->resize(len);
    // An owner the caller may not assign fails here, before anything has changed.
    return api.SetKeySecurity(key, kKeySecurity, security->data());
}

RegResult CopyKeyContents(RegistryApi& api, RegKey key, KeyCopy* copy) {
    RegKeyInfo info;
    RegResult err = api.QueryInfoKey(key, &info);
    if (err == kRegOk)
        err = CopySecurity(api, key, info.nSecurityLen, &copy->security);
    if (err != kRegOk)
        return err;

    std::vector<RegChar> name(std::max(info.nMaxSubKeyLen, info.nMaxValueNameLen) + 1);
    std::vector<uint8_t> data(info.nMaxValueLen);
    for (uint32_t index = 0; index < info.nValues; ++index) {
        uint32_t nameLen = static_cast<uint32_t>(name.size());
        uint32_t dataLen = static_cast<uint32_t>(data.size());
        uint32_t type = 0;
        err = api.EnumValue(key, index, name.data(), &nameLen, &type, data.data(), &dataLen);
        if (err == kRegOk && dataLen > data.size())
            err = kErrMoreData; // the value grew since the key was queried
        if (err != kRegOk)
            return err;
        copy->values.push_back({RegString(name.data(), nameLen), type,
                                std::vector<uint8_t>(data.begin(), data.begin() + dataLen)});
    }
    for (uint32_t index = 0; index < info.nSubKeys; ++index) {
        uint32_t nameLen = static_cast<uint32_t>(name.size());
        err = api.EnumKey(key, index, name.data(), &nameLen);
        if (err != kRegOk)
            return err;
        copy->subkeys.emplace_back();
        err = CopyKeyTree(api, key, RegString(name.data(), nameLen), &copy->subkeys.back());
        if (err != kRegOk)
            return err;
    }
    return kRegOk;
}

} // namespace

RegResult CopyKeyTree(RegistryApi& api, RegKey parent, const RegString& name, KeyCopy* copy) {
    try {
        KeyHandle key(api);
        RegResult err = api.OpenKey(parent, name.c_str(), RegAccess::All, key.Out());
        if (err != kRegOk)
            return err;
        copy->name = name;
        return CopyKeyContents(api, key, copy);
    } catch (const std::bad_alloc&) {
        return kErrNotEnoughMemory;
    }
}

RegResult WriteKeyTree(RegistryApi& api, RegKey parent, const KeyCopy& copy) {
    KeyHandle key(api);
    RegResult first = api.CreateKey(parent, copy.name.c_str(), key.Out(), nullptr);
    if (first != kRegOk)
        return first;
    auto keep = [&first](RegResult err) {
        if (first == kRegOk)
            first = err;
    };
    for (const ValueCopy& value : copy.values)
        keep(api.SetValue(key, value.name.c_str(), value.type, value.data.data(),
                          static_cast<uint32_t>(value.data.size())));
    for (const KeyCopy& subkey : copy.subkeys)
        keep(WriteKeyTree(api, key, subkey));
    // Last, since the descriptor may deny the writes above to anyone but its owner.
    keep(api.SetKeySecurity(key, kKeySecurity, copy.security.data()));
    return first;
}

RegResult MoveKeyBehindSiblings(RegistryApi& api, RegKey parent, const RegString& name) {
    KeyCopy copy;
    RegResult err = CopyKeyTree(api, parent, name, &copy);
    if (err != kRegOk)
        return err;
    // From here on nothing allocates: the copy is all that is needed to put it back.
    err = DeleteKeyTree(api, parent, name.c_str());
    if (err == kRegOk)
        err = WriteKeyTree(api, parent, copy);
    if (err != kRegOk)
        WriteKeyTree(api, parent, copy);
    return err;
}
