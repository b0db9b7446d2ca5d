// Directory enumeration through the system's bulk directory call (NtQueryDirectoryFile):
// one call fills a 64 KiB buffer with as many entries as fit, each with its attributes,
// size, allocation size, last-write time and file number, so a folder of a thousand files
// takes a handful of calls and no call per file. Sizes and dates come through whole, a
// folder path longer than MAX_PATH is opened through the "\\?\" prefix, and a subfolder can
// be opened by its name from its parent's open handle. Names are handed out in the active
// code page (UTF-8 through the program's manifest), as the "A" functions would give them.
#include "dir_enum.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>
#include <windows.h>
#include <winternl.h>

namespace {

// The entry the bulk call gives for FileIdFullDirectoryInformation: no short names (which
// a system may have to make up for each entry), the file number kept.
struct IdFullDirEntry {
    ULONG NextEntryOffset;
    ULONG FileIndex;
    LARGE_INTEGER CreationTime;
    LARGE_INTEGER LastAccessTime;
    LARGE_INTEGER LastWriteTime;
    LARGE_INTEGER ChangeTime;
    LARGE_INTEGER EndOfFile;
    LARGE_INTEGER AllocationSize;
    ULONG FileAttributes;
    ULONG FileNameLength; // bytes
    ULONG EaSize;
    LARGE_INTEGER FileId;
    WCHAR FileName[1];
};

constexpr FILE_INFORMATION_CLASS kIdFullDirectoryInformation =
    static_cast<FILE_INFORMATION_CLASS>(38);
constexpr NTSTATUS kStatusSuccess = 0;
constexpr ULONG kFileDirectoryFile = 0x00000001;
constexpr ULONG kFileSynchronousIoNonAlert = 0x00000020;
constexpr ULONG kFileOpenForBackupIntent = 0x00004000;
constexpr ULONG kObjCaseInsensitive = 0x00000040;
constexpr size_t kBufferBytes = 64 * 1024;
// Handles kept open for subfolders to be opened from, at most (each walking thread keeps
// one per level it is in).
constexpr int kMostShared = 512;

using NtQueryDirectoryFileFn = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK,
                                                PVOID, ULONG, FILE_INFORMATION_CLASS, BOOLEAN,
                                                PUNICODE_STRING, BOOLEAN);
using NtOpenFileFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                      ULONG, ULONG);
using NtQueryInformationFileFn = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                  FILE_INFORMATION_CLASS);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(NTSTATUS);

constexpr FILE_INFORMATION_CLASS kBasicInformation = static_cast<FILE_INFORMATION_CLASS>(4);
constexpr FILE_INFORMATION_CLASS kInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);

struct BasicInformation {
    LARGE_INTEGER CreationTime;
    LARGE_INTEGER LastAccessTime;
    LARGE_INTEGER LastWriteTime;
    LARGE_INTEGER ChangeTime;
    ULONG FileAttributes;
};

// The calls of ntdll this needs, looked up once.
struct NtCalls {
    NtQueryDirectoryFileFn queryDirectory = nullptr;
    NtOpenFileFn openFile = nullptr;
    NtQueryInformationFileFn queryInformation = nullptr;
    RtlNtStatusToDosErrorFn toDosError = nullptr;

    NtCalls() {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (!ntdll)
            return;
        queryDirectory = reinterpret_cast<NtQueryDirectoryFileFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryDirectoryFile")));
        openFile = reinterpret_cast<NtOpenFileFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtOpenFile")));
        queryInformation = reinterpret_cast<NtQueryInformationFileFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile")));
        toDosError = reinterpret_cast<RtlNtStatusToDosErrorFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlNtStatusToDosError")));
    }
};

const NtCalls& Nt() {
    static const NtCalls calls;
    return calls;
}

std::wstring Widen(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                            length);
    return wide;
}

void Narrow(const wchar_t* wide, int nChars, std::string& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, nChars, nullptr, 0, nullptr, nullptr);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    if (length > 0 &&
        WideCharToMultiByte(CP_ACP, 0, wide, nChars, &text[0], length, nullptr, nullptr) <= 0)
        text.clear();
}

// Seconds since 1970 of a FILETIME count (100 ns units since 1601).
int64_t UnixSeconds(int64_t fileTime) {
    constexpr int64_t kEpochDifference = 11644473600LL;
    constexpr int64_t kTicksPerSecond = 10000000LL;
    // Rounded down, as the C runtime's find functions gave it.
    int64_t seconds = fileTime / kTicksPerSecond;
    if (fileTime % kTicksPerSecond < 0)
        --seconds;
    return seconds - kEpochDifference;
}

// The errno value the C runtime gives for a system error, for the few a folder's open or
// read can end in.
int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_DIRECTORY:
    case ERROR_INVALID_PARAMETER:
        return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES:
        return ENOMEM;
    default:
        return EIO;
    }
}

