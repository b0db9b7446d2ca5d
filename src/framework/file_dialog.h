#pragma once
// CFileDialog: the common open and save dialogs. The filter is given as pairs of
// "text|patterns|" closed by a second '|'; the default extension is handed to the
// dialog as it is (the dialog uses its first three characters).

#include <windows.h>

#include <commdlg.h>

#include <string>

class CWnd;

class CFileDialog {
public:
    CFileDialog(bool bOpenFileDialog, const char* lpszDefExt = nullptr,
                const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Runs the dialog: IDOK when the user chose a name, IDCANCEL otherwise.
    virtual int DoModal();
    std::string GetPathName() const { return m_szFileName; }
    std::string GetFileName() const;

    OPENFILENAMEA m_ofn{};
    bool m_bOpenFileDialog;

private:
    std::string m_strDefExt;
    std::string m_strFilter; // with the '|' turned into the zeros the dialog expects
    CWnd* m_pParentWnd;
    // Room for a long name in a multi-byte code page.
    char m_szFileName[4 * MAX_PATH] = {};
};
