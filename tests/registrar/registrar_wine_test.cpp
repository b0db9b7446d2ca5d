// CorvidReg.dll loaded as a caller loads it, against the real registry of the build
// tree's own Wine prefix (the keys it writes are fixed, so no other registry will do).
// This registry lists subkeys sorted by name. Every test starts from and leaves behind
// a registry without the keys below.
#include "key_tree.h"
#include "registry_win32.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t kNetscape[] = L"Software\\Netscape\\Netscape Navigator";
const wchar_t kProtocols[] = L"Software\\Netscape\\Netscape Navigator\\Automation Protocols";
const wchar_t kNetCaptor[] = L"Software\\Stilesoft\\NetCaptor\\CurrentVersion";
const wchar_t kNcHelpers[] =
    L"Software\\Stilesoft\\NetCaptor\\CurrentVersion\\Browser Helper Objects";
const wchar_t kIeHelpers[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const wchar_t kConfigure[] = L"Software\\Corvid\\Configure";
const std::wstring kClassId = L"{3C8A2F60-1B7D-4E59-A0C4-7D21E6B95F13}";
const std::wstring kProgId = L"Corvid.Netscape.Monitor";

// What the tests create; none of it exists in a fresh prefix.
struct OwnedKey {
    HKEY root;
    const wchar_t* path;
} const kOwnedKeys[] = {{HKEY_CURRENT_USER, L"Software\\Netscape"},
                        {HKEY_CURRENT_USER, L"Software\\Stilesoft"},
                        {HKEY_CURRENT_USER, L"Software\\Corvid"},
                        {HKEY_LOCAL_MACHINE, kIeHelpers}};

void MakeKey(HKEY root, const std::wstring& path) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
}

void PutValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
              const void* data, DWORD size) {
    MakeKey(root, path);
    ASSERT_EQ(RegSetKeyValueW(root, path.c_str(), name.c_str(), type, data, size), ERROR_SUCCESS);
}

void PutText(HKEY root, const std::wstring& path, const std::wstring& name,
             const std::wstring& text) {
    PutValue(root, path, name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * 2));
}

void PutDword(const std::wstring& path, const std::wstring& name, DWORD value) {
    PutValue(HKEY_CURRENT_USER, path, name, REG_DWORD, &value, sizeof(value));
}

bool HasKey(HKEY root, const std::wstring& path) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The value as text, or "-" when it's missing or not a string.
std::wstring Text(HKEY root, const std::wstring& path, const std::wstring& name) {
    wchar_t text[200] = {};
    DWORD size = sizeof(text) - 2, type = 0;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, text,
                     &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return L"-";
    return text;
}

std::vector<std::wstring> SubKeys(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0, len = 256; RegEnumKeyExW(key, i, name, &len, 0, 0, 0, 0) == 0; ++i, len = 256)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

// A key tree's names, values and security descriptors as bytes, in listing order.
std::string Dump(HKEY parent, const std::wstring& name) {
    HKEY key;
    if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "missing";
    auto bytes = [](const void* p, size_t n) {
        return std::string(static_cast<const char*>(p), n);
    };
    std::string out = "[" + bytes(name.data(), name.size() * 2);
    BYTE security[4096];
    DWORD size = sizeof(security);
    RegGetKeySecurity(
        key, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        security, &size);
    out += "|" + bytes(security, size);
    wchar_t valueName[256];
    BYTE data[1024];
    for (DWORD i = 0, len = 256, type, dataLen = sizeof(data);
         RegEnumValueW(key, i, valueName, &len, 0, &type, data, &dataLen) == 0;
         ++i, len = 256, dataLen = sizeof(data))
        out += "|" + bytes(valueName, len * 2) + std::to_string(type) + bytes(data, dataLen);
    for (const std::wstring& subkey : SubKeys(parent, name))
        out += Dump(key, subkey);
    RegCloseKey(key);
    return out + "]";
}

FILETIME LastWrite(HKEY root, const std::wstring& path) {
    FILETIME time = {};
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(key, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &time);
        RegCloseKey(key);
    }
    return time;
}

class CorvidRegTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dll = std::getenv("CORVIDREG_DLL");
        s_hDll = dll ? LoadLibraryA(dll) : nullptr;
    }
    static void TearDownTestSuite() {
        if (s_hDll)
            FreeLibrary(s_hDll);
    }
    void SetUp() override {
        // Only the build tree's own prefix may be touched: the test names it, the
        // wrapper that runs the test under Wine sets it.
        const char* expected = std::getenv("CORVIDREG_PREFIX");
        if (!expected)
            GTEST_SKIP() << "run by ctest only, in the build tree's Wine prefix";
        const char* prefix = std::getenv("WINEPREFIX");
        ASSERT_TRUE(prefix && std::string(prefix) == expected) << "not the build tree's prefix";
        ASSERT_NE(s_hDll, nullptr) << "CORVIDREG_DLL doesn't load";
        m_bClean = true;
        RemoveOwnedKeys();
    }
    void TearDown() override {
        if (m_bClean)
            RemoveOwnedKeys();
    }
    static void RemoveOwnedKeys() {
        for (const OwnedKey& owned : kOwnedKeys)
            RegDeleteTreeW(owned.root, owned.path);
    }

    // An export as a function of its real type (through the generic function pointer, which
    // converts to any other without a warning on either architecture).
    template <typename Function> static Function Export(const char* name) {
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(s_hDll, name)));
    }
    int Call(const char* name) {
        auto function = Export<int (*)()>(name);
        return function ? function() : -99;
    }
    HRESULT CallServer(const char* name) {
        auto function = Export<HRESULT(STDAPICALLTYPE*)()>(name);
        return function ? function() : E_FAIL;
    }

    static inline HMODULE s_hDll = nullptr;
    bool m_bClean = false;
};

TEST_F(CorvidRegTest, ExportsByOrdinalAndVersionResource) {
    const char* names[] = {"DllRegisterServer", "DllUnregisterServer", "RegIE",
                           "RegNetCaptor",      "RegNetscape",         "UnregIE",
                           "UnregNetCaptor",    "UnregNetscape"};
    for (int ordinal = 1; ordinal <= 8; ++ordinal) {
        FARPROC byOrdinal = GetProcAddress(s_hDll, MAKEINTRESOURCEA(ordinal));
        EXPECT_NE(byOrdinal, nullptr) << ordinal;
        EXPECT_EQ(byOrdinal, GetProcAddress(s_hDll, names[ordinal - 1])) << ordinal;
    }
    EXPECT_EQ(GetProcAddress(s_hDll, MAKEINTRESOURCEA(9)), nullptr);

    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(s_hDll, path, MAX_PATH), 0u);
    std::vector<char> info(GetFileVersionInfoSizeA(path, nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, DWORD(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010019u); // 1.25
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u); // .1.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010019u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));
    for (const char* field : {"FileDescription", "InternalName", "ProductName"}) {
        const std::string query = std::string("\\StringFileInfo\\040904E4\\") + field;
        char* text = nullptr;
        ASSERT_TRUE(
            VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &size))
            << field;
        EXPECT_STREQ(text, "CorvidReg");
    }
}

TEST_F(CorvidRegTest, NetscapeProtocols) {
    EXPECT_EQ(Call("RegNetscape"), 2);
    EXPECT_EQ(Call("UnregNetscape"), 2);
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, L"Software\\Netscape"));

    MakeKey(HKEY_CURRENT_USER, kNetscape);
    PutText(HKEY_CURRENT_USER, kProtocols, L"http", L"Other.Monitor");
    PutText(HKEY_CURRENT_USER, kProtocols, L"", L"stale");
    EXPECT_EQ(Call("RegNetscape"), 0);
    PutText(HKEY_CURRENT_USER, kProtocols, L"", L"stale");
    EXPECT_EQ(Call("RegNetscape"), 1); // nothing written, the unnamed value cleared all the same
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kProtocols, L"http"), kProgId);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kProtocols, L"ftp"), kProgId);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kProtocols, L""), L"-");
    char ansi[80];
    DWORD size = sizeof(ansi);
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER,
                           "Software\\Netscape\\Netscape Navigator\\"
                           "Automation Protocols",
                           "ftp", RRF_RT_REG_SZ, nullptr, ansi, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(ansi, size), std::string("Corvid.Netscape.Monitor", 24));

    PutText(HKEY_CURRENT_USER, kProtocols, L"ftp", L"Other.Monitor");
    EXPECT_EQ(Call("UnregNetscape"), 1); // ours goes, the other program's stays
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kProtocols, L"http"), L"-");
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kProtocols, L"ftp"), L"Other.Monitor");

    PutText(HKEY_CURRENT_USER, kProtocols, L"http", kProgId);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProtocols, L"ftp");
    EXPECT_EQ(Call("UnregNetscape"), 1);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kProtocols, L"http"), L"-");
}

