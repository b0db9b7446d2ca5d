#pragma once
// CToolTipCtrl: a tooltip control. Its tools get the mouse messages through
// RelayEvent, which the tool's window calls from its PreTranslateMessage.

#include <string>

#include "wnd.h"

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
    DECLARE_MESSAGE_MAP()
public:
    // A popup owned by pParentWnd (whose destruction takes the tooltip with it).
    bool Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A tool that covers lpRectTool of pWnd's client area (all of it when null).
    bool AddTool(CWnd* pWnd, const char* lpszText, const RECT* lpRectTool = nullptr,
                 UINT_PTR nIDTool = 0);
    void RelayEvent(MSG* pMsg) const;
    int GetToolCount() const;
    // The text of the tool nIDTool of pWnd; empty when there is no such tool.
    std::string GetText(CWnd* pWnd, UINT_PTR nIDTool) const;
};
