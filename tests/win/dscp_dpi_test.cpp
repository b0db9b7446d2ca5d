// The program at the display's scale: run by run_at_dpi.sh in a Wine prefix of its own at
// 96, 144 and 192 DPI, DSCP_TEST_DPI naming the one set. What the program states at 96 DPI
// shows scaled, a stored layout's 96-DPI sizes too (and stay as stored), and a move to a
// display of another scale rescales what is shown.
#include <windows.h>

#include <commctrl.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "dscp_app_fixture.h"
#include "message_font.h"
#include "tree_ctrl.h"
#include "mini_dock_frame.h"
#include "window_dpi.h"

namespace {

int ExpectedDpi() {
    const char* value = std::getenv("DSCP_TEST_DPI");
    return value ? std::atoi(value) : 0;
}

constexpr char kTreeBarSection[] = "Software\\Tarnwick\\Dirscope\\Dirscope.BarState-SCBar-101";

// The height of a line of the font `hWnd` writes in.
int FontLineHeight(HWND hWnd) {
    const auto hFont = reinterpret_cast<HGDIOBJ>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));
    const HDC hDC = ::GetDC(hWnd);
    const HGDIOBJ hOld = ::SelectObject(hDC, hFont ? hFont : ::GetStockObject(SYSTEM_FONT));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return tm.tmHeight;
}

int IconWidth(HIMAGELIST hImages) {
    int cx = 0, cy = 0;
    return hImages && ImageList_GetIconSize(hImages, &cx, &cy) ? cx : 0;
}

// Of the shell's lists of icons, the width nearest a small icon's at `dpi`.
int NearestShellIconWidth(int dpi) {
    const int wanted = DpiScale(dpi)(16);
    int best = 0;
    for (const int kind : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE}) {
        void* pList = nullptr;
        const IID iid = {
            0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};
        if (FAILED(SHGetImageList(kind, iid, &pList)))
            continue;
        const int width = IconWidth(static_cast<HIMAGELIST>(pList));
        const int off = std::abs(width - wanted), bestOff = std::abs(best - wanted);
        if (best == 0 || off < bestOff || (off == bestOff && width > best))
            best = width;
    }
    return best;
}

DWORD ReadStoredWidth() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    RegGetValueA(HKEY_CURRENT_USER, kTreeBarSection, "sizeVertCX", RRF_RT_REG_DWORD, nullptr,
                 &value, &size);
    return value;
}

} // namespace

class DscpDpi : public DscpAppFixture {
protected:
    void SetUp() override {
        ASSERT_NE(ExpectedDpi(), 0) << "run through run_at_dpi.sh, which sets DSCP_TEST_DPI";
        DscpAppFixture::SetUp();
    }

    // What the window shows: the tree pane's width, the caption band's depth (the client's
    // top inside the window) and the list's column widths.
    int TreePaneWidth() const { return m_pFrame->TreeBar().GetWindowRect().Width(); }
    int CaptionDepth() const {
        CViewBar& bar = m_pFrame->TreeBar();
        POINT origin{0, 0};
        ::ClientToScreen(bar.m_hWnd, &origin);
        return origin.y - bar.GetWindowRect().top;
    }
    int ColumnWidth(int nColumn) const {
        return ListView_GetColumnWidth(m_pView->GetListCtrl().m_hWnd, nColumn);
    }
    // Each shown size against its 96-DPI value at `dpi`, within a pixel.
    void ExpectScaledTo(int dpi, int nTreeWidth96) const {
        const DpiScale px(dpi);
        EXPECT_NEAR(m_pFrame->TreeBar().VertSize().cx, px(nTreeWidth96), 1);
        EXPECT_NEAR(TreePaneWidth(), px(nTreeWidth96), 1);
        EXPECT_NEAR(CaptionDepth(), px(5) + px(13), 1);
        // The toolbar's buttons: 30-pixel images drawn at 30, 45 and 60, with a 7-pixel margin.
        const LRESULT buttons = m_pFrame->ToolBar().SendMessage(TB_GETBUTTONSIZE);
        const int nImage = px(30) >= 53 ? 60 : px(30) >= 38 ? 45 : 30;
        EXPECT_EQ(LOWORD(buttons), nImage + 7);
        EXPECT_EQ(HIWORD(buttons), nImage + 7);
        // The drive overview's columns: 100 each.
        for (int column = 0; column < 3; ++column)
            EXPECT_NEAR(ColumnWidth(column), px(100), 1) << column;
    }
    // What is written and drawn at `dpi`: the trees', the path bar's and the treemap's names in
    // the message font at that scale, and the icons of the tree and the list at its size.
    void ExpectWrittenAt(int dpi) {
        const int line = MessageLineHeight(dpi);
        EXPECT_EQ(FontLineHeight(m_pFrame->FolderTree()->m_hWnd), line);
        EXPECT_EQ(FontLineHeight(m_pFrame->PathBar().EditWindow()), line);
        EXPECT_EQ(m_pFrame->TreemapBar().Treemap().Canvas().LabelMetrics().lineHeight,
                  line + DpiScale(dpi)(1));
        const int icon = NearestShellIconWidth(dpi);
        EXPECT_EQ(IconWidth(TreeView_GetImageList(m_pFrame->FolderTree()->m_hWnd, TVSIL_NORMAL)),
                  icon);
        Show("C:\\users");
        ASSERT_TRUE(WaitForScan());
        EXPECT_EQ(IconWidth(ListView_GetImageList(m_pView->GetListCtrl().m_hWnd, LVSIL_SMALL)),
                  icon);
        Show(""); // the drives again
        RunIdle();
    }
    static int MessageLineHeight(int dpi) {
        const HFONT hFont = CreateMessageFontAt(dpi);
        const HDC hDC = ::GetDC(nullptr);
        const HGDIOBJ hOld = ::SelectObject(hDC, hFont);
        TEXTMETRICA tm{};
        ::GetTextMetricsA(hDC, &tm);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(nullptr, hDC);
        ::DeleteObject(hFont);
        return tm.tmHeight;
    }
};

