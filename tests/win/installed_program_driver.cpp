// Drives an installed dscp.exe from outside, as a user's desktop would, for the installer's
// journey (tests/win/installer_journey.sh). One command per run; what it finds goes to
// standard output, one "name=value" a line; the exit status is 0 only when it all worked.
//   installed_program_driver version FILE       the version resource, as Explorer reads it
//   installed_program_driver shortcut LINK      the program a shortcut starts
//   installed_program_driver show EXE LETTER    starts EXE, chooses drive LETTER in its
//       folder tree, waits for the drive's totals, prints the status line, the tree
//       pane's width and the list's rows, and ends the program with File Exit
// The program's tree and list are read through memory of its own process: their item
// messages carry pointers, which do not cross processes.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDeadlineMs = 60000;
constexpr UINT kFileExit = 57665;

bool Fail(const char* what) {
    std::fprintf(stderr, "installed_program_driver: %s\n", what);
    return false;
}

int Version(const char* path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size)
        return Fail("no version resource"), 1;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data()))
        return Fail("the version resource cannot be read"), 1;
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT cb = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&pFixed), &cb) || !pFixed)
        return Fail("no fixed version"), 1;
    std::printf("FileVersion#%u.%u.%u.%u\n", unsigned{HIWORD(pFixed->dwFileVersionMS)},
                unsigned{LOWORD(pFixed->dwFileVersionMS)}, unsigned{HIWORD(pFixed->dwFileVersionLS)},
                unsigned{LOWORD(pFixed->dwFileVersionLS)});
    // The strings of the resource's first language and code page, as Properties shows them.
    struct Translation {
        WORD language, codePage;
    }* pTranslation = nullptr;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&pTranslation), &cb) ||
        cb < sizeof(Translation))
        return Fail("no translation"), 1;
    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "ProductName",
                             "ProductVersion", "LegalCopyright"}) {
        char query[96];
        std::snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\%s",
                      pTranslation->language, pTranslation->codePage, name);
        char* pValue = nullptr;
        if (VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&pValue), &cb) && pValue)
            std::printf("%s=%s\n", name, pValue);
    }
    return 0;
}

int Shortcut(const char* path) {
    CoInitialize(nullptr);
    IShellLinkA* pLink = nullptr;
    IPersistFile* pFile = nullptr;
    int result = 1;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    char target[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkA, reinterpret_cast<void**>(&pLink))) &&
        SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
        SUCCEEDED(pFile->Load(wide, STGM_READ)) &&
        SUCCEEDED(pLink->GetPath(target, MAX_PATH, nullptr, 0))) {
        std::printf("Target=%s\n", target);
        result = 0;
    } else {
        Fail("the shortcut cannot be read");
    }
    if (pFile)
        pFile->Release();
    if (pLink)
        pLink->Release();
    CoUninitialize();
    return result;
}

