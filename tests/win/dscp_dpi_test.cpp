// The program at the display's scale: run by run_at_dpi.sh in a Wine prefix of its own at
// 96, 144 and 192 DPI, DSCP_TEST_DPI naming the one set. What the program states at 96 DPI
// shows scaled, a stored layout's 96-DPI sizes too (and stay as stored), and a move to a
// display of another scale rescales what is shown.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "dscp_app_fixture.h"
#include "window_dpi.h"

namespace {

int ExpectedDpi() {
    const char* value = std::getenv("DSCP_TEST_DPI");
    return value ? std::atoi(value) : 0;
}

constexpr char kTreeBarSection[] = "Software\\Tarnwick\\Dirscope\\Dirscope.BarState-SCBar-101";

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
};

TEST_F(DscpDpi, TheWindowShowsTheSizesStatedAt96DpiScaledToTheDisplay) {
    const int dpi = ExpectedDpi();
    EXPECT_EQ(WindowDpi(m_pFrame->m_hWnd), dpi);
    RunIdle();
    ExpectScaledTo(dpi, 200);
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
    // Small enough that the rectangle suggested at 1.5 times the scale fits the screen.
    m_pFrame->SetWindowPos(nullptr, 0, 0, DpiScale(dpi)(500), DpiScale(dpi)(400),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    RunIdle();
    // The system tells the new resolution and suggests the rectangle at it.
    for (const int newDpi : {dpi * 3 / 2, dpi}) {
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
    }
}