TEST_F(CorvidRegTest, HelperObjectKeys) {
    const std::wstring ours = std::wstring(kIeHelpers) + L"\\" + kClassId;
    EXPECT_EQ(Call("UnregIE"), 2); // no helpers key yet
    EXPECT_EQ(Call("RegIE"), 0);
    EXPECT_EQ(Call("RegIE"), 1);
    HKEY key;
    DWORD nSubKeys = 9, nValues = 9;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, ours.c_str(), 0, KEY_READ, &key), 0);
    RegQueryInfoKeyW(key, 0, 0, 0, &nSubKeys, 0, 0, &nValues, 0, 0, 0, 0);
    RegCloseKey(key);
    EXPECT_EQ(nSubKeys + nValues, 0u);
    MakeKey(HKEY_LOCAL_MACHINE, ours + L"\\Sub");
    EXPECT_EQ(Call("UnregIE"), -1); // the system doesn't delete a key with subkeys
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (ours + L"\\Sub").c_str());
    EXPECT_EQ(Call("UnregIE"), 1);
    EXPECT_FALSE(HasKey(HKEY_LOCAL_MACHINE, ours));
    EXPECT_EQ(Call("UnregIE"), 1);

    EXPECT_EQ(Call("RegNetCaptor"), 2);
    EXPECT_EQ(Call("UnregNetCaptor"), 2);
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, L"Software\\Stilesoft"));
    MakeKey(HKEY_CURRENT_USER, kNetCaptor);
    EXPECT_EQ(Call("RegNetCaptor"), 0);
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, kNcHelpers), std::vector<std::wstring>{kClassId});
    EXPECT_EQ(Call("UnregNetCaptor"), 1);
    EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, kNcHelpers).empty());
}

// Keys of other programs listed before ours: the first is moved (deleted and created
// again) and comes back whole, security included; this registry's sorting puts it
// straight back in front, so it is the only one moved.
TEST_F(CorvidRegTest, ForeignHelperKeysKeepEverything) {
    const std::wstring first =
        std::wstring(kIeHelpers) + L"\\{0A000000-0000-0000-0000-000000000000}";
    const std::wstring second =
        std::wstring(kIeHelpers) + L"\\{1B000000-0000-0000-0000-000000000000}";
    const std::wstring last =
        std::wstring(kIeHelpers) + L"\\{F0000000-0000-0000-0000-000000000000}";
    PutText(HKEY_LOCAL_MACHINE, first, L"", L"Toolbar \u03a9\u4e2d");
    PutText(HKEY_LOCAL_MACHINE, first + L"\\Settings \u4e2d\\Deep", L"\u03a9", L"x");
    const DWORD one = 1;
    PutValue(HKEY_LOCAL_MACHINE, first, L"NoExplorer", REG_DWORD, &one, sizeof(one));
    PutValue(HKEY_LOCAL_MACHINE, first, L"Odd", REG_SZ, "abc", 3); // no terminator, odd size
    MakeKey(HKEY_LOCAL_MACHINE, first + L"\\Empty");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;;KR;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, first.c_str(), 0, KEY_ALL_ACCESS, &key), 0);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(descriptor);
    PutText(HKEY_LOCAL_MACHINE, second, L"Name", L"second");
    PutText(HKEY_LOCAL_MACHINE, last, L"Name", L"last");

    const std::string before = Dump(HKEY_LOCAL_MACHINE, kIeHelpers);
    const FILETIME firstWritten = LastWrite(HKEY_LOCAL_MACHINE, first);
    const FILETIME secondWritten = LastWrite(HKEY_LOCAL_MACHINE, second);
    // From now on a key written again carries a later time than either.
    for (FILETIME now{}; CompareFileTime(&now, &firstWritten) <= 0 ||
                         CompareFileTime(&now, &secondWritten) <= 0;) {
        Sleep(1);
        GetSystemTimeAsFileTime(&now);
    }
    EXPECT_EQ(Call("RegIE"), 0);
    const FILETIME firstNow = LastWrite(HKEY_LOCAL_MACHINE, first);
    const FILETIME secondNow = LastWrite(HKEY_LOCAL_MACHINE, second);
    EXPECT_NE(CompareFileTime(&firstWritten, &firstNow), 0) << "not moved at all";
    EXPECT_EQ(CompareFileTime(&secondWritten, &secondNow), 0) << "moved needlessly";
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, kIeHelpers)[2], kClassId);
    EXPECT_EQ(Call("RegIE"), 1);
    EXPECT_EQ(Call("UnregIE"), 1);
    EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, kIeHelpers), before);
}

