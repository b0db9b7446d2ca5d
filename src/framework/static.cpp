#include "static.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)

BEGIN_MESSAGE_MAP(CStatic, CWnd)
END_MESSAGE_MAP()

bool CStatic::Create(const char* lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    return CWnd::Create("Static", lpszText, dwStyle, rect, pParentWnd, nID);
}
