#include "registrar.h"

#include "helper_object.h"

#include <cstring>
#include <string_view>

namespace registrar {
namespace {

const RegChar kNetscapeKey[] = u"Software\\Netscape\\Netscape Navigator";
const RegChar kProtocolsKey[] = u"Software\\Netscape\\Netscape Navigator\\Automation Protocols";
const RegChar kExplorerKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const RegChar kNetCaptorKey[] = u"Software\\Stilesoft\\NetCaptor\\CurrentVersion";
const RegChar kConfigureKey[] = u"Software\\Corvid\\Configure";

const RegChar kProgId[] = u"Corvid.Netscape.Monitor";
const RegChar* const kProtocols[] = {u"http", u"ftp"};

bool CanOpen(RegistryApi& api, RegKey root, const RegChar* path) {
    KeyHandle key(api);
    return api.OpenKey(root, path, RegAccess::All, key.Out()) == kRegOk;
}

const HelperObjectKeys kExplorerHelpers = {HasExplorerKey, kLocalMachine,
                                           u"Software\\Microsoft\\Windows\\CurrentVersion\\"
                                           u"Explorer\\Browser Helper Objects"};
const HelperObjectKeys kNetCaptorHelpers = {
    HasNetCaptorKey, kCurrentUser,
    u"Software\\Stilesoft\\NetCaptor\\CurrentVersion\\Browser Helper Objects"};

// True when the value is a string naming our ProgID. The buffer is zeroed and one
// character is kept back, so the text always ends inside it whatever the registry holds.
bool NamesProgId(RegistryApi& api, RegKey key, const RegChar* protocol) {
    RegChar text[40] = {}; // 80 bytes
    uint32_t type = 0;
    uint32_t size = sizeof(text) - sizeof(RegChar);
    if (api.QueryValue(key, protocol, &type, reinterpret_cast<uint8_t*>(text), &size) != kRegOk)
        return false;
    return type == kRegSz && std::u16string_view(text) == kProgId;
}

} // namespace

bool HasNetscapeKey(RegistryApi& api) {
    return CanOpen(api, kCurrentUser, kNetscapeKey);
}
bool HasExplorerKey(RegistryApi& api) {
    return CanOpen(api, kLocalMachine, kExplorerKey);
}
bool HasNetCaptorKey(RegistryApi& api) {
    return CanOpen(api, kCurrentUser, kNetCaptorKey);
}

int RegNetscape(RegistryApi& api) {
    if (!HasNetscapeKey(api))
        return kNoBrowser;
    KeyHandle key(api);
    if (api.CreateKey(kCurrentUser, kProtocolsKey, key.Out(), nullptr) != kRegOk)
        return kFailed;
    api.DeleteValue(key, u""); // the key holds named values only; none there is fine too
    bool written = false;
    for (const RegChar* protocol : kProtocols) {
        if (NamesProgId(api, key, protocol))
            continue;
        written = true;
        if (api.SetValue(key, protocol, kRegSz, reinterpret_cast<const uint8_t*>(kProgId),
                         sizeof(kProgId)) != kRegOk)
            return kFailed;
    }
    return written ? kDone : kNoChange;
}

int UnregNetscape(RegistryApi& api) {
    if (!HasNetscapeKey(api))
        return kNoBrowser;
    KeyHandle key(api);
    if (api.OpenKey(kCurrentUser, kProtocolsKey, RegAccess::All, key.Out()) != kRegOk)
        return kNoBrowser;
    for (const RegChar* protocol : kProtocols) {
        // Another program's value, or none, is left alone.
        if (NamesProgId(api, key, protocol) && api.DeleteValue(key, protocol) != kRegOk)
            return kFailed;
    }
    return kNoChange;
}

int RegIE(RegistryApi& api) {
    return RegisterHelperObject(api, kExplorerHelpers);
}
int UnregIE(RegistryApi& api) {
    return UnregisterHelperObject(api, kExplorerHelpers);
}
int RegNetCaptor(RegistryApi& api) {
    return RegisterHelperObject(api, kNetCaptorHelpers);
}
int UnregNetCaptor(RegistryApi& api) {
    return UnregisterHelperObject(api, kNetCaptorHelpers);
}

bool WantsIntegration(RegistryApi& api) {
    KeyHandle key(api);
    // Reading needs no more than query access, which a restricted user has.
    if (api.OpenKey(kCurrentUser, kConfigureKey, RegAccess::QueryValue, key.Out()) != kRegOk)
        return false;
    uint8_t data[4] = {};
    uint32_t type = 0; // not checked: four bytes are read as a number whatever their type
    uint32_t size = sizeof(data);
    if (api.QueryValue(key, u"IntegrateBrowser", &type, data, &size) != kRegOk ||
        size != sizeof(data))
        return false;
    uint32_t setting = 0;
    std::memcpy(&setting, data, sizeof(setting)); // stored little-endian, as both targets are
    return setting == 1;
}

void RegisterBrowsers(RegistryApi& api) {
    if (!WantsIntegration(api))
        return;
    RegNetscape(api);
    RegIE(api);
    RegNetCaptor(api);
}

void UnregisterBrowsers(RegistryApi& api) {
    UnregNetscape(api);
    UnregIE(api);
    UnregNetCaptor(api);
}

} // namespace registrar
