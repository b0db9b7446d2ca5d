// The system's notifications for a folder tree: ReadDirectoryChangesW on the folder,
// everything beneath it, one read always pending so that nothing falls between two.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "change_source.h"
#include "path_text.h"

namespace {

// Bursts fit in a large buffer; a network share takes at most 64 KiB.
constexpr DWORD kLargeBuffer = 512 * 1024;
constexpr DWORD kShareBuffer = 64 * 1024;
// How long closing waits for the pending read to end.
constexpr DWORD kCancelWaitMs = 2000;
// How often the folder itself is looked at (is it still there? is it empty?).
constexpr DWORD kLookAtFolderMs = 500;
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

// Opens `root` for watching; INVALID_HANDLE_VALUE when it cannot be.
HANDLE OpenFolder(const std::string& root) {
    return ::CreateFileA(root.c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The names in `folder` (none when it cannot be read).
std::vector<std::string> NamesIn(const std::string& folder, bool bFirstOnly) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE hFind = ::FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while ((names.empty() || !bFirstOnly) && ::FindNextFileA(hFind, &found));
    ::FindClose(hFind);
    return names;
}

class DirectoryChanges : public ChangeSource {
public:
    DirectoryChanges(const std::string& root, HANDLE hFolder)
        : m_root(root), m_hFolder(hFolder), m_hEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_nLookedAt(::GetTickCount()) {}
    ~DirectoryChanges() override {
        std::vector<RawChange> unused;
        CloseFolder(unused);
        if (m_hEvent && !m_bEventLeft)
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
        if (::WaitForSingleObject(m_hEvent, timeoutMs) == WAIT_OBJECT_0)
            TakeCompleted(changes);
        if (!m_bFailed && ::GetTickCount() - m_nLookedAt >= kLookAtFolderMs)
            LookAtFolder(changes);
    }

    bool Issue() {
        if (!m_hEvent || m_bEventLeft)
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
    // The pending read has ended: what it told goes to `changes`, the next read goes out.
    void TakeCompleted(std::vector<RawChange>& changes) {
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
        Tell(told, bytes, changes);
        m_spare.swap(told);
        if (!bIssued)
            Fail(changes);
    }

    void Tell(const std::vector<DWORD>& told, DWORD bytes, std::vector<RawChange>& changes) {
        if (bytes == 0) {
            changes.push_back({RawChange::Kind::Overflow, std::string()});
            return;
        }
        const char* at = reinterpret_cast<const char*>(told.data());
        const char* end = at + bytes;
        // A record ends with its name: one of a short name told alone is shorter than the
        // structure (14 bytes for a one-letter name), and must be read all the same.
        constexpr size_t kHeadBytes = offsetof(FILE_NOTIFY_INFORMATION, FileName);
        while (at + kHeadBytes <= end) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            if (info->FileNameLength > static_cast<size_t>(end - at) - kHeadBytes)
                break;
            std::string relative =
                Narrow(info->FileName, static_cast<int>(info->FileNameLength / sizeof(WCHAR)));
            changes.push_back({KindOf(info->Action), JoinPath(m_root, relative.c_str())});
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    }

    // The folder is looked at now and then. One that is gone ends the watch. Where a folder
    // removed while a handle is open on it stays until that handle closes (Wine's file
    // system does so, and tells nothing), our handle alone would keep it: so an empty
    // folder, the only kind that can be removed, is opened afresh. What came into it
    // meanwhile is told as added.
    void LookAtFolder(std::vector<RawChange>& changes) {
        m_nLookedAt = ::GetTickCount();
        if (!IsFolder(m_root)) {
            Fail(changes);
            return;
        }
        if (!NamesIn(m_root, true).empty())
            return;
        CloseFolder(changes);
        m_hFolder = OpenFolder(m_root);
        if (m_hFolder == INVALID_HANDLE_VALUE || !Issue()) {
            Fail(changes);
            return;
        }
        for (const std::string& name : NamesIn(m_root, false))
            changes.push_back({RawChange::Kind::Added, JoinPath(m_root, name.c_str())});
    }

    // Closing the folder ends the pending read; what it had told by then goes to
    // `changes`. The system writes nothing into the buffer after it has signalled; a read
    // that never signals keeps its buffer and event for good.
    void CloseFolder(std::vector<RawChange>& changes) {
        if (m_hFolder == INVALID_HANDLE_VALUE)
            return;
        if (m_bPending) {
            ::CancelIoEx(m_hFolder, &m_overlapped);
            if (::WaitForSingleObject(m_hEvent, kCancelWaitMs) != WAIT_OBJECT_0) {
                static std::vector<std::vector<DWORD>> abandoned;
                abandoned.push_back(std::move(m_buffer));
                m_bEventLeft = true; // the read may still set it
            } else {
                DWORD bytes = 0;
                if (::GetOverlappedResult(m_hFolder, &m_overlapped, &bytes, FALSE) && bytes > 0)
                    Tell(m_buffer, bytes, changes);
            }
            m_bPending = false;
        }
        ::CloseHandle(m_hFolder);
        m_hFolder = INVALID_HANDLE_VALUE;
    }

    // The watch has ended; the folder is let go at once, so that it can be removed.
    void Fail(std::vector<RawChange>& changes) {
        m_bFailed = true;
        std::vector<RawChange> unused;
        CloseFolder(unused);
        changes.push_back({RawChange::Kind::Failed, std::string()});
    }

    std::string m_root;
    HANDLE m_hFolder;
    HANDLE m_hEvent;
    OVERLAPPED m_overlapped{};
    DWORD m_nBufferBytes = kLargeBuffer;
    std::vector<DWORD> m_buffer; // the pending read's; DWORDs keep the entries aligned
    std::vector<DWORD> m_spare;  // the one read last, taken for the next read
    DWORD m_nLookedAt;           // when the folder itself was last looked at
    bool m_bPending = false;
    bool m_bFailed = false;
    bool m_bEventLeft = false; // a read that never ended may still set the event
};

} // namespace

std::unique_ptr<ChangeSource> WatchFolderTree(const std::string& root) {
    const HANDLE hFolder = OpenFolder(root);
    if (hFolder == INVALID_HANDLE_VALUE)
        return nullptr;
    auto source = std::make_unique<DirectoryChanges>(root, hFolder);
    if (!source->Issue())
        return nullptr;
    return source;
}
