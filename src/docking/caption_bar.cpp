#include "caption_bar.h"

#include "frame_wnd.h"
#include "owners.h"

namespace {

constexpr int kEscapementUpwards = 900; // text running upwards: 90 degrees, in tenths

// A font of `nPointSize` tenths of a point at `nDpi` dots per inch.
HFONT CreatePointFont(int nDpi, int nPointSize, const char* lpszFace, int nEscapement = 0) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(nPointSize, nDpi, 720);
    lf.lfEscapement = lf.lfOrientation = nEscapement;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, lpszFace, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM lParam) {
    *reinterpret_cast<bool*>(lParam) = true;
    return 0;
}

bool HasFace(const char* lpszFace) {
    UniqueMemoryDC dc;
    {
        const WindowDC screen(nullptr);
        dc.Reset(CreateCompatibleDC(screen.Get()));
    }
    bool bFound = false;
    if (dc)
        EnumFontFamiliesA(dc.Get(), lpszFace, FoundFace, reinterpret_cast<LPARAM>(&bFound));
    return bFound;
}

} // namespace

// ---- close button ----

CRect CBarCloseButton::GetRect() const {
    const int nSize = m_scale(bars::kButtonSize);
    return CRect(m_ptOrigin.x, m_ptOrigin.y, m_ptOrigin.x + nSize, m_ptOrigin.y + nSize);
}

bool CBarCloseButton::SetState(bool bPressed, bool bHot) {
    if (bPressed == m_bPressed && bHot == m_bHot)
        return false;
    m_bPressed = bPressed;
    m_bHot = bHot;
    return true;
}

void CBarCloseButton::Paint(HDC hDC) const {
    const CRect rc = GetRect();
    if (m_bPressed || m_bHot) {
        const COLORREF crTopLeft = GetSysColor(m_bPressed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
        const COLORREF crBottomRight =
            GetSysColor(m_bPressed ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        const UniqueGdiObject topLeft(CreateSolidBrush(crTopLeft));
        const UniqueGdiObject bottomRight(CreateSolidBrush(crBottomRight));
        const auto hTL = static_cast<HBRUSH>(topLeft.Get());
        const auto hBR = static_cast<HBRUSH>(bottomRight.Get());
        RECT r{rc.left, rc.top, rc.right - 1, rc.top + 1};
        FillRect(hDC, &r, hTL);
        r = RECT{rc.left, rc.top, rc.left + 1, rc.bottom - 1};
        FillRect(hDC, &r, hTL);
        r = RECT{rc.right - 1, rc.top, rc.right, rc.bottom};
        FillRect(hDC, &r, hBR);
        r = RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom};
        FillRect(hDC, &r, hBR);
    }

    // The glyph is the Marlett font's close mark, character "r". Marlett is a symbol
    // font: through the "A" functions its character would be converted by the active
    // code page (UTF-8 here), so it is drawn with the wide ones, which name the character
    // itself.
    const COLORREF crOld = SetTextColor(hDC, GetSysColor(COLOR_BTNTEXT));
    const int nOldMode = SetBkMode(hDC, TRANSPARENT);
    LOGFONTW lf{};
    lf.lfHeight = -m_scale(8); // 6 points at 96 DPI
    lf.lfCharSet = SYMBOL_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Marlett", LF_FACESIZE);
    const UniqueGdiObject font(CreateFontIndirectW(&lf));
    const SelectedObject selectedFont(hDC, font.Get());
    wchar_t szFace[LF_FACESIZE] = L"";
    GetTextFaceW(hDC, LF_FACESIZE, szFace);
    if (lstrcmpiW(szFace, L"Marlett") == 0) {
        ExtTextOutW(hDC, m_ptOrigin.x + m_scale(2), m_ptOrigin.y + m_scale(2), 0, nullptr, L"r", 1,
                    nullptr);
    } else {
        // No Marlett on this system: the same cross, drawn in the glyph's square.
        const UniqueGdiObject pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT)));
        const SelectedObject selectedPen(hDC, pen.Get());
        const int x = m_ptOrigin.x + m_scale(2);
        const int y = m_ptOrigin.y + m_scale(2);
        const int n = m_scale(6);
        for (int d = 0; d < m_scale(2); ++d) {
            MoveToEx(hDC, x + d, y, nullptr);
            LineTo(hDC, x + n + d, y + n + 1);
            MoveToEx(hDC, x + n - 1 + d, y, nullptr);
            LineTo(hDC, x - 1 + d, y + n + 1);
        }
    }
    SetBkMode(hDC, nOldMode);
    SetTextColor(hDC, crOld);
}

