#include "web_link_static.h"

#include <shellapi.h>

#include <cstring>

#include "browser_command.h"
#include "link_fit.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CWebLinkStatic, CStatic)

BEGIN_MESSAGE_MAP(CWebLinkStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CWebLinkStatic::~CWebLinkStatic() {
    if (m_fontLink)
        DeleteObject(m_fontLink);
}

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
    HDC hDC = GetDC(m_hWnd);
    GetTextExtentPoint32A(hDC, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(m_hWnd, hDC);
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
                m_fontLink = CreateFontIndirectA(&lf);
                // Some static controls select their own font after asking for colours
                // (Wine's does): make the copy the control's font as well.
                if (m_fontLink)
                    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontLink), TRUE);
            }
        }
        // Without it the link keeps the control's font, still in the link colour.
        if (m_fontLink)
            SelectObject(hDC, m_fontLink);
    }
    SetBkMode(hDC, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CWebLinkStatic::OnClicked() {
    OpenLink(m_strTarget.c_str(), SW_SHOW);
}

LONG CWebLinkStatic::ReadDefaultValue(HKEY hRoot, const char* pszSubKey, char* out) {
    out[0] = '\0';
    HKEY hKey = nullptr;
    LONG rc = RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_QUERY_VALUE, &hKey);
    if (rc != ERROR_SUCCESS)
        return rc;
    char value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof(value) - 1; // a zero always fits after what is read
    rc = RegQueryValueExA(hKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS)
        return rc;
    // Only a string is a name or a command line; a value of another type is refused.
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    value[size < sizeof(value) ? size : sizeof(value) - 1] = '\0';
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH] = {};
        const DWORD n = ExpandEnvironmentStringsA(value, expanded, sizeof(expanded));
        if (n == 0 || n > sizeof(expanded))
            return ERROR_MORE_DATA;
        std::strcpy(out, expanded);
        return ERROR_SUCCESS;
    }
    std::strcpy(out, value);
    return ERROR_SUCCESS;
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
    char key[MAX_PATH] = {};
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", key) != ERROR_SUCCESS)
        return 32;
    static const char kCommandKey[] = "\\shell\\open\\command";
    if (std::strlen(key) + sizeof(kCommandKey) > sizeof(key))
        return 32; // the document type's name leaves no room for the key path
    std::strcat(key, kCommandKey);
    char registered[MAX_PATH] = {};
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, key, registered) != ERROR_SUCCESS)
        return 32;
    char line[kBrowserCommandSize] = {};
    if (!BuildBrowserCommandLine(registered, pszTarget, line, sizeof(line)))
        return 32;
    return static_cast<INT_PTR>(WinExec(line, static_cast<UINT>(nShowCmd)));
}