TEST_F(DscpDpi, TheWindowShowsTheSizesStatedAt96DpiScaledToTheDisplay) {
    const int dpi = ExpectedDpi();
    EXPECT_EQ(WindowDpi(m_pFrame->m_hWnd), dpi);
    RunIdle();
    ExpectScaledTo(dpi, 200);
    ExpectWrittenAt(dpi);
    // A folder's columns too: Name 200, Size 80.
    Show("C:\\users");
    ASSERT_TRUE(WaitForScan());
    EXPECT_NEAR(ColumnWidth(0), DpiScale(dpi)(200), 1);
    EXPECT_NEAR(ColumnWidth(1), DpiScale(dpi)(80), 1);
}

TEST_F(DscpDpi, AStoredLayoutShowsScaledAndStaysAsStored) {
    const int dpi = ExpectedDpi();
    StopApp();
    const DWORD stored = 250;
    RegSetKeyValueA(HKEY_CURRENT_USER, kTreeBarSection, "sizeVertCX", REG_DWORD, &stored,
                    sizeof(stored));
    ASSERT_TRUE(StartApp({}));
    RunIdle();
    ExpectScaledTo(dpi, 250);
    StopApp();
    EXPECT_EQ(ReadStoredWidth(), stored);
    ASSERT_TRUE(StartApp({}));
}

TEST_F(DscpDpi, AMoveToADisplayOfAnotherScaleRescalesWhatIsShown) {
    const int dpi = ExpectedDpi();
    // Above the window's least height at each scale, and within the screen at 1.5 times.
    m_pFrame->SetWindowPos(nullptr, 0, 0, DpiScale(dpi)(500), DpiScale(dpi)(440),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    RunIdle();
    // The system tells the new resolution and suggests the rectangle at it: a display of 1.5
    // times the scale, or of two thirds from the largest, where the window at 1.5 times would
    // not fit the test's screen (1280 by 1024).
    const int otherDpi = dpi >= 192 ? dpi * 2 / 3 : dpi * 3 / 2;
    for (const int newDpi : {otherDpi, dpi}) {
        SCOPED_TRACE(newDpi);
        const CRect rc = m_pFrame->GetWindowRect();
        RECT suggested{rc.left, rc.top,
                       rc.left + DpiScale::Rescale(rc.Width(), WindowDpi(m_pFrame->m_hWnd), newDpi),
                       rc.top +
                           DpiScale::Rescale(rc.Height(), WindowDpi(m_pFrame->m_hWnd), newDpi)};
        m_pFrame->SendMessage(WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                              reinterpret_cast<LPARAM>(&suggested));
        RunIdle();
        EXPECT_EQ(WindowDpi(m_pFrame->m_hWnd), newDpi);
        EXPECT_EQ(WindowDpi(m_pView->m_hWnd), newDpi);
        EXPECT_EQ(m_pFrame->GetWindowRect(), CRect(suggested));
        ExpectScaledTo(newDpi, 200);
        ExpectWrittenAt(newDpi);
    }
}

TEST_F(DscpDpi, AFloatingPaneFollowsTheScaleOfItsOwnFrame) {
    const int dpi = ExpectedDpi();
    CViewBar& bar = m_pFrame->TreeBar();
    m_pFrame->FloatControlBar(&bar, CPoint(100, 100));
    RunIdle();
    ASSERT_TRUE(bar.IsFloating());
    auto* pMini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(pMini, nullptr);
    const CSize before = bar.FloatSize();
    const int otherDpi = dpi >= 192 ? dpi * 2 / 3 : dpi * 3 / 2;
    const CRect rc = pMini->GetWindowRect();
    RECT suggested{rc.left, rc.top, rc.left + DpiScale::Rescale(rc.Width(), dpi, otherDpi),
                   rc.top + DpiScale::Rescale(rc.Height(), dpi, otherDpi)};
    pMini->SendMessage(WM_DPICHANGED, MAKEWPARAM(otherDpi, otherDpi),
                       reinterpret_cast<LPARAM>(&suggested));
    RunIdle();
    // The pane and its frame follow; the main window stays as it was.
    EXPECT_EQ(WindowDpi(bar.m_hWnd), otherDpi);
    EXPECT_NEAR(bar.FloatSize().cx, DpiScale::Rescale(before.cx, dpi, otherDpi), 1);
    EXPECT_NEAR(bar.FloatSize().cy, DpiScale::Rescale(before.cy, dpi, otherDpi), 1);
    EXPECT_EQ(bar.GetWindowRect().Size(), bar.FloatSize());
    EXPECT_EQ(WindowDpi(m_pFrame->m_hWnd), dpi);
    // Docked again, it takes the main window's scale back.
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    RunIdle();
    ExpectScaledTo(dpi, 200);
}
