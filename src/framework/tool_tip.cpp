#include "tool_tip.h"

#include <vector>

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BEGIN_MESSAGE_MAP(CToolTipCtrl, CWnd)
END_MESSAGE_MAP()

bool CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

bool CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, const RECT* lpRectTool,
                           UINT_PTR nIDTool) {
    // The version-6 control accepts the structure without the trailing reserved field.
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = pWnd->m_hWnd;
    ti.uId = nIDTool;
    ti.hinst = GetModuleHandleA(nullptr);
    ti.lpszText = const_cast<char*>(lpszText ? lpszText : "");
    ti.rect = lpRectTool ? *lpRectTool : pWnd->GetClientRect();
    return SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void CToolTipCtrl::RelayEvent(MSG* pMsg) const {
    if (m_hWnd)
        SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
}

int CToolTipCtrl::GetToolCount() const {
    return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT));
}

std::string CToolTipCtrl::GetText(CWnd* pWnd, UINT_PTR nIDTool) const {
    std::vector<char> text(1024);
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = pWnd->m_hWnd;
    ti.uId = nIDTool;
    ti.lpszText = text.data();
    SendMessage(TTM_GETTEXTA, text.size(), reinterpret_cast<LPARAM>(&ti));
    return text.data();
}
