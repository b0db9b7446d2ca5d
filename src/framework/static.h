#pragma once
// CStatic: a static control ("Static"), made by a dialog template or by Create.

#include "wnd.h"

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
    DECLARE_MESSAGE_MAP()
public:
    bool Create(const char* lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID = 0xffff);
};