TEST_F(CorvidRegTest, ClassKeyInOtherCaseIsAnotherProgramsKey) {
    const std::wstring lower = L"{3c8a2f60-1b7d-4e59-a0c4-7d21e6b95f13}";
    PutText(HKEY_LOCAL_MACHINE, std::wstring(kIeHelpers) + L"\\" + lower, L"Owner", L"other");
    const std::string before = Dump(HKEY_LOCAL_MACHINE, kIeHelpers);
    EXPECT_EQ(Call("RegIE"), 1); // the registry opened the existing key
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, kIeHelpers), std::vector<std::wstring>{lower});
    EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, kIeHelpers), before);
}

TEST_F(CorvidRegTest, SelfRegistrationFollowsTheSetting) {
    struct Case {
        DWORD type;
        std::string bytes; // empty: no value
        bool integrate;
    } const cases[] = {
        {REG_DWORD, std::string("\1\0\0\0", 4), true},
        {REG_DWORD, std::string(4, '\0'), false},
        {REG_DWORD, std::string("\2\0\0\0", 4), false},
        {REG_BINARY, std::string("\1\0", 2), false},
        {REG_QWORD, std::string("\1\0\0\0\0\0\0\0", 8), false},
        {REG_NONE, "", false},
    };
    auto registered = [] {
        const int n = (Text(HKEY_CURRENT_USER, kProtocols, L"http") == kProgId) +
                      HasKey(HKEY_LOCAL_MACHINE, std::wstring(kIeHelpers) + L"\\" + kClassId) +
                      HasKey(HKEY_CURRENT_USER, std::wstring(kNcHelpers) + L"\\" + kClassId);
        EXPECT_TRUE(n == 0 || n == 3) << n << " of 3 registered";
        return n == 3;
    };
    for (const Case& c : cases) {
        MakeKey(HKEY_CURRENT_USER, kNetscape);
        MakeKey(HKEY_CURRENT_USER, kNetCaptor);
        MakeKey(HKEY_CURRENT_USER, kConfigure);
        if (!c.bytes.empty())
            PutValue(HKEY_CURRENT_USER, kConfigure, L"IntegrateBrowser", c.type, c.bytes.data(),
                     DWORD(c.bytes.size()));
        EXPECT_EQ(CallServer("DllRegisterServer"), S_OK);
        EXPECT_EQ(registered(), c.integrate) << c.type << " " << c.bytes.size();
        PutDword(kConfigure, L"IntegrateBrowser", 0);
        EXPECT_EQ(CallServer("DllUnregisterServer"), S_OK);
        EXPECT_FALSE(registered());
        RemoveOwnedKeys();
    }
    MakeKey(HKEY_CURRENT_USER, kNetscape); // no Configure key at all
    EXPECT_EQ(CallServer("DllRegisterServer"), S_OK);
    EXPECT_FALSE(HasKey(HKEY_CURRENT_USER, kProtocols));
}

TEST_F(CorvidRegTest, DeleteKeyTreeOnTheSystemRegistry) {
    MakeKey(HKEY_CURRENT_USER, L"Software\\Corvid\\Tree\\a\\b\\c");
    MakeKey(HKEY_CURRENT_USER, L"Software\\Corvid\\Tree\\d");
    PutText(HKEY_CURRENT_USER, L"Software\\Corvid\\Tree\\a\\b", L"v", L"w");
    MakeKey(HKEY_CURRENT_USER, L"Software\\Corvid\\Keep");
    Win32Registry registry;
    KeyHandle corvid(registry);
    ASSERT_EQ(registry.OpenKey(kCurrentUser, u"Software\\Corvid", RegAccess::All, corvid.Out()),
              kRegOk);
    EXPECT_EQ(DeleteKeyTree(registry, corvid, u"Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DeleteKeyTree(registry, corvid, u"Tree"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, L"Software\\Corvid"), std::vector<std::wstring>{L"Keep"});
}

} // namespace