// A block of memory inside another process, for the messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE hProcess, SIZE_T size)
        : m_hProcess(hProcess),
          m_p(static_cast<char*>(
              VirtualAllocEx(hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE))) {}
    ~RemoteBuffer() {
        if (m_p)
            VirtualFreeEx(m_hProcess, m_p, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    bool Valid() const { return m_p != nullptr; }
    char* At(SIZE_T offset) const { return m_p + offset; }
    bool Write(SIZE_T offset, const void* pData, SIZE_T size) const {
        return WriteProcessMemory(m_hProcess, m_p + offset, pData, size, nullptr) != FALSE;
    }
    bool Read(SIZE_T offset, void* pData, SIZE_T size) const {
        return ReadProcessMemory(m_hProcess, m_p + offset, pData, size, nullptr) != FALSE;
    }

private:
    HANDLE m_hProcess;
    char* m_p;
};

constexpr SIZE_T kTextOffset = 256; // the item record first, its text after it
constexpr int kTextSize = 1024;

std::string TreeItemText(const RemoteBuffer& remote, HWND hTree, HTREEITEM hItem) {
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = remote.At(kTextOffset);
    item.cchTextMax = kTextSize;
    char text[kTextSize] = {};
    if (!remote.Write(0, &item, sizeof(item)) || !remote.Write(kTextOffset, text, 1) ||
        !SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(kTextOffset, text, sizeof(text) - 1))
        return {};
    return text;
}

std::string ListCellText(const RemoteBuffer& remote, HWND hList, int nItem, int nSubItem) {
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = remote.At(kTextOffset);
    item.cchTextMax = kTextSize;
    char text[kTextSize] = {};
    if (!remote.Write(0, &item, sizeof(item)) || !remote.Write(kTextOffset, text, 1))
        return {};
    SendMessageA(hList, LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Read(kTextOffset, text, sizeof(text) - 1);
    return text;
}

struct WindowSearch {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == pSearch->pid && IsWindowVisible(hWnd) && std::strcmp(cls, pSearch->cls) == 0) {
        pSearch->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindChild(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<WindowSearch*>(lParam);
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (std::strcmp(cls, pSearch->cls) == 0) {
        pSearch->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindDescendant(HWND hParent, const char* cls) {
    WindowSearch search{0, cls, nullptr};
    EnumChildWindows(hParent, &FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND hWnd) {
    char text[512] = {};
    SendMessageA(hWnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// Calls `done` every 50 ms until it says yes or the deadline passes.
template <typename Done> bool WaitFor(Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kDeadlineMs)
            return false;
        Sleep(50);
    }
    return true;
}

bool ShowDrive(HANDLE hProcess, DWORD pid, char letter) {
    HWND hMain = nullptr;
    if (!WaitFor([&] {
            WindowSearch search{pid, "DscpFrame", nullptr};
            EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&search));
            return (hMain = search.found) != nullptr;
        }))
        return Fail("no main window");
    if (WaitForInputIdle(hProcess, kDeadlineMs) != 0)
        return Fail("the program never became idle");
    HWND hTree = FindDescendant(hMain, "SysTreeView32");
    HWND hList = FindDescendant(hMain, "SysListView32");
    HWND hStatus = FindDescendant(hMain, "msctls_statusbar32");
    if (!hTree || !hList || !hStatus)
        return Fail("no tree, list or status bar");
    RemoteBuffer remote(hProcess, kTextOffset + kTextSize);
    if (!remote.Valid())
        return Fail("no memory in the program's process");

    // The program starts on the computer node; the drive is one of its children.
    const auto hComputer = reinterpret_cast<HTREEITEM>(
        SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hComputer));
    const std::string wanted = std::string("(") + letter + ":)";
    HTREEITEM hDrive = nullptr;
    for (auto h = reinterpret_cast<HTREEITEM>(SendMessageA(
             hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hComputer)));
         h && !hDrive;
         h = reinterpret_cast<HTREEITEM>(
             SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(h)))) {
        const std::string text = TreeItemText(remote, hTree, h);
        std::printf("Drive=%s\n", text.c_str());
        if (text.find(wanted) != std::string::npos)
            hDrive = h;
    }
    if (!hDrive)
        return Fail("the drive is not in the folder tree");
    SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hDrive));

    // The status line has the total once the scan is done and the timer has ticked.
    std::string status;
    if (!WaitFor([&] {
            status = WindowText(hStatus);
            return status.find("Total Size:") != std::string::npos;
        }))
        return Fail(("no total in the status line: " + status).c_str());
    std::printf("Status=%s\n", status.c_str());
    RECT rcTree{};
    GetWindowRect(GetParent(GetParent(GetParent(hTree))), &rcTree);
    std::printf("TreePaneWidth=%d\n", static_cast<int>(rcTree.right - rcTree.left));
    const int nRows = static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < nRows; ++i) {
        std::string row = ListCellText(remote, hList, i, 0);
        for (int column = 1; column < 6; ++column)
            row += "|" + ListCellText(remote, hList, i, column);
        std::printf("Row=%s\n", row.c_str());
    }
    return true;
}

int Show(const char* exe, char letter) {
    std::string commandLine = std::string("\"") + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return Fail("the program does not start"), 1;
    bool bShown = ShowDrive(pi.hProcess, pi.dwProcessId, letter);
    // File Exit, as the user ends it.
    WindowSearch search{pi.dwProcessId, "DscpFrame", nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found)
        PostMessageA(search.found, WM_COMMAND, kFileExit, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, kDeadlineMs) != WAIT_OBJECT_0) {
        Fail("the program did not end from File Exit");
        TerminateProcess(pi.hProcess, 99);
    } else {
        GetExitCodeProcess(pi.hProcess, &code);
        std::printf("ExitCode=%u\n", static_cast<unsigned>(code));
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return bShown && code == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "version" && argc == 3)
        result = Version(argv[2]);
    else if (command == "shortcut" && argc == 3)
        result = Shortcut(argv[2]);
    else if (command == "show" && argc == 4 && std::strlen(argv[3]) == 1)
        result = Show(argv[2], argv[3][0]);
    else
        std::fprintf(stderr, "usage: installed_program_driver version FILE | shortcut LINK | "
                             "show EXE LETTER\n");
    std::fflush(stdout);
    return result;
}
