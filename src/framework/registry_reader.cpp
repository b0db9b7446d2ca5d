#include "registry_reader.h"

#include <vector>

namespace registry {

UniqueRegKey OpenForReading(HKEY hRoot, const std::string& subKey) {
    UniqueRegKey key;
    if (RegOpenKeyExA(hRoot, subKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        key.Release(); // a failed open may leave anything in the out parameter
    return key;
}

bool KeyExists(HKEY hRoot, const std::string& subKey) {
    return static_cast<bool>(OpenForReading(hRoot, subKey));
}

namespace {

std::optional<std::string> Expand(const std::string& text) {
    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0)
        return std::nullopt;
    std::vector<char> expanded(needed + 1, '\0');
    const DWORD got = ExpandEnvironmentStringsA(text.c_str(), expanded.data(),
                                                static_cast<DWORD>(expanded.size()));
    if (got == 0 || got > expanded.size())
        return std::nullopt;
    return std::string(expanded.data());
}

} // namespace

std::optional<std::string> ReadString(HKEY hKey, const char* valueName) {
    if (!hKey)
        return std::nullopt;
    // The value may grow between asking its size and reading it: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(hKey, valueName, nullptr, &type, nullptr, &size);
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::vector<char> buffer(size + 1, '\0'); // room for a terminator the value lacks
        DWORD got = size;
        rc = RegQueryValueExA(hKey, valueName, nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::string text(buffer.data()); // up to the first terminator
        if (type == REG_EXPAND_SZ)
            return Expand(text);
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> ReadString(HKEY hRoot, const std::string& subKey,
                                      const char* valueName) {
    return ReadString(OpenForReading(hRoot, subKey).Get(), valueName);
}

std::optional<DWORD> ReadDword(HKEY hKey, const char* valueName) {
    if (!hKey)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(hKey, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

} // namespace registry
