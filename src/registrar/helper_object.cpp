#include "helper_object.h"

#include "key_tree.h"
#include "registrar.h"

namespace registrar {
namespace {

const RegChar kClassId[] = u"{3C8A2F60-1B7D-4E59-A0C4-7D21E6B95F13}";

// Browsers call their helpers in the order the key lists them; ours is to come first.
// On a registry that keeps creation order, each key ahead of the class key is moved
// behind the others until the class key leads. On one that keeps names sorted, a moved
// key comes straight back to the front: then nothing can be gained, and the loop stops
// rather than move another program's key again.
int MoveClassKeyToFront(RegistryApi& api, RegKey parent) {
    RegKeyInfo info;
    if (api.QueryInfoKey(parent, &info) != kRegOk)
        return kFailed;
    NameBuffer name(api, info.nMaxSubKeyLen + 1);
    if (!name)
        return kFailed;
    RegString lastMoved;
    for (uint32_t pass = 0; pass < info.nSubKeys; ++pass) {
        uint32_t nameLen = info.nMaxSubKeyLen + 1;
        if (api.EnumKey(parent, 0, name.Get(), &nameLen) != kRegOk)
            return kFailed;
        const RegString first(name.Get(), nameLen);
        if (first == kClassId || first == lastMoved)
            break;
        if (MoveKeyBehindSiblings(api, parent, first) != kRegOk)
            return kFailed;
        lastMoved = first;
    }
    return kRegOk;
}

} // namespace

int RegisterHelperObject(RegistryApi& api, const HelperObjectKeys& keys) {
    if (!keys.hasBrowser(api))
        return kNoBrowser;
    KeyHandle parent(api);
    if (api.CreateKey(keys.root, keys.parent, parent.Out(), nullptr) != kRegOk)
        return kFailed;
    bool created = false;
    {
        KeyHandle classKey(api); // stays empty: the class itself is registered elsewhere
        if (api.CreateKey(parent, kClassId, classKey.Out(), &created) != kRegOk)
            return kFailed;
    }
    if (MoveClassKeyToFront(api, parent) != kRegOk)
        return kFailed;
    return created ? kDone : kNoChange;
}

int UnregisterHelperObject(RegistryApi& api, const HelperObjectKeys& keys) {
    if (!keys.hasBrowser(api))
        return kNoBrowser;
    KeyHandle parent(api);
    if (api.OpenKey(keys.root, keys.parent, RegAccess::All, parent.Out()) != kRegOk)
        return kNoBrowser;
    // A plain delete: a class key that has gained subkeys isn't ours to take apart.
    const RegResult err = api.DeleteKey(parent, kClassId);
    return err == kRegOk || err == kErrFileNotFound ? kNoChange : kFailed;
}

} // namespace registrar
