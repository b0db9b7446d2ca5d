// The system's notifications for a folder tree: ReadDirectoryChangesW on the folder,
// everything beneath it, one read always pending so that nothing falls between two.
#include <windows.h>

#include <vector>

#include "change_source.h"
#include "path_text.h"

namespace {

// Bursts fit in a large buffer; a network share takes at most 64 KiB.
constexpr DWORD kLargeBuffer = 512 * 1024;
constexpr DWORD kShareBuffer = 64 * 1024;
// How long closing waits for the pending read to end.
constexpr DWORD kCancelWaitMs = 2000;
constexpr DWORD kWhatChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                               FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

// Names come in UTF-16; paths are in the program's code page (UTF-8 through the manifest).
std::string Narrow(const wchar_t* wide, int nChars) {
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide, nChars, nullptr, 0, nullptr, nullptr);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_ACP, 0, wide, nChars, &text[0], length, nullptr, nullptr);
    return text;
}

RawChange::Kind KindOf(DWORD action) {
    switch (action) {
    case FILE_ACTION_ADDED:
        return RawChange::Kind::Added;
    case FILE_ACTION_REMOVED:
        return RawChange::Kind::Removed;
    case FILE_ACTION_RENAMED_OLD_NAME:
        return RawChange::Kind::RenamedFrom;
    case FILE_ACTION_RENAMED_NEW_NAME:
        return RawChange::Kind::RenamedTo;
    default:
        return RawChange::Kind::Modified;
    }
}

class DirectoryChanges : public ChangeSource {
public:
    DirectoryChanges(const std::string& root, HANDLE hFolder)
        : m_root(root), m_hFolder(hFolder),
          m_hEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~DirectoryChanges() override {
        // Closing the folder ends the pending read; the system writes nothing into its
        // buffer after it has signalled. One that never signals keeps its buffer for good.
        ::CancelIoEx(m_hFolder, &m_overlapped);
        ::CloseHandle(m_hFolder);
        if (m_bPending && ::WaitForSingleObject(m_hEvent, kCancelWaitMs) != WAIT_OBJECT_0) {
            static std::vector<std::vector<DWORD>> abandoned;
            abandoned.push_back(std::move(m_buffer));
            return; // the event stays too: the read may still set it
        }
        if (m_hEvent)
            ::CloseHandle(m_hEvent);
    }
    DirectoryChanges(const DirectoryChanges&) = delete;
    DirectoryChanges& operator=(const DirectoryChanges&) = delete;

    void Wait(std::vector<RawChange>& changes, unsigned timeoutMs) override {
        if (m_bFailed)
            return;
        if (!m_bPending && !Issue()) {
            Fail(changes);
            return;
        }
        if (::WaitForSingleObject(m_hEvent, timeoutMs) != WAIT_OBJECT_0)
            return;
        DWORD bytes = 0;
        const bool bDone = ::GetOverlappedResult(m_hFolder, &m_overlapped, &bytes, FALSE);
        m_bPending = false;
        if (!bDone) {
            if (::GetLastError() != ERROR_NOTIFY_ENUM_DIR) {
                Fail(changes);
                return;
            }
            bytes = 0; // the system's own word for an overflow
        }
        // The next read goes out before this one is looked at: nothing is missed meanwhile.
        std::vector<DWORD> told;
        told.swap(m_buffer);
        const bool bIssued = Issue();
        if (bytes == 0)
            changes.push_back({RawChange::Kind::Overflow, std::string()});
        else
            Parse(told, bytes, changes);
        m_spare.swap(told);
        if (!bIssued)
            Fail(changes);
    }

    bool Issue() {
        if (!m_hEvent)
            return false;
        if (m_buffer.size() * sizeof(DWORD) < m_nBufferBytes)
            m_buffer.swap(m_spare);
        m_buffer.resize(m_nBufferBytes / sizeof(DWORD));
        ::ResetEvent(m_hEvent);
        m_overlapped = OVERLAPPED{};
        m_overlapped.hEvent = m_hEvent;
        for (;;) {
            if (::ReadDirectoryChangesW(m_hFolder, m_buffer.data(), m_nBufferBytes, TRUE,
                                        kWhatChanges, nullptr, &m_overlapped, nullptr)) {
                m_bPending = true;
                return true;
            }
            if (::GetLastError() != ERROR_INVALID_PARAMETER || m_nBufferBytes == kShareBuffer)
                return false;
            m_nBufferBytes = kShareBuffer;
        }
    }

private:
    void Parse(const std::vector<DWORD>& told, DWORD bytes, std::vector<RawChange>& changes) {
        const char* at = reinterpret_cast<const char*>(told.data());
        const char* end = at + bytes;
        while (at + sizeof(FILE_NOTIFY_INFORMATION) <= end) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            std::string relative =
                Narrow(info->FileName, static_cast<int>(info->FileNameLength / sizeof(WCHAR)));
            changes.push_back({KindOf(info->Action), JoinPath(m_root, relative.c_str())});
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    }
    void Fail(std::vector<RawChange>& changes) {
        m_bFailed = true;
        changes.push_back({RawChange::Kind::Failed, std::string()});
    }

    std::string m_root;
    HANDLE m_hFolder;
    HANDLE m_hEvent;
    OVERLAPPED m_overlapped{};
    DWORD m_nBufferBytes = kLargeBuffer;
    std::vector<DWORD> m_buffer; // the pending read's; DWORDs keep the entries aligned
    std::vector<DWORD> m_spare;  // the one read last, taken for the next read
    bool m_bPending = false;
    bool m_bFailed = false;
};

} // namespace

std::unique_ptr<ChangeSource> WatchFolderTree(const std::string& root) {
    const HANDLE hFolder = ::CreateFileA(
        root.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (hFolder == INVALID_HANDLE_VALUE)
        return nullptr;
    auto source = std::make_unique<DirectoryChanges>(root, hFolder);
    if (!source->Issue())
        return nullptr;
    return source;
}
