#include "file_operations.h"

#include <shellapi.h>

#include "path_list.h"

namespace {

// Opens the clipboard and closes it on every way out.
class ClipboardLock {
public:
    ClipboardLock(HWND hOwner, DWORD dwPatienceMs)
        : m_bOpen(OpenClipboardWithin(hOwner, dwPatienceMs)) {}
    ~ClipboardLock() {
        if (m_bOpen)
            ::CloseClipboard();
    }
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen;
};

// How long a command and a menu's update wait for another program to close the clipboard.
constexpr DWORD kPastePatienceMs = 500;
constexpr DWORD kUpdatePatienceMs = 50;

UINT PreferredDropEffectFormat() {
    return ::RegisterClipboardFormatA("Preferred DropEffect");
}

int ReadDropEffect(UINT nFormat) {
    HANDLE hData = nFormat ? ::GetClipboardData(nFormat) : nullptr;
    if (!hData)
        return 1;
    const SIZE_T nSize = ::GlobalSize(hData);
    const auto* pData = static_cast<const unsigned char*>(::GlobalLock(hData));
    const int nEffect = PasteEffectOf(pData, pData ? nSize : 0);
    if (pData)
        ::GlobalUnlock(hData);
    return nEffect;
}

// The clipboard's file list, or null when it holds none or one the shell could not walk
// without reading past its end.
HDROP WholeFileList() {
    auto hDrop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    if (!hDrop)
        return nullptr;
    const SIZE_T nSize = ::GlobalSize(hDrop);
    const auto* pData = static_cast<const unsigned char*>(::GlobalLock(hDrop));
    const bool bWhole = IsWholeFileList(pData, pData ? nSize : 0);
    if (pData)
        ::GlobalUnlock(hDrop);
    return bWhole ? hDrop : nullptr;
}

} // namespace

bool OpenClipboardWithin(HWND hOwner, DWORD dwPatienceMs) {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (::OpenClipboard(hOwner))
            return true;
        if (::GetTickCount64() - start >= dwPatienceMs)
            return false;
        ::Sleep(5);
    }
}

int ReadClipboardFiles(HWND hOwner, std::vector<std::string>& files) {
    const UINT nEffectFormat = PreferredDropEffectFormat();
    files.clear();
    ClipboardLock clipboard(hOwner, kPastePatienceMs);
    if (!clipboard.IsOpen())
        return 1;
    HDROP hDrop = WholeFileList();
    if (!hDrop)
        return 1;
    const int nEffect = ReadDropEffect(nEffectFormat);
    const UINT nCount = ::DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nCount; ++i) {
        // The length first, so no path is cut into the name of a different file.
        const UINT nLength = ::DragQueryFileA(hDrop, i, nullptr, 0);
        if (nLength == 0)
            continue;
        std::string path(nLength + 1, '\0');
        const UINT nCopied = ::DragQueryFileA(hDrop, i, &path[0], nLength + 1);
        if (nCopied != nLength)
            continue;
        path.resize(nLength);
        files.push_back(std::move(path));
    }
    return nEffect;
}

bool ClipboardHasFiles(HWND hOwner) {
    // Asking for the format needs no opening: only a clipboard with a file list is opened.
    if (!::IsClipboardFormatAvailable(CF_HDROP))
        return false;
    ClipboardLock clipboard(hOwner, kUpdatePatienceMs);
    if (!clipboard.IsOpen())
        return false;
    HDROP hDrop = WholeFileList();
    if (!hDrop)
        return false;
    // A list holding only its terminator is counted as one empty name by some shells:
    // only a name with characters counts as a file.
    const UINT nCount = ::DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nCount; ++i)
        if (::DragQueryFileA(hDrop, i, nullptr, 0) > 0)
            return true;
    return false;
}

bool RunFileOperation(HWND hOwner, UINT wFunc, const std::vector<std::string>& sources,
                      const std::vector<std::string>* pDestinations) {
    if (sources.empty())
        return false;
    const std::string from = BuildPathList(sources);
    const std::string to = pDestinations ? BuildPathList(*pDestinations) : std::string();
    SHFILEOPSTRUCTA op{};
    op.hwnd = hOwner;
    op.wFunc = wFunc;
    op.pFrom = from.c_str();
    op.pTo = pDestinations ? to.c_str() : nullptr;
    op.fFlags = FOF_MULTIDESTFILES | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
    op.hNameMappings = nullptr;
    op.lpszProgressTitle = "DSCP";
    ::SHFileOperationA(&op);
    return !op.fAnyOperationsAborted;
}

bool DeleteEntries(HWND hOwner, const std::string& folder, const std::vector<std::string>& names) {
    return RunFileOperation(hOwner, FO_DELETE, DeleteSources(folder, names), nullptr);
}

bool PasteFiles(HWND hOwner, const std::string& folder, const std::vector<std::string>& files,
                int nEffect) {
    const PastePlan plan = PlanPaste(folder, files);
    return RunFileOperation(hOwner, nEffect == 2 ? FO_MOVE : FO_COPY, plan.sources,
                            &plan.destinations);
}
