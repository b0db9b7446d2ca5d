#pragma once
// The export of a report's folder (dscp-report --json): what the report knows that the
// snapshot does not, for the scan file's writer.

#include "folder_report.h"
#include "saved_scan_writer.h"

// The export's details of a report's folder, all but the program's version and the time.
NcduExportInfo ReportExportInfo(const FolderReport& report);
