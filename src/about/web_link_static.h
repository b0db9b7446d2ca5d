#pragma once
// CWebLinkStatic: a static text that is a web link. Blue and underlined, with the link
// cursor and a tooltip; a click opens its target in the web browser.

#include <string>

#include "static.h"
#include "tool_tip.h"

class CWebLinkStatic : public CStatic {
    DECLARE_DYNAMIC(CWebLinkStatic)
    DECLARE_MESSAGE_MAP()
public:
    CWebLinkStatic() = default;
    ~CWebLinkStatic() override;

    std::string m_strTarget;            // what a click opens
    COLORREF m_crLink = RGB(0, 0, 238); // text colour
    BOOL m_bUnderline = TRUE;
    BOOL m_bFitToText = TRUE;   // shrink to the text when attached
    std::string m_strTipText;   // the tooltip; the window text when empty
    HFONT m_fontLink = nullptr; // underlined copy of the control's font
    HCURSOR m_hLinkCursor = nullptr;
    CToolTipCtrl m_tip;

    // Opens the target: through the shell, else with the browser registered for web
    // pages. Above 32 is success; 32 when nothing could be run.
    static INT_PTR OpenLink(const char* pszTarget, int nShowCmd);
    // The default value (a string) of root\subkey, at most 259 bytes and a zero, into
    // `out` (260 bytes). 0, or the registry's error code.
    static LONG ReadDefaultValue(HKEY hRoot, const char* pszSubKey, char* out);

    bool PreTranslateMessage(MSG* pMsg) override;
    void PreSubclassWindow() override;

protected:
    void OnClicked();
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
    bool OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);

private:
    void FitToText();
};
