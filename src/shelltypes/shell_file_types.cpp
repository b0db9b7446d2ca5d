#include "shell_file_types.h"

#include "plain_folder.h"
#include "registry_reader.h"

namespace {

constexpr UINT kRowInfo = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME;

// The shell's answer for a name alone, with the given attributes.
SHFILEINFOA InfoFromName(const std::string& name, DWORD dwAttributes) {
    SHFILEINFOA info{};
    if (name.size() >= MAX_PATH || !SHGetFileInfoA(name.c_str(), dwAttributes, &info, sizeof(info),
                                                   kRowInfo | SHGFI_USEFILEATTRIBUTES))
        info = SHFILEINFOA{};
    return info;
}

std::string RegistryDefaultText(HKEY hRoot, const std::string& subKey) {
    return registry::ReadString(hRoot, subKey, nullptr).value_or(std::string());
}

// True when the shell may give files of this extension icons of their own (programs,
// icons, links, or a class whose icon is "%1" or comes from an icon handler).
bool HasOwnIcons(const std::string& ext) {
    static const char* const kOwnIconExtensions[] = {".exe", ".ico", ".cur", ".ani", ".lnk", ".url",
                                                     ".pif", ".scr", ".cpl", ".dll", ".msc"};
    for (const char* own : kOwnIconExtensions)
        if (ext == own)
            return true;
    if (ext.empty() || ext == ".")
        return false;
    if (registry::KeyExists(HKEY_CLASSES_ROOT, ext + "\\shellex\\IconHandler") ||
        RegistryDefaultText(HKEY_CLASSES_ROOT, ext + "\\DefaultIcon").find("%1") !=
            std::string::npos)
        return true;
    const std::string progId = RegistryDefaultText(HKEY_CLASSES_ROOT, ext);
    if (progId.empty())
        return false;
    return registry::KeyExists(HKEY_CLASSES_ROOT, progId + "\\shellex\\IconHandler") ||
           RegistryDefaultText(HKEY_CLASSES_ROOT, progId + "\\DefaultIcon").find("%1") !=
               std::string::npos;
}

} // namespace

const CShellFileTypes::ExtensionInfo& CShellFileTypes::ForFile(const std::string& path,
                                                               const std::string& name) {
    const std::string ext = ExtensionKey(name);
    auto found = m_extensions.find(ext);
    if (found == m_extensions.end()) {
        // The first file of an extension is asked by its path, the answer every row had
        // before (Wine words an unregistered type differently for a name alone: ".txt
        // file" for "txt file"). A file the shell cannot take by its path (gone, or a
        // path too long) is answered from a stand-in name with the same extension.
        SHFILEINFOA info{};
        if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), kRowInfo))
            info = InfoFromName("file" + ext, FILE_ATTRIBUTE_NORMAL);
        found = m_extensions.emplace(ext, ExtensionInfo{info, HasOwnIcons(ext)}).first;
    }
    return found->second;
}

SHFILEINFOA CShellFileTypes::FileInfo(const std::string& path, const std::string& name) {
    const ExtensionInfo& byExtension = ForFile(path, name);
    if (byExtension.bOwnIcons) {
        SHFILEINFOA own{};
        if (SHGetFileInfoA(path.c_str(), 0, &own, sizeof(own), kRowInfo))
            return own;
    }
    return byExtension.info;
}

std::string CShellFileTypes::ExtensionKey(const std::string& name) {
    const size_t nDot = name.rfind('.');
    std::string ext = nDot == std::string::npos ? std::string() : name.substr(nDot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

bool CShellFileTypes::KnowsInfoOf(const std::string& name) const {
    const auto found = m_extensions.find(ExtensionKey(name));
    return found != m_extensions.end() && !found->second.bOwnIcons;
}

std::string CShellFileTypes::FileTypeName(const std::string& path, const std::string& name) {
    return ForFile(path, name).info.szTypeName;
}

std::string CShellFileTypes::ExtensionTypeName(const std::string& ext) {
    const std::string name = ext.empty() ? std::string("file") : "file." + ext;
    auto found = m_extensions.find(ExtensionKey(name));
    if (found == m_extensions.end())
        found = m_extensions
                    .emplace(ExtensionKey(name),
                             ExtensionInfo{InfoFromName(name, FILE_ATTRIBUTE_NORMAL),
                                           HasOwnIcons(ExtensionKey(name))})
                    .first;
    return found->second.info.szTypeName;
}

SHFILEINFOA CShellFileTypes::FolderInfo(const std::string& path) {
    const bool bPlain = HasPlainFolderLook(path);
    if (bPlain && m_bPlainFolderKnown)
        return m_plainFolder;
    SHFILEINFOA info{};
    if (bPlain && SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), kRowInfo)) {
        m_plainFolder = info;
        m_bPlainFolderKnown = true;
        return info;
    }
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), kRowInfo))
        return info;
    return InfoFromName("folder", FILE_ATTRIBUTE_DIRECTORY);
}
