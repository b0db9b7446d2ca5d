#pragma once
// Whole key trees: deleting one, and carrying another program's key across a delete
// and re-create without losing its values, its subkeys or its security.

#include "registry_api.h"

#include <vector>

// Deletes `name` under `parent` with everything beneath it: 0 or the first error code.
RegResult DeleteKeyTree(RegistryApi& api, RegKey parent, const RegChar* name);

struct ValueCopy {
    RegString name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct KeyCopy {
    RegString name;
    std::vector<uint8_t> security; // owner, group and access list, self-relative
    std::vector<ValueCopy> values;
    std::vector<KeyCopy> subkeys; // in enumeration order
};

// Reads a key tree whole, names and data exactly as stored. It also writes each key's
// security back unchanged, which proves that a re-created key can be given it again.
RegResult CopyKeyTree(RegistryApi& api, RegKey parent, const RegString& name, KeyCopy* copy);

// Creates (or opens) the keys of a copy and writes their contents. It goes on past a
// failure, so as much as the registry allows is written; returns the first error.
RegResult WriteKeyTree(RegistryApi& api, RegKey parent, const KeyCopy& copy);

// Deletes a key and creates it again with all its contents, so that a registry which
// keeps creation order lists it behind its siblings. If the delete or the re-creation
// fails, what was copied is put back as far as the registry allows and the error is
// returned; a key that can't be copied whole isn't touched at all.
RegResult MoveKeyBehindSiblings(RegistryApi& api, RegKey parent, const RegString& name);
