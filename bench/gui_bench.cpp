// Times the program's windows under Wine where a user waits on them (bench/gui_bench.sh).
//   gui_bench expand FOLDER   the folder tree expanding FOLDER, the first time in the process
//                             and again in a fresh tree: filling the node and the
//                             first paint of its subfolders with their icons and buttons
//   gui_bench show FOLDER     the program showing FOLDER: until its rows are visible, until
//                             the sorted totals are in, the longest another thread waited
//                             meanwhile for the window to answer, and closing the program
//                             in the middle of a second scan of it
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "dscp_in_process.h"
#include "gui_test_support.h"
#include "resource.h"
#include "shell_tree_ctrl.h"

namespace {

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_start);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) /
               static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

// Fills a tree with FOLDER as its root node and times the expansion with its first paint.
double TimeExpand(CShellTreeCtrl& tree, LPCITEMIDLIST pidl) {
    tree.AddRootFolderContent(pidl, CShellTreeCtrl::kRootNode);
    HTREEITEM hRoot = tree.GetRootItem();
    tree.UpdateWindow(); // the root's own icon, as the program has shown folders before
    const Stopwatch watch;
    tree.Expand(hRoot, TVE_EXPAND);
    tree.UpdateWindow();
    return watch.Seconds();
}

int Expand(const std::string& folder) {
    CWnd host;
    CShellTreeCtrl tree;
    if (!host.CreateEx(0, nullptr, "Shell tree", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420,
                       560, nullptr, nullptr) ||
        !tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES,
                     CRect(0, 0, 400, 520), &host, 1000))
        return 1;
    LPITEMIDLIST pidl = ILCreateFromPathA(folder.c_str());
    if (!pidl) {
        std::fprintf(stderr, "no such folder: %s\n", folder.c_str());
        return 1;
    }
    // The first time in a process includes the shell's own start-up.
    const double first = TimeExpand(tree, pidl);
    const double again = TimeExpand(tree, pidl);
    std::printf("expand %u subfolders and first paint: %.3f s, in a fresh tree again %.3f s\n",
                tree.GetCount() - 1, first, again);
    ILFree(pidl);
    host.DestroyWindow();
    return 0;
}

int Show(const std::string& folder) {
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    const Stopwatch watch;
    program.Show(folder);
    program.m_pView->UpdateWindow();
    const double shown = watch.Seconds();
    // During the scan another thread asks the window for an answer every few milliseconds.
    std::atomic<bool> bDone{false};
    std::atomic<bool> bProberEnded{false};
    std::atomic<DWORD> worst{0};
    const HWND hFrame = program.m_pFrame->m_hWnd;
    std::thread prober([&] {
        while (!bDone) {
            const DWORD start = GetTickCount();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(hFrame, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            worst = std::max<DWORD>(worst, GetTickCount() - start);
            Sleep(5);
        }
        bProberEnded = true;
    });
    const bool bFinished = program.WaitForScan(600000);
    const double totals = watch.Seconds();
    bDone = true;
    program.PumpUntil([&] { return bProberEnded.load(); });
    prober.join();
    if (!bFinished)
        return 1;
    std::printf("show %d rows: visible %.3f s, sorted totals %.3f s, "
                "the window answered within %lu ms\n",
                program.List().GetItemCount(), shown, totals,
                static_cast<unsigned long>(worst.load()));

    program.Show(folder);
    PumpMessages();
    const Stopwatch closing;
    program.m_pFrame->PostMessage(WM_COMMAND, ID_APP_EXIT);
    const int code = program.m_pApp->Run();
    std::printf("close mid-scan: %.3f s\n", closing.Seconds());
    return code;
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    const std::string what = argc == 3 ? argv[1] : "";
    int result = 2;
    if (what == "expand")
        result = Expand(argv[2]);
    else if (what == "show")
        result = Show(argv[2]);
    else
        std::fprintf(stderr, "usage: gui_bench expand|show FOLDER\n");
    OleUninitialize();
    return result;
}
