#pragma once
// The shell's type name and small icon of listed entries. Every file of one extension has
// the same type name and, unless its class gives each file an icon of its own, the same
// icon: the shell is asked once per extension, and a folder of many files costs a shell
// call per extension, not per file. Files whose icon can be their own are still asked one
// by one by their path.

#include <windows.h>

#include <shellapi.h>

#include <map>
#include <string>

class CShellFileTypes {
public:
    // Icon index and type name of the file `name` at `path`.
    SHFILEINFOA FileInfo(const std::string& path, const std::string& name);
    // The type name of the file `name` at `path`.
    std::string FileTypeName(const std::string& path, const std::string& name);
    // The type name of files with the extension `ext` ("mp4"; "" for none), asked by a
    // name alone: no file need exist.
    std::string ExtensionTypeName(const std::string& ext);
    // Icon index and type name of a folder, asked by its path: a folder may carry an icon
    // and type of its own. Folders that look like any other (HasPlainFolderLook) share the
    // first one's answer. A path the shell cannot take gives the plain folder's answer.
    SHFILEINFOA FolderInfo(const std::string& path);
    // Whether FileInfo for `name` answers without asking the shell: its extension was
    // asked before, and its files have no icons of their own.
    bool KnowsInfoOf(const std::string& name) const;
    // The extension as answers are kept by: from the last dot, ASCII letters in lower case
    // (the shell matches extensions without regard to case); "" for none.
    static std::string ExtensionKey(const std::string& name);
    // Forgets every answer (the registry may have changed).
    void Clear() {
        m_extensions.clear();
        m_bPlainFolderKnown = false;
    }

private:
    struct ExtensionInfo {
        SHFILEINFOA info;
        bool bOwnIcons; // each file's icon may be its own
    };
    const ExtensionInfo& ForFile(const std::string& path, const std::string& name);

    std::map<std::string, ExtensionInfo> m_extensions; // by lower-case extension
    SHFILEINFOA m_plainFolder{};
    bool m_bPlainFolderKnown = false;
};
