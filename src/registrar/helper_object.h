#pragma once
// A Browser Helper Object registration: the class key under a browser's list of helpers.

#include "registry_api.h"

namespace registrar {

struct HelperObjectKeys {
    bool (*hasBrowser)(RegistryApi& api);
    RegKey root;
    const RegChar* parent; // the key that holds the helpers' class keys
};

int RegisterHelperObject(RegistryApi& api, const HelperObjectKeys& keys);
int UnregisterHelperObject(RegistryApi& api, const HelperObjectKeys& keys);

} // namespace registrar