// ---- CSizingControlBarG ----

IMPLEMENT_DYNAMIC(CSizingControlBarG, CSizingControlBar)

BEGIN_MESSAGE_MAP(CSizingControlBarG, CSizingControlBar)
    ON_WM_NCLBUTTONUP()
    ON_WM_NCHITTEST()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CRect CSizingControlBarG::CalcClientArea(const CRect& rc) {
    CRect r = CSizingControlBar::CalcClientArea(rc);
    if (!HasCaption())
        return r;
    // The band and the button's place, from the window's corner.
    unsigned edges = 0;
    bars::Point button;
    bars::CaptionClientArea(bars::Rect{0, 0, rc.Width(), rc.Height()}, DockSide(), edges, button,
                            Scale());
    m_btnClose.Move(ToPoint(button), Scale());
    if (IsDockedTopBottom())
        r.left += Scale()(bars::kCaptionBand);
    else
        r.top += Scale()(bars::kCaptionBand);
    return r;
}

LRESULT CSizingControlBarG::OnNcHitTest(POINT pt) {
    const LRESULT nHit = CSizingControlBar::OnNcHitTest(pt);
    if (nHit != HTCLIENT || !HasCaption())
        return nHit;
    CRect rc = m_btnClose.GetRect();
    const CRect rcWindow = GetWindowRect();
    rc.OffsetRect(rcWindow.left, rcWindow.top);
    return rc.PtInRect(pt) ? HTCLOSE : nHit;
}

void CSizingControlBarG::OnNcLButtonUp(UINT nHitTest, POINT) {
    if (nHitTest == HTCLOSE && GetDockSite())
        GetDockSite()->ShowControlBar(this, false, false);
    Default();
}

void CSizingControlBarG::OnUpdateCmdUI(CFrameWnd*, bool) {
    if (!HasCaption())
        return;
    POINT pt;
    GetCursorPos(&pt);
    const bool bHit = SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLOSE;
    const bool bDown = GetKeyState(VK_LBUTTON) < 0;
    const bool bPressed = bHit && bDown;
    const bool bHot = bHit && !bDown;
    if (m_btnClose.SetState(bPressed, bHot))
        SendMessage(WM_NCPAINT);
}

void CSizingControlBarG::PaintCaption(HDC hDC, const CRect&) {
    if (HasCaption())
        m_btnClose.Paint(hDC);
}

// ---- CSizingControlBarCF ----

IMPLEMENT_DYNAMIC(CSizingControlBarCF, CSizingControlBarG)

BEGIN_MESSAGE_MAP(CSizingControlBarCF, CSizingControlBarG)
    ON_MESSAGE(WM_SETTEXT, OnSetTextCF)
END_MESSAGE_MAP()

CSizingControlBarCF::CSizingControlBarCF()
    : m_strCaptionFont(HasFace("Tahoma") ? "Tahoma" : "Arial") {}

void CSizingControlBarCF::PaintCaption(HDC hDC, const CRect& rcClient) {
    if (!HasCaption())
        return;
    const RECT rcText = ToRect(bars::CaptionTextRect(
        ToLayout(rcClient), ToLayout(CloseButton().Origin()), DockSide(), Scale()));
    const bool bUpwards = IsDockedTopBottom();
    // 8.5 points at the bar's own resolution: the same share of the band at every scale.
    const UniqueGdiObject font(CreatePointFont(Scale().Dpi(), 85, m_strCaptionFont.c_str(),
                                               bUpwards ? kEscapementUpwards : 0));
    if (font) {
        const SelectedObject selectedFont(hDC, font.Get());
        const int nOldMode = SetBkMode(hDC, TRANSPARENT);
        const COLORREF crOld = SetTextColor(hDC, RGB(0, 0, 0));
        const std::string title = GetWindowText();
        const DpiScale& px = Scale();
        const int x = bUpwards ? rcText.left - px(1) : rcText.left + px(3);
        const int y = bUpwards ? rcText.bottom - px(3) : rcText.top - px(1);
        ExtTextOutA(hDC, x, y, ETO_CLIPPED, &rcText, title.c_str(), static_cast<UINT>(title.size()),
                    nullptr);
        SetTextColor(hDC, crOld);
        SetBkMode(hDC, nOldMode);
    }
    CSizingControlBarG::PaintCaption(hDC, rcClient);
}

LRESULT CSizingControlBarCF::OnSetTextCF(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = OnSetText(wParam, lParam);
    // The caption shows the new title at once.
    SendMessage(WM_NCPAINT);
    return result;
}
