#pragma once
// The "Output To Text File" command: asks for a file name, then writes what the
// list shows at that moment as the fixed-width report, in the list's current order.

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "file_dialog.h"
#include "list_view.h"
#include "report_layout.h"

class CWnd;

// The dialog's initial name: the local date as "%Y%m%d.txt".
std::string ReportFileName(const std::tm& localTime);

// The save dialog as the command runs it: initial name `fileName`, .txt appended to a
// name typed without extension, text files or all files, asks before replacing.
class CReportFileDialog : public CFileDialog {
public:
    explicit CReportFileDialog(const std::string& fileName);
};

// Which rows the report holds (by index); none given: every row.
using ReportRowFilter = std::function<bool(int nItem)>;

// The report's lines from the list's cells: six columns for a folder, three for the
// drive overview; a row that lacks a cell gets an empty one.
std::vector<std::string> ListReportLines(const CListCtrl& list, const char* pszFolderPath,
                                         bool bDriveView, const ReportRowFilter& keep = {});

// Writes the report to `fileName`; a file that cannot be opened or written whole is
// reported in a message box owned by pOwner. True when the report was written.
bool WriteListReport(const CListCtrl& list, const char* pszFolderPath, bool bDriveView,
                     const std::string& fileName, CWnd* pOwner, const ReportRowFilter& keep = {});

// The whole command: the dialog, then the report. Cancel writes nothing.
void OutputToTextFile(const CListCtrl& list, const char* pszFolderPath, bool bDriveView,
                      CWnd* pOwner, const ReportRowFilter& keep = {});
