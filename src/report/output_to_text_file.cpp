#include "output_to_text_file.h"

#include "win_app.h"
#include "wnd.h"

std::string ReportFileName(const std::tm& localTime) {
    char name[64] = {};
    std::strftime(name, sizeof(name), "%Y%m%d.txt", &localTime);
    return name;
}

// The platform takes the first three characters of the default extension: "txt".
CReportFileDialog::CReportFileDialog(const std::string& fileName)
    : CFileDialog(false, "txt File", fileName.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                  "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||") {}

std::vector<std::string> ListReportLines(const CListCtrl& list, const char* pszFolderPath,
                                         bool bDriveView, const ReportRowFilter& keep) {
    const int nRows = list.GetItemCount();
    if (bDriveView) {
        std::vector<DriveReportRow> rows;
        for (int i = 0; i < nRows; ++i)
            if (!keep || keep(i)) {
                rows.emplace_back();
                for (int c = 0; c < 3; ++c)
                    rows.back()[c] = list.GetItemText(i, c);
            }
        return DriveReportLines(pszFolderPath, rows);
    }
    std::vector<FolderReportRow> rows;
    for (int i = 0; i < nRows; ++i)
        if (!keep || keep(i)) {
            rows.emplace_back();
            for (int c = 0; c < 6; ++c)
                rows.back()[c] = list.GetItemText(i, c);
        }
    return FolderReportLines(pszFolderPath, rows);
}

bool WriteListReport(const CListCtrl& list, const char* pszFolderPath, bool bDriveView,
                     const std::string& fileName, CWnd* pOwner, const ReportRowFilter& keep) {
    const ReportWriteResult result =
        WriteReport(fileName, ListReportLines(list, pszFolderPath, bDriveView, keep));
    if (result == ReportWriteResult::Written)
        return true;
    // A failed write or close (a full disk, a medium pulled) is reported like a file that
    // cannot be opened; the partial file is gone already.
    const char* text =
        result == ReportWriteResult::NotOpened ? "Can't open text file!" : "Can't write text file!";
    if (pOwner)
        pOwner->MessageBox(text, nullptr, MB_OK); // captioned with the application's name
    else
        AfxMessageBox(text, MB_OK);
    return false;
}

void OutputToTextFile(const CListCtrl& list, const char* pszFolderPath, bool bDriveView,
                      CWnd* pOwner, const ReportRowFilter& keep) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* pLocal = std::localtime(&now))
        local = *pLocal;
    CReportFileDialog dlg(ReportFileName(local));
    if (dlg.DoModal() != IDOK)
        return;
    // The cells are read now, after the dialog: a running scan may have filled more.
    WriteListReport(list, pszFolderPath, bDriveView, dlg.GetPathName(), pOwner, keep);
}
