// Directory enumeration through the C runtime's find functions, in their 64-bit
// wide form: sizes above 4 GiB and dates after 2038 come through whole, and a
// folder path longer than MAX_PATH is still read through the "\\?\" prefix, which
// only the wide functions accept. Names are handed out in the active code page
// (UTF-8 through the program's manifest), as the "A" functions would give them.
#include "dir_enum.h"

#include <cerrno>
#include <io.h>
#include <mutex>
#include <utility>
#include <vector>
#include <windows.h>

namespace {

std::wstring Widen(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                            length);
    return wide;
}

void Narrow(const wchar_t* wide, std::string& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    text.resize(length > 0 ? static_cast<size_t>(length) : 1);
    if (length <= 0 ||
        WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], length, nullptr, nullptr) <= 0)
        text.assign(1, '\0');
    text.resize(text.size() - 1); // drop the terminator the conversion counted
}

// Whether the volume holding `pattern` (a find pattern) can give a file several names.
// FAT and exFAT cannot, nor can many network shares: their files need no call of their own.
// Asked once per volume and kept: walking threads share the answers.
bool VolumeHasHardLinks(const std::wstring& pattern) {
    static std::mutex mutex;
    static std::vector<std::pair<std::wstring, bool>> known;
    wchar_t volume[MAX_PATH + 1];
    if (!GetVolumePathNameW(pattern.c_str(), volume, MAX_PATH + 1))
        return true; // not known: ask each file
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& entry : known)
        if (entry.first == volume)
            return entry.second;
    DWORD flags = 0;
    const bool bLinks =
        !GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
        (flags & FILE_SUPPORTS_HARD_LINKS) != 0;
    known.emplace_back(volume, bLinks);
    return bLinks;
}

// The folder path followed by "\*.*"; a pattern too long for MAX_PATH is given the
// "\\?\" prefix (drive paths and UNC paths only: the prefix takes a path as it is).
std::wstring FindPattern(const std::string& folderPath) {
    std::string pattern = folderPath;
    if (pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += "*.*";
    if (pattern.size() < MAX_PATH)
        return Widen(pattern);
    for (char& c : pattern)
        if (c == '/')
            c = '\\';
    const bool isDrivePath = pattern.size() > 2 && pattern[1] == ':' && pattern[2] == '\\';
    const bool isUncPath =
        pattern.compare(0, 2, "\\\\") == 0 && pattern.compare(0, 4, "\\\\?\\") != 0;
    if (isDrivePath)
        return L"\\\\?\\" + Widen(pattern);
    if (isUncPath)
        return L"\\\\?\\UNC\\" + Widen(pattern.substr(2));
    return Widen(pattern);
}

} // namespace

struct DirEnumerator::Impl {
    intptr_t hFind = -1;
    bool bHavePending = false; // the entry _wfindfirst64 delivered has not been handed out yet
    _wfinddata64_t data;
    std::string strName;
    int nOpenError = 0;
    std::wstring folder; // the pattern without "*.*", when files' links are read
    bool bReadLinks = false;
};

namespace {

// A file's number of names and its identity: one open and one query. Called only where
// links are asked for and the volume can have them.
void ReadFileLinks(const std::wstring& path, DirItem& item) {
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info) && info.nNumberOfLinks > 1) {
        item.nLinks = info.nNumberOfLinks;
        item.nDevice = info.dwVolumeSerialNumber;
        item.nFileId = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    }
    CloseHandle(file);
}

} // namespace

DirEnumerator::DirEnumerator(const std::string& folderPath, EntryDetails, FileLinks links,
                             const FolderHandle*)
    : m_pImpl(new Impl) {
    // The find functions deliver every detail at no extra cost.
    if (folderPath.empty()) {
        m_pImpl->nOpenError = ENOENT;
        return;
    }
    errno = 0;
    const std::wstring pattern = FindPattern(folderPath);
    m_pImpl->hFind = _wfindfirst64(pattern.c_str(), &m_pImpl->data);
    m_pImpl->bHavePending = m_pImpl->hFind != -1;
    if (m_pImpl->hFind == -1)
        m_pImpl->nOpenError = errno ? errno : ENOENT; // the runtime maps the system's error
    if (m_pImpl->hFind != -1 && links == FileLinks::Read && VolumeHasHardLinks(pattern)) {
        m_pImpl->bReadLinks = true;
        m_pImpl->folder = pattern.substr(0, pattern.size() - 3);
    }
}

DirEnumerator::~DirEnumerator() {
    if (m_pImpl->hFind != -1)
        _findclose(m_pImpl->hFind);
}

std::shared_ptr<const FolderHandle> DirEnumerator::ShareHandle() const {
    return nullptr; // the find functions take whole paths only
}

bool DirEnumerator::IsOpen() const {
    return m_pImpl->hFind != -1;
}

int DirEnumerator::OpenError() const {
    return m_pImpl->nOpenError;
}

bool DirEnumerator::GetIdentity(FolderIdentity&) const {
    // The find functions tell neither; a volume mounted in a folder is a reparse point,
    // which no walk enters, so nothing needs the device.
    return false;
}

bool DirEnumerator::Next(DirItem& item) {
    Impl& d = *m_pImpl;
    if (d.hFind == -1)
        return false;
    if (!d.bHavePending && _wfindnext64(d.hFind, &d.data) != 0)
        return false;
    d.bHavePending = false;
    Narrow(d.data.name, d.strName);
    item.name = d.strName.c_str();
    item.bFolder = (d.data.attrib & _A_SUBDIR) != 0;
    item.bReparsePoint = (d.data.attrib & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(d.data.size);
    item.tModified = static_cast<int64_t>(d.data.time_write);
    item.nError = 0; // the find functions deliver an entry's details with its name
    item.nLinks = 1;
    item.nDevice = 0;
    item.nFileId = 0;
    if (d.bReadLinks && !item.bFolder)
        ReadFileLinks(d.folder + d.data.name, item);
    return true;
}
