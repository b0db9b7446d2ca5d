// The shell's type names of listed files, as the list view and dscp-report ask for them:
// once per extension.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform.h"
#include "shell_file_types.h"

namespace {

// A file type of the test's own in the prefix's registry, removed afterwards.
class TestFileType {
public:
    TestFileType() {
        Remove();
        SetDefault(".dscptype", "DscpTypeTest");
        SetTypeName("First Type");
    }
    ~TestFileType() { Remove(); }
    void SetTypeName(const char* text) { SetDefault("DscpTypeTest", text); }

private:
    static void SetDefault(const char* key, const char* text) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, key, &hKey), ERROR_SUCCESS);
        RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(strlen(text) + 1));
        RegCloseKey(hKey);
    }
    static void Remove() {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".dscptype");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "DscpTypeTest");
    }
};

} // namespace

TEST(ShellFileTypes, AFileTypeIsAskedOncePerExtension) {
    TestFileType type;
    // dscp-report's Type cell: even for a file the shell cannot find (gone since the
    // listing, or a path too long for it), the extension names the type.
    EXPECT_EQ(ShellTypeName("Z:\\nowhere\\absent.dscptype", "absent.dscptype", false),
              "First Type");

    CShellFileTypes types;
    EXPECT_EQ(types.FileTypeName("Z:\\nowhere\\absent.dscptype", "absent.dscptype"), "First Type");
    type.SetTypeName("Second Type");
    // Asked once per extension, whatever its case.
    EXPECT_EQ(types.FileTypeName("Z:\\nowhere\\OTHER.DSCPTYPE", "OTHER.DSCPTYPE"), "First Type");
    EXPECT_EQ(ShellTypeName("Z:\\nowhere\\b.dscptype", "b.dscptype", false), "First Type");
    types.Clear();
    EXPECT_EQ(types.FileTypeName("Z:\\nowhere\\other.dscptype", "other.dscptype"), "Second Type");
    // A name far longer than the shell takes still has its extension's type.
    types.Clear();
    const std::string longName = std::string(400, 'n') + ".dscptype";
    EXPECT_EQ(types.FileTypeName("Z:\\nowhere\\" + longName, longName), "Second Type");
}
