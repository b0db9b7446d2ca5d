#pragma once
// CWebLinkStatic: a static text that is a web link. Blue and underlined, with the link
// cursor and a tooltip; a click opens its target in the web browser.

#include <string>

#include "owners.h"
#include "static.h"
#include "tool_tip.h"

class CWebLinkStatic : public CStatic {
    DECLARE_DYNAMIC(CWebLinkStatic)
    DECLARE_MESSAGE_MAP()
public:
    CWebLinkStatic() = default;

    // What a click opens.
    const std::string& Target() const { return m_strTarget; }
    void SetTarget(const std::string& target) { m_strTarget = target; }
    // The tooltip, set before the control is attached; the window text when empty.
    void SetTipText(const std::string& tip) { m_strTipText = tip; }
    const CToolTipCtrl& ToolTip() const { return m_tip; }
    HCURSOR LinkCursor() const { return m_hLinkCursor; }

    // Opens the target: through the shell, else with the browser registered for web
    // pages. Above 32 is success; 32 when nothing could be run.
    static INT_PTR OpenLink(const char* pszTarget, int nShowCmd);

    bool PreTranslateMessage(MSG* pMsg) override;
    void PreSubclassWindow() override;

protected:
    void OnClicked();
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
    bool OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);

private:
    void FitToText();

    std::string m_strTarget;
    std::string m_strTipText;
    COLORREF m_crLink = RGB(0, 0, 238); // text colour
    bool m_bUnderline = true;
    bool m_bFitToText = true;   // shrink to the text when attached
    UniqueGdiObject m_fontLink; // underlined copy of the control's font
    HCURSOR m_hLinkCursor = nullptr;
    CToolTipCtrl m_tip;
};
