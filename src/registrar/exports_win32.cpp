// The library's exports. Each call binds the registrar to the system registry for its
// own duration and keeps nothing; the ordinals are fixed in CorvidReg.def.
#include "registrar.h"
#include "registry_win32.h"

#include <windows.h>

#include <new>

namespace {

// No exception leaves the library: memory running out is a failure like any other.
template <typename Work> int Run(Work work) {
    try {
        Win32Registry registry;
        return work(registry);
    } catch (const std::bad_alloc&) {
        return registrar::kFailed;
    }
}

} // namespace

STDAPI DllRegisterServer() {
    Run([](RegistryApi& registry) {
        registrar::RegisterBrowsers(registry);
        return 0;
    });
    return S_OK; // a missing browser or a failed entry is not the caller's concern
}

STDAPI DllUnregisterServer() {
    Run([](RegistryApi& registry) {
        registrar::UnregisterBrowsers(registry);
        return 0;
    });
    return S_OK;
}

extern "C" int RegIE() {
    return Run(registrar::RegIE);
}
extern "C" int RegNetCaptor() {
    return Run(registrar::RegNetCaptor);
}
extern "C" int RegNetscape() {
    return Run(registrar::RegNetscape);
}
extern "C" int UnregIE() {
    return Run(registrar::UnregIE);
}
extern "C" int UnregNetCaptor() {
    return Run(registrar::UnregNetCaptor);
}
extern "C" int UnregNetscape() {
    return Run(registrar::UnregNetscape);
}
