#include "file_dialog.h"

#include <cstring>

#include "win_app.h"
#include "wnd.h"

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                         DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd) {
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName);
    if (lpszFileName) {
        // A name that does not fit is not offered at all rather than cut.
        if (std::strlen(lpszFileName) < sizeof(m_szFileName))
            std::strcpy(m_szFileName, lpszFileName);
    }
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFilter) {
        m_strFilter = lpszFilter;
        for (char& c : m_strFilter)
            if (c == '|')
                c = '\0';
        m_strFilter.push_back('\0'); // the list ends with two zeros whatever was given
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

int CFileDialog::DoModal() {
    // Owned by the given window, else by the main window's active popup.
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain->m_hWnd)
            hOwner = GetLastActivePopup(pMain->m_hWnd);
    }
    m_ofn.hwndOwner = hOwner;
    m_ofn.hInstance = GetModuleHandleA(nullptr);
    const BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetFileName() const {
    if (m_ofn.nFileOffset >= std::strlen(m_szFileName))
        return m_szFileName;
    return m_szFileName + m_ofn.nFileOffset;
}
