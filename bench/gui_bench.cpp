// Times the program's windows under Wine where a user waits on them (bench/gui_bench.sh).
//   gui_bench expand FOLDER   the folder tree expanding FOLDER, the first time in the process
//                             and again in a fresh tree: filling the node and the
//                             first paint of its subfolders with their icons and buttons
//   gui_bench show FOLDER     the program showing FOLDER: until its rows are visible, until
//                             the sorted totals are in, the longest another thread waited
//                             meanwhile for the window to answer, and closing the program
//                             in the middle of a second scan of it
//   gui_bench drill FOLDER    after FOLDER's scan has finished: ShowFolder of its largest
//                             subfolder until every row's Size, Folders and Files cells are
//                             filled and sorted (from what the scan walked), then the same
//                             for Up back to FOLDER, each before its own fresh scan
//   gui_bench treemap FOLDER   the program showing FOLDER with the treemap pane at 1200 × 400:
//                             from the end of the scan (its last results taken) to the
//                             finished picture of the whole tree shown, how many pictures
//                             were shown while the scan ran, and the longest another thread
//                             waited meanwhile for the window to answer
//   gui_bench panes FOLDER     the program showing FOLDER with its query panes shown, while
//                             another thread asks the main window for an answer every
//                             10 ms: when the panes first show rows during the scan, how
//                             long after its end their whole answers come, and the waits
//                             for the window (median, longest, how many over 100 ms)
//   gui_bench duplicates FOLDER   the program showing FOLDER, its scan ended, then the
//                             Duplicates pane's Find Duplicates while another thread asks
//                             the main window for an answer every 10 ms: how long until the
//                             groups are shown, the bytes read, and the waits for the window
//                             (median, longest, how many over 100 ms)
//   gui_bench sizeondisk FOLDER   the program showing FOLDER with the treemap, Largest Files
//                             and File Types, its scan ended; then View > Size on Disk and
//                             back, each while another thread asks the main window for an
//                             answer every 10 ms: the command itself, how long until every
//                             view shows the other size, and the waits for the window
//   gui_bench open FOLDER [MS] the program opening FOLDER (ShowFolder): how long it took and
//                             the longest another thread waited meanwhile for the list to
//                             answer; MS is how long a show runs before it handles
//                             messages (default the program's; "never" for none at all)
//   gui_bench watch FOLDER SECONDS READY   the program showing FOLDER with the Changes pane,
//                             its scan ended, then READY made (bench/change_load.py starts
//                             changing the folder) and for SECONDS: the waits for the window
//                             (another thread asks every 10 ms), the resident memory at the
//                             first minute (half the run when shorter) and at the end, and
//                             how long after a growth of the file watch_marker.bin in FOLDER
//                             its row shows the new size
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "changes_view.h"
#include "dscp_in_process.h"
#include "duplicates_view.h"
#include "list_columns.h"
#include "query_view.h"
#include "gui_test_support.h"
#include "resource.h"
#include "shell_tree_ctrl.h"
#include "size_text.h"

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

