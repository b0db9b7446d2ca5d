#include "web_link_static.h"

#include <shellapi.h>

#include <optional>

#include "browser_command.h"
#include "link_fit.h"
#include "registry_reader.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CWebLinkStatic, CStatic)

BEGIN_MESSAGE_MAP(CWebLinkStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CWebLinkStatic::PreSubclassWindow() {
    ModifyStyle(0, SS_NOTIFY); // so that clicks are reported
    const std::string text = GetWindowText();
    if (m_strTipText.empty())
        m_strTipText = text;
    if (text.empty())
        SetWindowText(m_strTipText);
    if (m_bFitToText)
        FitToText();
    m_hLinkCursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    if (m_tip.Create(this, 0)) {
        const CRect rc = GetClientRect();
        m_tip.AddTool(this, m_strTipText.c_str(), &rc, 1);
    }
    CStatic::PreSubclassWindow();
}

void CWebLinkStatic::FitToText() {
    CRect rc = GetWindowRect();
    HWND hParent = GetParent();
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    const std::string text = GetWindowText();
    SIZE size{};
    {
        const WindowDC dc(m_hWnd);
        GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    const DWORD style = GetStyle();
    // SS_CENTER and SS_RIGHT are values of the style's low type bits, not flags.
    const DWORD type = style & SS_TYPEMASK;
    const LinkRect fit =
        FitLinkToText({rc.left, rc.top, rc.right, rc.bottom}, size.cx, size.cy,
                      {(style & SS_CENTERIMAGE) != 0, type == SS_CENTER, type == SS_RIGHT});
    SetWindowPos(nullptr, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWebLinkStatic::PreTranslateMessage(MSG* pMsg) {
    m_tip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

bool CWebLinkStatic::OnSetCursor(HWND, UINT, UINT) {
    ::SetCursor(m_hLinkCursor);
    return true;
}

HBRUSH CWebLinkStatic::CtlColor(HDC hDC, UINT) {
    SetTextColor(hDC, m_crLink);
    if (m_bUnderline) {
        if (!m_fontLink) {
            LOGFONTA lf{};
            auto hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
            if (!hFont)
                hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            if (GetObjectA(hFont, sizeof(lf), &lf)) {
                lf.lfUnderline = TRUE;
                m_fontLink.Reset(CreateFontIndirectA(&lf));
                // Some static controls select their own font after asking for colours
                // (Wine's does): make the copy the control's font as well.
                if (m_fontLink)
                    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontLink.Get()), TRUE);
            }
        }
        // Without it the link keeps the control's font, still in the link colour. It stays
        // selected for the control's painting; the control gives the DC back.
        if (m_fontLink)
            SelectObject(hDC, m_fontLink.Get());
    }
    SetBkMode(hDC, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CWebLinkStatic::OnClicked() {
    OpenLink(m_strTarget.c_str(), SW_SHOW);
}

INT_PTR CWebLinkStatic::OpenLink(const char* pszTarget, int nShowCmd) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", pszTarget, nullptr, nullptr, nShowCmd));
    if (result > 32)
        return result;

    // The browser registered for web pages. The target goes on its command line as one
    // argument, so it must not be able to end that argument.
    if (!IsSafeLinkTarget(pszTarget))
        return 32;
    const std::optional<std::string> docType =
        registry::ReadString(HKEY_CLASSES_ROOT, ".htm", nullptr);
    if (!docType)
        return 32;
    static const char kCommandKey[] = "\\shell\\open\\command";
    if (docType->size() + sizeof(kCommandKey) > MAX_PATH)
        return 32; // the document type's name leaves no room for the key path
    const std::optional<std::string> registered =
        registry::ReadString(HKEY_CLASSES_ROOT, *docType + kCommandKey, nullptr);
    if (!registered || registered->size() >= MAX_PATH)
        return 32; // a registered command is at most 259 bytes, as it has always been read
    char line[kBrowserCommandSize] = {};
    if (!BuildBrowserCommandLine(registered->c_str(), pszTarget, line, sizeof(line)))
        return 32;
    return static_cast<INT_PTR>(WinExec(line, static_cast<UINT>(nShowCmd)));
}