int ErrnoOfStatus(NTSTATUS status) {
    return Nt().toDosError ? ErrnoOf(Nt().toDosError(status)) : EIO;
}

// Whether the volume holding `path` can give a file several names. FAT and exFAT cannot,
// nor can many network shares: their files need no call of their own. Asked once per
// volume and kept: walking threads share the answers.
bool VolumeHasHardLinks(const std::wstring& path) {
    static std::mutex mutex;
    static std::vector<std::pair<std::wstring, bool>> known;
    wchar_t volume[MAX_PATH + 1];
    if (!GetVolumePathNameW(path.c_str(), volume, MAX_PATH + 1))
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

// A path as the system takes it: one too long for MAX_PATH is given the "\\?\" prefix
// (drive paths and UNC paths only: the prefix takes a path as it is).
std::wstring ForSystem(std::wstring path) {
    if (path.size() < MAX_PATH)
        return path;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    const bool isDrivePath = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    const bool isUncPath = path.compare(0, 2, L"\\\\") == 0 && path.compare(0, 4, L"\\\\?\\") != 0;
    if (isDrivePath)
        return L"\\\\?\\" + path;
    if (isUncPath)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

// The folder path ending in a separator.
std::wstring FolderPath(const std::string& folderPath) {
    std::wstring path = Widen(folderPath);
    if (path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    return path;
}

// The name after the last separator.
std::wstring LastName(const std::string& folderPath) {
    size_t end = folderPath.size();
    while (end > 0 && (folderPath[end - 1] == '\\' || folderPath[end - 1] == '/'))
        --end;
    size_t start = end;
    while (start > 0 && folderPath[start - 1] != '\\' && folderPath[start - 1] != '/')
        --start;
    return Widen(folderPath.substr(start, end - start));
}

std::atomic<int> sharedCount{0};

} // namespace

// An open folder, shared by its enumerator and the subfolders opened from it.
class FolderHandle {
public:
    explicit FolderHandle(HANDLE handle) : m_handle(handle) {}
    ~FolderHandle() { CloseHandle(m_handle); }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

struct DirEnumerator::Impl {
    std::shared_ptr<FolderHandle> folder; // null when the folder could not be opened
    int nOpenError = 0;
    std::unique_ptr<uint64_t[]> buffer;    // aligned as the entries need
    const IdFullDirEntry* pNext = nullptr; // the next entry of the buffer; null: read more
    bool bRestart = true;                  // the first read starts from the beginning
    bool bEnd = false;
    std::string strName;
    std::wstring path; // the folder path ending in a separator, when files' links are read
    bool bReadLinks = false;
    bool bCounted = false; // counted among the shared handles
};

namespace {

// A file's number of names and its identity: one open and one query. Called only where
// links are asked for and the volume can have them.
void ReadFileLinks(const std::wstring& path, DirItem& item) {
    const HANDLE file = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
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

// Opens the folder `name` of the open folder `parent`, for listing.
HANDLE OpenRelative(HANDLE parent, const std::wstring& name, int& nError) {
    const NtCalls& nt = Nt();
    if (!nt.openFile || name.empty() || name.size() * sizeof(wchar_t) > 0xFFFE) {
        nError = ENOENT;
        return INVALID_HANDLE_VALUE;
    }
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<wchar_t*>(name.c_str());
    objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof(attributes);
    attributes.RootDirectory = parent;
    attributes.ObjectName = &objectName;
    attributes.Attributes = kObjCaseInsensitive;
    IO_STATUS_BLOCK io{};
    HANDLE handle = INVALID_HANDLE_VALUE;
    const NTSTATUS status =
        nt.openFile(&handle, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes,
                    &io, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    kFileDirectoryFile | kFileSynchronousIoNonAlert | kFileOpenForBackupIntent);
    if (status < 0) {
        nError = ErrnoOfStatus(status);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

HANDLE OpenByPath(const std::wstring& path, int& nError) {
    const HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        nError = ErrnoOf(GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    // A file opens too (the flag lets folders open at all): it is not something to list.
    // Only the attributes: the whole information asks the volume as well.
    FILE_BASIC_INFO info;
    if (GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof(info)) &&
        !(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        nError = ENOTDIR;
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

} // namespace

DirEnumerator::DirEnumerator(const std::string& folderPath, EntryDetails, FileLinks links,
                             const FolderHandle* parent)
    : m_pImpl(new Impl) {
    // The bulk call delivers every detail at no extra cost.
    Impl& d = *m_pImpl;
    if (folderPath.empty() || !Nt().queryDirectory) {
        d.nOpenError = ENOENT;
        return;
    }
    const std::wstring path = FolderPath(folderPath);
    const HANDLE handle = parent ? OpenRelative(parent->Get(), LastName(folderPath), d.nOpenError)
                                 : OpenByPath(ForSystem(path), d.nOpenError);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    d.folder = std::make_shared<FolderHandle>(handle);
    d.buffer.reset(new uint64_t[kBufferBytes / sizeof(uint64_t)]);
    if (links == FileLinks::Read && VolumeHasHardLinks(ForSystem(path))) {
        d.bReadLinks = true;
        d.path = path;
    }
}

DirEnumerator::~DirEnumerator() {
    if (m_pImpl->bCounted)
        sharedCount.fetch_sub(1, std::memory_order_relaxed);
}

std::shared_ptr<const FolderHandle> DirEnumerator::ShareHandle() const {
    Impl& d = *m_pImpl;
    if (!d.folder)
        return nullptr;
    if (!d.bCounted) {
        if (sharedCount.fetch_add(1, std::memory_order_relaxed) >= kMostShared) {
            sharedCount.fetch_sub(1, std::memory_order_relaxed);
            return nullptr;
        }
        d.bCounted = true;
    }
    return d.folder;
}

bool DirEnumerator::IsOpen() const {
    return m_pImpl->folder != nullptr;
}

int DirEnumerator::OpenError() const {
    return m_pImpl->nOpenError;
}

bool DirEnumerator::GetIdentity(FolderIdentity&) const {
    // Asking a folder's volume costs a query of the volume per folder (under Wine an open
    // of the drive's device); a volume mounted in a folder is a reparse point, which no
    // walk enters, so nothing needs the device, and the parent's listing gives the time.
    return false;
}

bool DirEnumerator::GetKey(FolderKey& key) const {
    // Two questions of the open folder: asked only of a walk's roots, as every other
    // folder's key comes with its parent's listing.
    const Impl& d = *m_pImpl;
    if (!d.folder || !Nt().queryInformation)
        return false;
    IO_STATUS_BLOCK io{};
    LARGE_INTEGER number{};
    BasicInformation basic{};
    if (Nt().queryInformation(d.folder->Get(), &io, &number, sizeof(number),
                              kInternalInformation) != kStatusSuccess ||
        Nt().queryInformation(d.folder->Get(), &io, &basic, sizeof(basic), kBasicInformation) !=
            kStatusSuccess)
        return false;
    key.nDevice = 0;
    key.nId = static_cast<uint64_t>(number.QuadPart);
    key.nChanged = basic.ChangeTime.QuadPart;
    return key.IsKnown();
}

bool DirEnumerator::Next(DirItem& item) {
    Impl& d = *m_pImpl;
    if (!d.folder || d.bEnd)
        return false;
    if (!d.pNext) {
        IO_STATUS_BLOCK io{};
        const NTSTATUS status =
            Nt().queryDirectory(d.folder->Get(), nullptr, nullptr, nullptr, &io, d.buffer.get(),
                                static_cast<ULONG>(kBufferBytes), kIdFullDirectoryInformation,
                                FALSE, nullptr, d.bRestart ? TRUE : FALSE);
        d.bRestart = false;
        // The end of the folder, an empty one (a drive's root has no "." or ".."), or a
        // read that failed midway: what was delivered stands, as with the find functions.
        if (status != kStatusSuccess || io.Information == 0) {
            d.bEnd = true;
            return false;
        }
        d.pNext = reinterpret_cast<const IdFullDirEntry*>(d.buffer.get());
    }
    const IdFullDirEntry& entry = *d.pNext;
    d.pNext = entry.NextEntryOffset
                  ? reinterpret_cast<const IdFullDirEntry*>(reinterpret_cast<const char*>(d.pNext) +
                                                            entry.NextEntryOffset)
                  : nullptr;
    const int nChars = static_cast<int>(entry.FileNameLength / sizeof(WCHAR));
    Narrow(entry.FileName, nChars, d.strName);
    item.name = d.strName.c_str();
    item.bFolder = (entry.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.bReparsePoint = (entry.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    item.nSize = item.bFolder ? 0 : static_cast<uint64_t>(entry.EndOfFile.QuadPart);
    item.tModified = UnixSeconds(entry.LastWriteTime.QuadPart);
    item.nError = 0; // the bulk call delivers an entry's details with its name
    item.nLinks = 1;
    item.nDevice = 0;
    item.nFileId = 0;
    item.nDiskBytes = item.bFolder ? -1 : static_cast<int64_t>(entry.AllocationSize.QuadPart);
    item.folderKey = item.bFolder ? FolderKey{0, static_cast<uint64_t>(entry.FileId.QuadPart),
                                              entry.ChangeTime.QuadPart}
                                  : FolderKey{};
    if (d.bReadLinks && !item.bFolder)
        ReadFileLinks(ForSystem(d.path + std::wstring(entry.FileName, static_cast<size_t>(nChars))),
                      item);
    return true;
}