// Handles one message as the program's loop does.
void DispatchOne(MSG& msg) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !pApp->PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Another thread that asks a window for an answer every few milliseconds (a user's clicks,
// not a flood that would slow what it measures) and keeps every wait.
class WindowProber {
public:
    // `nExpected`: the waits to make room for at once (memory measured meanwhile stays put).
    explicit WindowProber(HWND hWnd, DWORD nPeriodMs = 5, size_t nExpected = 0)
        : m_nPeriodMs(nPeriodMs), m_waits(Reserved(nExpected)),
          m_thread([this, hWnd] { Run(hWnd); }) {}
    ~WindowProber() {
        m_bDone = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int Answers() const { return m_answers; }
    // Stops asking, handling this thread's messages until the last question is answered;
    // the longest wait in seconds.
    double Stop(DscpInProcess& program) {
        m_bDone = true;
        program.PumpUntil([&] { return m_bEnded.load(); });
        m_thread.join();
        return m_worst;
    }
    // Once stopped: the waits in seconds, shortest first.
    std::vector<double> SortedWaits() {
        std::sort(m_waits.begin(), m_waits.end());
        return m_waits;
    }

private:
    static std::vector<double> Reserved(size_t n) {
        std::vector<double> waits;
        waits.reserve(n);
        return waits;
    }
    void Run(HWND hWnd) {
        while (!m_bDone) {
            const Stopwatch wait;
            DWORD_PTR result = 0;
            SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
            const double seconds = wait.Seconds();
            m_worst = std::max(m_worst.load(), seconds);
            m_waits.push_back(seconds);
            ++m_answers;
            Sleep(m_nPeriodMs);
        }
        m_bEnded = true;
    }

    std::atomic<bool> m_bDone{false};
    std::atomic<bool> m_bEnded{false};
    std::atomic<double> m_worst{0};
    std::atomic<int> m_answers{0};
    const DWORD m_nPeriodMs;
    std::vector<double> m_waits; // the prober's own until it has ended
    std::thread m_thread;        // last: started once the rest is in place
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
    if (!host.CreateEx(0, nullptr, "Shell tree", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 560,
                       nullptr, nullptr) ||
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
    WindowProber prober(program.m_pFrame->m_hWnd);
    const bool bFinished = program.WaitForScan(600000);
    const double totals = watch.Seconds();
    const double worst = prober.Stop(program);
    if (!bFinished)
        return 1;
    std::printf("show %d rows: visible %.3f s, sorted totals %.3f s, "
                "the window answered within %.0f ms\n",
                program.List().GetItemCount(), shown, totals, worst * 1000);

    program.Show(folder);
    PumpMessages();
    const Stopwatch closing;
    program.m_pFrame->PostMessage(WM_COMMAND, ID_APP_EXIT);
    const int code = program.m_pApp->Run();
    std::printf("close mid-scan: %.3f s\n", closing.Seconds());
    return code;
}

// Times ShowFolder of `folder` until every subfolder row has its Size, Folders and Files
// cells and the list is sorted by size (the fresh scan, held, cannot have filled them).
bool TimeFilledShow(DscpInProcess& program, const std::string& folder, const char* pszWhat) {
    FolderScanController& scan = program.m_pDoc->ScanController();
    scan.HoldStart(true);
    const Stopwatch watch;
    program.Show(folder);
    program.m_pView->UpdateWindow();
    const double filled = watch.Seconds();
    const CListCtrl list = program.List();
    int nFilled = 0;
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (!list.GetItemText(i, 1).empty() &&
            (!list.GetItemText(i, 4).empty() || list.GetItemText(i, 5).empty()))
            ++nFilled;
    const bool bSorted = program.m_pView->SortColumn() == 1;
    std::printf("%s (%d rows, %d folders): %d of %d rows filled%s in %.3f s", pszWhat,
                list.GetItemCount(), program.m_pDoc->FolderCount(), nFilled, list.GetItemCount(),
                bSorted ? " and sorted" : ", NOT sorted", filled);
    scan.ReleaseStart();
    const Stopwatch fresh;
    const bool bFinished = program.WaitForScan(600000);
    std::printf("; its fresh scan then %.3f s\n", fresh.Seconds());
    return bFinished && bSorted && nFilled == list.GetItemCount();
}

int Drill(const std::string& folder) {
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    const Stopwatch watch;
    program.Show(folder);
    if (!program.WaitForScan(600000))
        return 1;
    std::printf("scan of %s: %.3f s, snapshot %.1f MiB\n", folder.c_str(), watch.Seconds(),
                static_cast<double>(program.m_pDoc->ScanController().Snapshot().MemoryUsed()) /
                    (1 << 20));
    const std::vector<FolderEntry>& subfolders = program.m_pDoc->Subfolders();
    if (subfolders.empty())
        return 1;
    const FolderEntry& largest = *std::max_element(
        subfolders.begin(), subfolders.end(),
        [](const FolderEntry& a, const FolderEntry& b) { return a.nSize < b.nSize; });
    const std::string sub = folder + "\\" + largest.strName;
    const bool bDown = TimeFilledShow(program, sub, "largest subfolder");
    const bool bUp = TimeFilledShow(program, folder, "up to the root");
    program.StopApp();
    return bDown && bUp ? 0 : 1;
}

// Sets the treemap pane's client area to width × height: the frame and the bar are sized,
// then corrected by what the borders took.
bool SizeTreemapPane(DscpInProcess& program, int width, int height) {
    CMainFrame& frame = *program.m_pFrame;
    CTreemapBar& bar = frame.TreemapBar();
    CRect rcFrame = frame.GetWindowRect();
    for (int pass = 0; pass < 3; ++pass) {
        const CRect rc = bar.Treemap().GetClientRect();
        if (rc.Width() == width && rc.Height() == height)
            return true;
        rcFrame.right += width - rc.Width();
        frame.SetWindowPos(nullptr, 0, 0, rcFrame.Width(), 1000, SWP_NOZORDER);
        bar.SetSizes(CSize(bar.HorzSize().cx, bar.HorzSize().cy + height - rc.Height()),
                     bar.VertSize(), bar.FloatSize());
        frame.RecalcLayout();
        PumpMessages();
    }
    const CRect rc = bar.Treemap().GetClientRect();
    return rc.Width() == width && rc.Height() == height;
}

int Treemap(const std::string& folder) {
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    if (!SizeTreemapPane(program, 1200, 400)) {
        const CRect rc = program.m_pFrame->TreemapBar().Treemap().GetClientRect();
        std::fprintf(stderr, "the pane could not be made 1200 x 400 (it is %d x %d)\n", rc.Width(),
                     rc.Height());
        return 1;
    }
    CTreemapWnd& treemap = program.m_pFrame->TreemapBar().Treemap();
    WindowProber prober(program.m_pFrame->m_hWnd);
    // Messages are handled one at a time here, each timed: the end of the scan and the
    // picture are seen at the message that brings them, and the longest message the
    // treemap's window handled (its picture, paint and timers) is told apart from the rest.
    const Stopwatch watch;
    double scanEnd = -1, drawn = -1, longestPane = 0, longestOther = 0;
    UINT longestOtherMessage = 0;
    char longestOtherClass[64] = "";
    int nPictures = 0;
    auto handle = [&](MSG& msg) {
        const Stopwatch one;
        DispatchOne(msg);
        const double took = one.Seconds();
        if (msg.hwnd == treemap.m_hWnd) {
            longestPane = std::max(longestPane, took);
            if (msg.message == CTreemapWnd::WM_TREEMAP_READY && scanEnd < 0)
                ++nPictures;
        } else if (took > longestOther) {
            longestOther = took;
            longestOtherMessage = msg.message;
            if (!msg.hwnd || !GetClassNameA(msg.hwnd, longestOtherClass, sizeof(longestOtherClass)))
                longestOtherClass[0] = '\0';
        }
    };
    program.Show(folder);
    const double shown = watch.Seconds();
    while (drawn < 0 && watch.Seconds() < 600) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        handle(msg);
        if (scanEnd < 0 && !program.m_pDoc->IsScanning())
            scanEnd = watch.Seconds();
        if (scanEnd >= 0 && treemap.IsPictureCurrent())
            drawn = watch.Seconds();
    }
    // The finished picture painted, as the user sees it.
    treemap.UpdateWindow();
    const double painted = watch.Seconds();
    const double worst = prober.Stop(program);
    if (drawn < 0)
        return 1;
    std::printf("treemap of %s at 1200 x 400: the show %.3f s, the scan ended at %.3f s; then "
                "the finished picture (%zu tiles) in %.0f ms, painted %.0f ms; %d pictures "
                "during the scan; longest message of the pane %.0f ms, of the rest %.0f ms "
                "(0x%04X to %s); the window answered within %.0f ms\n",
                folder.c_str(), shown, scanEnd, treemap.Layout()->tiles.size(),
                (drawn - scanEnd) * 1000, (painted - scanEnd) * 1000, nPictures, longestPane * 1000,
                longestOther * 1000, longestOtherMessage,
                longestOtherClass[0] ? longestOtherClass : "the thread", worst * 1000);
    program.StopApp();
    return 0;
}

// The program started with Largest Files and File Types shown (each pane's View command
// shows or hides it: one that hid a pane is given again); empty when they could not be.
std::vector<CQueryView*> StartWithAnsweringPanes(DscpInProcess& program) {
    if (!program.StartApp({}))
        return {};
    // The panes that answer without being asked anything (Search waits for a pattern).
    std::vector<CQueryView*> panes;
    for (const UINT nID : {ID_VIEW_LARGEST_FILES, ID_VIEW_FILE_TYPES})
        if (auto* pPane = program.m_pFrame->QueryPane<CQueryView>(nID))
            panes.push_back(pPane);
    auto shown = [](const CQueryView* pPane) { return ::IsWindowVisible(pPane->m_hWnd) != FALSE; };
    for (const UINT nID : {ID_VIEW_LARGEST_FILES, ID_VIEW_FILE_TYPES}) {
        const auto before = std::count_if(panes.begin(), panes.end(), shown);
        program.Command(nID);
        PumpMessages();
        if (std::count_if(panes.begin(), panes.end(), shown) < before) {
            program.Command(nID);
            PumpMessages();
        }
    }
    if (panes.empty() || !std::all_of(panes.begin(), panes.end(), shown)) {
        std::fprintf(stderr, "the query panes could not be shown\n");
        return {};
    }
    return panes;
}

// The program showing FOLDER with its query panes Largest Files and File Types
// shown, while another thread asks the main window for an answer every 10 ms: from the show
// through the scan, the panes following it, to their answers for the whole tree.
int Panes(const std::string& folder) {
    DscpInProcess program;
    const std::vector<CQueryView*> panes = StartWithAnsweringPanes(program);
    if (panes.empty())
        return 1;
    WindowProber prober(program.m_pFrame->m_hWnd, 10);
    program.PumpUntil([&] { return prober.Answers() > 0; }); // the prober is asking
    const Stopwatch watch;
    double longestPane = 0, firstRows = -1, scanEnd = -1, answered = -1;
    int nAnswersDuringScan = 0;
    UINT longestPaneMessage = 0, longestOtherMessage = 0;
    const char* longestPaneClass = "";
    double longestOther = 0, longestPeek = 0;
    char longestOtherClass[64] = "";
    const Stopwatch showing;
    program.Show(folder);
    const double showSeconds = showing.Seconds();
    while (answered < 0 && watch.Seconds() < 600) {
        MSG msg;
        const Stopwatch peek; // messages sent from other threads are handled in here
        const bool bGot = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        longestPeek = std::max(longestPeek, peek.Seconds());
        if (!bGot) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        const Stopwatch one;
        DispatchOne(msg);
        const bool bScanning = program.m_pDoc->IsScanning();
        const bool bPane = std::any_of(panes.begin(), panes.end(), [&](const CQueryView* pPane) {
            return msg.hwnd == pPane->m_hWnd;
        });
        if (!bPane && one.Seconds() > longestOther) {
            longestOther = one.Seconds();
            longestOtherMessage = msg.message;
            if (!msg.hwnd || !GetClassNameA(msg.hwnd, longestOtherClass, sizeof(longestOtherClass)))
                std::snprintf(longestOtherClass, sizeof(longestOtherClass), "the thread");
        }
        for (CQueryView* pPane : panes)
            if (msg.hwnd == pPane->m_hWnd) {
                if (one.Seconds() > longestPane) {
                    longestPaneMessage = msg.message;
                    longestPaneClass = pPane->GetRuntimeClass()->m_lpszClassName;
                }
                longestPane = std::max(longestPane, one.Seconds());
                if (msg.message == CQueryView::WM_QUERY_READY && bScanning) {
                    ++nAnswersDuringScan;
                    if (firstRows < 0 && pPane->GetListCtrl().GetItemCount() > 0)
                        firstRows = watch.Seconds();
                }
            }
        if (scanEnd < 0 && !bScanning && !program.m_pDoc->IsFilling())
            scanEnd = watch.Seconds();
        if (scanEnd >= 0 && std::all_of(panes.begin(), panes.end(), [](const CQueryView* pPane) {
                return pPane->IsAnswerCurrent();
            }))
            answered = watch.Seconds();
    }
    const double worst = prober.Stop(program);
    const std::vector<double> waits = prober.SortedWaits();
    if (answered < 0 || waits.empty())
        return 1;
    const size_t nOver =
        static_cast<size_t>(waits.end() - std::upper_bound(waits.begin(), waits.end(), 0.100));
    std::printf(
        "panes of %s: the scan ended at %.3f s, the panes' first rows at %.3f s during "
        "it (%d answers meanwhile), their whole answers %.0f ms after its end; the "
        "longest message of a pane %.0f ms (0x%04X to %s), of the rest %.0f ms (0x%04X to %s), "
        "the longest wait for one %.0f ms, choosing the folder %.0f ms; the window answered %zu "
        "times: median %.1f ms, longest %.0f ms, %zu over 100 ms\n",
        folder.c_str(), scanEnd, firstRows, nAnswersDuringScan, (answered - scanEnd) * 1000,
        longestPane * 1000, longestPaneMessage, longestPaneClass, longestOther * 1000,
        longestOtherMessage, longestOtherClass, longestPeek * 1000, showSeconds * 1000,
        waits.size(), waits[waits.size() / 2] * 1000, worst * 1000, nOver);
    program.StopApp();
    return 0;
}

// View > Size on Disk switched on and off once FOLDER's scan has ended and every view has
// shown it, each switch while another thread asks the main window for an answer every 10 ms.
int SizeOnDisk(const std::string& folder) {
    DscpInProcess program;
    const std::vector<CQueryView*> panes = StartWithAnsweringPanes(program);
    if (panes.empty())
        return 1;
    CTreemapWnd& treemap = program.m_pFrame->TreemapBar().Treemap();
    auto settled = [&] {
        return !program.m_pDoc->IsScanning() && !program.m_pDoc->IsFilling() &&
               treemap.IsPictureCurrent() &&
               std::all_of(panes.begin(), panes.end(),
                           [](const CQueryView* pPane) { return pPane->IsAnswerCurrent(); });
    };
    program.Show(folder);
    if (!program.PumpUntil(settled, 600000)) {
        std::fprintf(stderr, "the views did not settle on %s\n", folder.c_str());
        return 1;
    }
    for (const char* what : {"on", "off"}) {
        WindowProber prober(program.m_pFrame->m_hWnd, 10);
        program.PumpUntil([&] { return prober.Answers() > 0; }); // the prober is asking
        const Stopwatch watch;
        program.Command(ID_VIEW_SIZE_ON_DISK);
        const double command = watch.Seconds();
        // Messages are handled one at a time here, each timed, to name the longest.
        double longest = 0;
        UINT longestMessage = 0;
        char longestClass[64] = "";
        while (!settled() && watch.Seconds() < 600) {
            MSG msg;
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                continue;
            }
            const Stopwatch one;
            DispatchOne(msg);
            if (one.Seconds() > longest) {
                longest = one.Seconds();
                longestMessage = msg.message;
                const CQueryView* pPane = nullptr;
                for (const CQueryView* p : panes)
                    if (msg.hwnd == p->m_hWnd)
                        pPane = p;
                if (pPane)
                    std::snprintf(longestClass, sizeof(longestClass), "%s",
                                  pPane->GetRuntimeClass()->m_lpszClassName);
                else if (msg.hwnd == program.m_pView->m_hWnd)
                    std::snprintf(longestClass, sizeof(longestClass), "the folder list");
                else if (!msg.hwnd || !GetClassNameA(msg.hwnd, longestClass, sizeof(longestClass)))
                    std::snprintf(longestClass, sizeof(longestClass), "the thread");
            }
        }
        if (!settled())
            return 1;
        const double all = watch.Seconds();
        const double worst = prober.Stop(program);
        const std::vector<double> waits = prober.SortedWaits();
        if (waits.empty())
            return 1;
        const size_t nOver =
            static_cast<size_t>(waits.end() - std::upper_bound(waits.begin(), waits.end(), 0.100));
        std::printf("size on disk %s for %s (%zu rows, %zu tiles): the command %.0f ms, every "
                    "view %.0f ms, the longest message after it %.0f ms (0x%04X to %s); the "
                    "window answered %zu times: median %.1f ms, longest %.0f ms, %zu over 100 ms\n",
                    what, folder.c_str(),
                    program.m_pDoc->Subfolders().size() + program.m_pDoc->Files().size(),
                    treemap.Layout() ? treemap.Layout()->tiles.size() : size_t{0}, command * 1000,
                    all * 1000, longest * 1000, longestMessage, longestClass, waits.size(),
                    waits[waits.size() / 2] * 1000, worst * 1000, nOver);
    }
    program.StopApp();
    return 0;
}

// The Duplicates pane's search of FOLDER, once its scan has ended, while another thread asks
// the main window for an answer every 10 ms.
int Duplicates(const std::string& folder) {
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    program.Command(ID_VIEW_DUPLICATES);
    auto* pPane = program.m_pFrame->QueryPane<CDuplicatesView>(ID_VIEW_DUPLICATES);
    program.Show(folder);
    if (!pPane || !program.WaitForScan(600000))
        return 1;
    const int64_t treeBytes = program.m_pDoc->TotalSize();
    WindowProber prober(program.m_pFrame->m_hWnd, 10);
    program.PumpUntil([&] { return prober.Answers() > 0; }); // the prober is asking
    const Stopwatch watch;
    program.Command(ID_FIND_DUPLICATES);
    const bool bFound = program.PumpUntil([&] { return pPane->IsIdle(); }, 600000);
    const double seconds = watch.Seconds();
    const double worst = prober.Stop(program);
    const std::vector<double> waits = prober.SortedWaits();
    if (!bFound || waits.empty())
        return 1;
    const size_t nOver =
        static_cast<size_t>(waits.end() - std::upper_bound(waits.begin(), waits.end(), 0.100));
    const FoundDuplicates& found = pPane->Result();
    std::printf("duplicates of %s: %.3f s to \"%s\", %lld of the tree's %lld bytes read; the "
                "window answered %zu times: median %.1f ms, longest %.0f ms, %zu over 100 ms\n",
                folder.c_str(), seconds, pPane->Strip().Status().c_str(),
                static_cast<long long>(found.BytesRead()), static_cast<long long>(treeBytes),
                waits.size(), waits[waits.size() / 2] * 1000, worst * 1000, nOver);
    program.StopApp();
    return 0;
}

// Opens the saved scan NEWER in the window, then compares it with the saved scan OLDER,
// while another thread keeps asking the window for an answer.
int SavedScans(const std::string& newer, const std::string& older) {
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    WindowProber prober(program.m_pFrame->m_hWnd, 10);
    program.PumpUntil([&] { return prober.Answers() > 0; }); // the prober is asking
    const Stopwatch watch;
    program.m_pDoc->OpenScanFile(newer);
    const bool bOpened = program.PumpUntil(
        [&] { return program.m_pDoc->IsSavedScan() && !program.m_pDoc->IsFilling(); }, 600000);
    const double opened = watch.Seconds();
    program.m_pDoc->CompareWithScan(older);
    const bool bCompared =
        bOpened &&
        program.PumpUntil([&] { return !program.m_pDoc->IsReadingComparison(); }, 600000) &&
        program.m_pDoc->IsComparing();
    const double compared = watch.Seconds() - opened;
    prober.Stop(program);
    const std::vector<double> waits = prober.SortedWaits();
    if (!bCompared || waits.empty())
        return 1;
    const size_t nOver =
        static_cast<size_t>(waits.end() - std::upper_bound(waits.begin(), waits.end(), 0.100));
    std::printf("saved scans: %s opened in %.3f s, compared with %s in %.3f s; the window "
                "answered %zu times: median %.1f ms, longest %.0f ms, %zu over 100 ms\n",
                newer.c_str(), opened, older.c_str(), compared, waits.size(),
                waits[waits.size() / 2] * 1000, waits.back() * 1000, nOver);
    program.StopApp();
    return 0;
}

// Times ShowFolder on FOLDER while another thread keeps asking the list for an answer.
int Open(const std::string& folder, const char* pszPumpAfter) {
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    if (pszPumpAfter) {
        char* pEnd = nullptr;
        const unsigned long ms = std::strtoul(pszPumpAfter, &pEnd, 10);
        if (std::string(pszPumpAfter) == "never")
            program.m_pDoc->SetPumpAfterMs(MAXDWORD);
        else if (*pszPumpAfter >= '0' && *pszPumpAfter <= '9' && *pEnd == '\0')
            program.m_pDoc->SetPumpAfterMs(static_cast<DWORD>(ms));
        else {
            std::fprintf(stderr, "not a number of milliseconds: %s\n", pszPumpAfter);
            return 2;
        }
    }
    const DWORD pumpAfterMs = program.m_pDoc->PumpAfterMs();
    WindowProber prober(program.m_pView->m_hWnd);
    program.PumpUntil([&] { return prober.Answers() > 0; }); // the prober is asking
    const Stopwatch watch;
    program.Show(folder);
    const double shown = watch.Seconds();
    const double worst = prober.Stop(program);
    const std::string after =
        pumpAfterMs == MAXDWORD ? "never" : "after " + std::to_string(pumpAfterMs) + " ms";
    std::printf("open %d rows (messages handled %s): %.3f s, the list answered within %.0f ms\n",
                program.List().GetItemCount(), after.c_str(), shown, worst * 1000);
    program.StopApp();
    return 0;
}

// Grows a file by kStep every kPeriod seconds on a thread of its own, keeping when each
// growth was made (seconds of `clock`).
class MarkerGrower {
public:
    static constexpr int64_t kStep = 128 * 1024; // more than a tenth of a MB: a new size text
    static constexpr double kPeriod = 0.5;

    MarkerGrower(const std::string& path, const Stopwatch& clock, double seconds)
        : m_hFile(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
          m_hStop(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_clock(clock) {
        m_grownAt.resize(static_cast<size_t>(seconds / kPeriod) + 2);
    }
    ~MarkerGrower() {
        Stop();
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
        CloseHandle(m_hStop);
    }
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    void Start() {
        m_thread = std::thread([this] { Run(); });
    }
    void Stop() {
        SetEvent(m_hStop);
        if (m_thread.joinable())
            m_thread.join();
    }
    // The growths made so far; the k-th (from 1) left the file k × kStep bytes long.
    size_t Grown() const { return m_nGrown; }
    double GrownAt(size_t k) const { return m_grownAt[k - 1]; }

private:
    void Run() {
        const double start = m_clock.Seconds();
        while (m_nGrown < m_grownAt.size()) {
            const double due = start + kPeriod * static_cast<double>(m_nGrown + 1);
            const double wait = due - m_clock.Seconds();
            if (WaitForSingleObject(m_hStop, wait > 0 ? static_cast<DWORD>(wait * 1000) : 0) ==
                WAIT_OBJECT_0)
                return;
            LARGE_INTEGER end;
            end.QuadPart = kStep * static_cast<int64_t>(m_nGrown + 1);
            if (!SetFilePointerEx(m_hFile, end, nullptr, FILE_BEGIN) || !SetEndOfFile(m_hFile))
                return;
            m_grownAt[m_nGrown] = m_clock.Seconds();
            ++m_nGrown;
        }
    }

    HANDLE m_hFile;
    HANDLE m_hStop;
    const Stopwatch& m_clock;
    std::vector<double> m_grownAt; // made room for at once
    std::atomic<size_t> m_nGrown{0};
    std::thread m_thread;
};

// This process's resident memory in MiB, as the system counts it (Wine reads it from the
// process's own /proc entry); negative when it cannot be read.
double ResidentMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return -1;
    return static_cast<double>(counters.WorkingSetSize) / (1 << 20);
}

// Seconds at `fraction` of the sorted `values` (0 for the median, ... 1 for the longest).
double At(const std::vector<double>& values, double fraction) {
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// The program showing FOLDER with the Changes pane while the folder changes around it (by
// bench/change_load.py, started once READY is made).
int Watch(const std::string& folder, const char* pszSeconds, const std::string& ready) {
    const double seconds = std::atof(pszSeconds);
    if (seconds <= 0) {
        std::fprintf(stderr, "not a number of seconds: %s\n", pszSeconds);
        return 2;
    }
    DscpInProcess program;
    if (!program.StartApp({}))
        return 1;
    program.Command(ID_VIEW_CHANGES);
    PumpMessages();
    auto* pChanges = program.m_pFrame->QueryPane<CChangesView>(ID_VIEW_CHANGES);
    if (!pChanges || !::IsWindowVisible(pChanges->m_hWnd)) {
        std::fprintf(stderr, "the Changes pane could not be shown\n");
        return 1;
    }
    const Stopwatch clock;
    const std::string markerName = "watch_marker.bin";
    MarkerGrower marker(folder + "\\" + markerName, clock, seconds);
    program.Show(folder);
    if (!marker.IsOpen() ||
        !program.PumpUntil(
            [&] { return !program.m_pDoc->IsScanning() && !program.m_pDoc->IsFilling(); }, 600000))
        return 1;
    const double scanned = clock.Seconds();
    WindowProber prober(program.m_pFrame->m_hWnd, 10, static_cast<size_t>(seconds * 200));
    program.PumpUntil([&] { return prober.Answers() > 0; }); // the prober is asking
    std::vector<double> delays;
    delays.reserve(static_cast<size_t>(seconds / MarkerGrower::kPeriod) + 2);
    const double residentAtStart = ResidentMiB();
    const HANDLE hReady = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hReady == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "could not make %s\n", ready.c_str());
        return 1;
    }
    CloseHandle(hReady);
    const double start = clock.Seconds();
    const double sampleAt = seconds >= 120 ? 60 : seconds / 2;
    double residentEarly = -1;
    marker.Start();
    // Messages are handled one at a time here, each timed; the marker's row is read after
    // each, as the user would see it.
    const CListCtrl list = program.List();
    int nMarkerRow = -1;
    size_t nSeen = 0;
    double longestMessage = 0;
    UINT longestMessageId = 0;
    char longestClass[64] = "";
    auto seeMarker = [&] {
        if (nMarkerRow < 0 || nMarkerRow >= list.GetItemCount() ||
            list.GetItemText(nMarkerRow, kNameColumn) != markerName) {
            nMarkerRow = -1;
            for (int i = 0; i < list.GetItemCount() && nMarkerRow < 0; ++i)
                if (list.GetItemText(i, kNameColumn) == markerName)
                    nMarkerRow = i;
            if (nMarkerRow < 0)
                return;
        }
        const std::string text = list.GetItemText(nMarkerRow, kSizeColumn);
        const size_t nGrown = marker.Grown();
        for (size_t k = nGrown; k > nSeen; --k)
            if (FormatSize(MarkerGrower::kStep * static_cast<int64_t>(k)) == text) {
                const double now = clock.Seconds();
                for (size_t j = nSeen + 1; j <= k; ++j)
                    delays.push_back(now - marker.GrownAt(j));
                nSeen = k;
                break;
            }
    };
    while (clock.Seconds() - start < seconds) {
        if (residentEarly < 0 && clock.Seconds() - start >= sampleAt)
            residentEarly = ResidentMiB();
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            seeMarker();
            continue;
        }
        const Stopwatch one;
        CWinApp* pApp = AfxGetApp();
        if (!pApp || !pApp->PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (one.Seconds() > longestMessage) {
            longestMessage = one.Seconds();
            longestMessageId = msg.message;
            if (!msg.hwnd || !GetClassNameA(msg.hwnd, longestClass, sizeof(longestClass)))
                std::snprintf(longestClass, sizeof(longestClass), "the thread");
        }
        seeMarker();
    }
    marker.Stop();
    const double residentEnd = ResidentMiB();
    const uint64_t nLogged = program.m_pDoc->Changes().Added();
    prober.Stop(program);
    const std::vector<double> waits = prober.SortedWaits();
    std::sort(delays.begin(), delays.end());
    if (waits.empty() || delays.empty()) {
        std::fprintf(stderr, "the marker's row never showed a new size (%zu growths)\n",
                     marker.Grown());
        return 1;
    }
    const size_t nOver =
        static_cast<size_t>(waits.end() - std::upper_bound(waits.begin(), waits.end(), 0.100));
    std::printf(
        "watch %s for %.0f s (its scan %.1f s): %llu changes logged; the window answered %zu "
        "times: median %.1f ms, longest %.0f ms, %zu over 100 ms; longest message %.0f ms "
        "(0x%04X to %s); resident %.1f MiB before, %.1f MiB at %.0f s, %.1f MiB at the end "
        "(%+.1f MiB); the marker's new size shown %zu of %zu times: median %.0f ms, 90th "
        "%.0f ms, longest %.0f ms\n",
        folder.c_str(), seconds, scanned, static_cast<unsigned long long>(nLogged), waits.size(),
        At(waits, 0.5) * 1000, waits.back() * 1000, nOver, longestMessage * 1000, longestMessageId,
        longestClass, residentAtStart, residentEarly, sampleAt, residentEnd,
        residentEnd - residentEarly, delays.size(), marker.Grown(), At(delays, 0.5) * 1000,
        At(delays, 0.9) * 1000, delays.back() * 1000);
    program.StopApp();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    const std::string what = argc >= 3 ? argv[1] : "";
    int result = 2;
    if (what == "expand" && argc == 3)
        result = Expand(argv[2]);
    else if (what == "show" && argc == 3)
        result = Show(argv[2]);
    else if (what == "drill" && argc == 3)
        result = Drill(argv[2]);
    else if (what == "treemap" && argc == 3)
        result = Treemap(argv[2]);
    else if (what == "panes" && argc == 3)
        result = Panes(argv[2]);
    else if (what == "duplicates" && argc == 3)
        result = Duplicates(argv[2]);
    else if (what == "sizeondisk" && argc == 3)
        result = SizeOnDisk(argv[2]);
    else if (what == "savedscans" && argc == 4)
        return SavedScans(argv[2], argv[3]);
    else if (what == "watch" && argc == 5)
        result = Watch(argv[2], argv[3], argv[4]);
    else if (what == "open" && argc <= 4)
        result = Open(argv[2], argc == 4 ? argv[3] : nullptr);
    else
        std::fprintf(stderr,
                     "usage: gui_bench expand|show|drill|treemap|panes|duplicates|sizeondisk "
                     "FOLDER | open FOLDER [MS|never] | savedscans NEWER.json OLDER.json | "
                     "watch FOLDER SECONDS READY\n");
    OleUninitialize();
    return result;
}
