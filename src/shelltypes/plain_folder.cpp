#include "plain_folder.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

namespace {

// The folders the shell may give an icon of their own although nothing on disk marks
// them: the known folders (Documents, Pictures, Fonts, ...) and whatever sits directly in a
// user's profile or the public one (Downloads, Links, Saved Games, ...). Read once.
class KnownFolders {
public:
    KnownFolders() {
        const int known[] = {CSIDL_DESKTOPDIRECTORY,        CSIDL_PERSONAL,
                             CSIDL_MYPICTURES,              CSIDL_MYMUSIC,
                             CSIDL_MYVIDEO,                 CSIDL_FAVORITES,
                             CSIDL_TEMPLATES,               CSIDL_FONTS,
                             CSIDL_STARTMENU,               CSIDL_PROGRAMS,
                             CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
                             CSIDL_COMMON_PICTURES,         CSIDL_COMMON_MUSIC,
                             CSIDL_COMMON_VIDEO,            CSIDL_COMMON_FAVORITES,
                             CSIDL_COMMON_TEMPLATES,        CSIDL_COMMON_STARTMENU,
                             CSIDL_COMMON_PROGRAMS};
        for (int csidl : known)
            Add(m_folders, csidl);
        Add(m_profiles, CSIDL_PROFILE);
        char path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, 0, path)) &&
            PathRemoveFileSpecA(path))
            m_profiles.push_back(path); // the public profile holds the common documents
    }

    // True when `path` (a folder's full path, with or without a trailing backslash: the
    // desktop's Documents item has one) is one of them.
    bool MayHaveOwnIcon(const char* path) const {
        char folder[MAX_PATH] = {};
        lstrcpynA(folder, path, MAX_PATH);
        PathRemoveBackslashA(folder);
        if (Contains(m_folders, folder))
            return true;
        return PathRemoveFileSpecA(folder) && Contains(m_profiles, folder);
    }

private:
    static void Add(std::vector<std::string>& paths, int csidl) {
        char path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)))
            paths.push_back(path);
    }
    static bool Contains(const std::vector<std::string>& paths, const char* path) {
        return std::any_of(paths.begin(), paths.end(), [path](const std::string& known) {
            return lstrcmpiA(known.c_str(), path) == 0;
        });
    }

    std::vector<std::string> m_folders;  // the known folders themselves
    std::vector<std::string> m_profiles; // folders whose every child may be a known one
};

} // namespace

bool HasPlainFolderLook(const std::string& path) {
    if (path.empty() || path.size() >= MAX_PATH)
        return false;
    if (PathIsRootA(path.c_str()) || PathIsUNCServerShareA(path.c_str()))
        return false;
    static const KnownFolders knownFolders; // read once, on the first thread that asks
    if (knownFolders.MayHaveOwnIcon(path.c_str()))
        return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    constexpr DWORD kOwnLook =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & kOwnLook);
}
