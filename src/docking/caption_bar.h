#pragma once
// The sizing bar as a pane: CSizingControlBarG gives a docked bar a caption band with
// a close button that hides the bar; CSizingControlBarCF writes the bar's title into the
// band in a small caption font. Floating, the mini frame's own caption serves instead.

#include <string>

#include "sizing_control_bar.h"

class CBarCloseButton {
public:
    bool m_bPressed = false;
    bool m_bHot = false;
    CPoint m_ptOrigin; // in the bar window's coordinates; the button is 11 x 11

    void Move(CPoint ptTo) { m_ptOrigin = ptTo; }
    CRect GetRect() const;
    void Paint(HDC hDC) const;
};

class CSizingControlBarG : public CSizingControlBar {
    DECLARE_DYNAMIC(CSizingControlBarG)
    DECLARE_MESSAGE_MAP()
public:
    bool HasCaption() const override { return !IsBarFloating(); }
    void OnUpdateCmdUI(CFrameWnd* pTarget, bool bDisableIfNoHandler) override;

    int m_cyCaptionBand = bars::kCaptionBand;
    CBarCloseButton m_btnClose;

protected:
    void PaintCaption(HDC hDC, const CRect& rcClient) override;
    CRect CalcClientArea(const CRect& rc, UINT nDockBarID) override;
    LRESULT OnNcHitTest(POINT pt);
    void OnNcLButtonUp(UINT nHitTest, POINT pt);
};

class CSizingControlBarCF : public CSizingControlBarG {
    DECLARE_DYNAMIC(CSizingControlBarCF)
    DECLARE_MESSAGE_MAP()
public:
    CSizingControlBarCF();
    std::string m_strCaptionFont;

protected:
    void PaintCaption(HDC hDC, const CRect& rcClient) override;
    LRESULT OnSetTextCF(WPARAM wParam, LPARAM lParam);
};
