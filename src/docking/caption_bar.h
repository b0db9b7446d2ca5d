#pragma once
// The sizing bar as a pane: CSizingControlBarG gives a docked bar a caption band with
// a close button that hides the bar; CSizingControlBarCF writes the bar's title into the
// band in a small caption font. Floating, the mini frame's own caption serves instead.

#include <string>

#include "sizing_control_bar.h"

class CBarCloseButton {
public:
    // Its top left corner, in the bar window's coordinates; the button is square.
    CPoint Origin() const { return m_ptOrigin; }
    // To `ptTo`, at the bar's resolution.
    void Move(CPoint ptTo, const DpiScale& scale) {
        m_ptOrigin = ptTo;
        m_scale = scale;
    }
    CRect GetRect() const;
    bool IsPressed() const { return m_bPressed; }
    bool IsHot() const { return m_bHot; }
    // True when the state changed (and the button needs painting).
    bool SetState(bool bPressed, bool bHot);
    void Paint(HDC hDC) const;

private:
    bool m_bPressed = false;
    bool m_bHot = false;
    CPoint m_ptOrigin;
    DpiScale m_scale;
};

class CSizingControlBarG : public CSizingControlBar {
    DECLARE_DYNAMIC(CSizingControlBarG)
    DECLARE_MESSAGE_MAP()
public:
    bool HasCaption() const override { return !IsBarFloating(); }
    void OnUpdateCmdUI(CFrameWnd* pTarget, bool bDisableIfNoHandler) override;
    const CBarCloseButton& CloseButton() const { return m_btnClose; }

protected:
    void PaintCaption(HDC hDC, const CRect& rcClient) override;
    CRect CalcClientArea(const CRect& rc) override;
    LRESULT OnNcHitTest(POINT pt);
    void OnNcLButtonUp(UINT nHitTest, POINT pt);

private:
    CBarCloseButton m_btnClose;
};

class CSizingControlBarCF : public CSizingControlBarG {
    DECLARE_DYNAMIC(CSizingControlBarCF)
    DECLARE_MESSAGE_MAP()
public:
    CSizingControlBarCF();

protected:
    void PaintCaption(HDC hDC, const CRect& rcClient) override;
    LRESULT OnSetTextCF(WPARAM wParam, LPARAM lParam);

private:
    std::string m_strCaptionFont;
};
