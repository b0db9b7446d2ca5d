#pragma once
// The browser integration entries of the download manager Corvid: Internet Explorer's
// and NetCaptor's Browser Helper Object keys and Netscape Navigator's automation
// protocols. Every function opens, changes and closes its keys and keeps nothing.

#include "registry_api.h"

namespace registrar {

// Results of the six browser functions.
constexpr int kDone = 0;      // registered now: something was written or created
constexpr int kNoChange = 1;  // already registered; or removed, or nothing of ours there
constexpr int kNoBrowser = 2; // the browser's keys can't be opened; nothing touched
constexpr int kFailed = -1;   // a registry call failed or memory ran out

bool HasNetscapeKey(RegistryApi& api);
bool HasExplorerKey(RegistryApi& api);
bool HasNetCaptorKey(RegistryApi& api);

int RegNetscape(RegistryApi& api);
int UnregNetscape(RegistryApi& api);
int RegIE(RegistryApi& api);
int UnregIE(RegistryApi& api);
int RegNetCaptor(RegistryApi& api);
int UnregNetCaptor(RegistryApi& api);

// True only when the download manager's "IntegrateBrowser" setting is 1.
bool WantsIntegration(RegistryApi& api);
// Self-registration: all three browsers when the setting asks for it.
void RegisterBrowsers(RegistryApi& api);
// Self-unregistration: all three browsers, whatever the setting says.
void UnregisterBrowsers(RegistryApi& api);

} // namespace registrar
