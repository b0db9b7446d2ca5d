#pragma once
// The program's resource and command numbers. Plain #defines: the resource script
// includes this file too.

#include "framework_ids.h"

// Resource 128 names the main menu, the accelerators, the icon, the toolbar, its
// 16-colour bitmap and the document string.
#define IDR_MAINFRAME 128
#define IDR_BACK_MENU 134
#define IDR_FORWARD_MENU 135
#define IDR_VIEWTYPE_MENU 136
#define IDR_LIST_MENU 137
#define IDB_TOOLBAR_NORMAL 131
#define IDB_TOOLBAR_DISABLED 133
// The same strips drawn at 45 and 60 pixels, for displays at 150 % and 200 %.
#define IDB_TOOLBAR_NORMAL_45 143
#define IDB_TOOLBAR_DISABLED_45 144
#define IDB_TOOLBAR_NORMAL_60 145
#define IDB_TOOLBAR_DISABLED_60 146
#define IDI_DRIVE_FIXED 140
#define IDI_DRIVE_REMOVABLE 141
#define IDI_DRIVE_CDROM 142
#define IDC_LINK_CURSOR 143

// The About box and its home-page link. The address is a placeholder: the program has
// no page of its own yet.
#define IDD_ABOUTBOX 100
#define IDC_HOMEPAGE 1003
#define DSCP_HOME_PAGE "http://www.example.org/dirscope/"

// The folder tree pane's form and its tree control.
#define IDD_FORM_TREE 130
#define IDC_FOLDER_TREE 1000
// The tree of an opened saved scan's folders, made by the tree pane beside the one above.
#define IDC_SCAN_TREE 32835

// Toolbar buttons.
#define ID_BACK 201
#define ID_FORWARD 202
#define ID_UP 203
#define ID_FOLDER 204
#define ID_DELETE 206
#define ID_PASTE 208
#define ID_VIEWTYPE 209

// Menu commands.
#define ID_VIEW_DETAIL 32781
#define ID_VIEW_ICON 32782
#define ID_BACKFOLDER0 32784
#define ID_BACKFOLDER7 32791
#define ID_FORWARDFOLDER0 32794
#define ID_FORWARDFOLDER7 32801
#define ID_REFRESH 32803
#define ID_ARRANGE_NAME 32807
#define ID_ARRANGE_TYPE 32808
#define ID_ARRANGE_SIZE 32809
#define ID_ARRANGE_DATE 32810
#define ID_OUTPUT_TO_TEXT_FILE 32812
#define ID_VIEW_TREEMAP 32813
// Enter: opens the selected row (or treemap block) of the pane that has the focus.
#define ID_OPEN_SELECTED 32814
// The path bar: its control id is its View menu command, as for the toolbar and status bar.
#define ID_VIEW_PATH_BAR 0xE810
#define ID_VIEW_LARGEST_FILES 32820
#define ID_VIEW_FILE_TYPES 32821
#define ID_VIEW_SEARCH 32822
#define ID_VIEW_CHANGES 32850
// Ctrl+F: shows the Search pane with the caret in its name box.
#define ID_FIND_FILES 32823
// File menu: a scan written to a file and read back (ncdu's JSON export), and a scan being
// read given up (Esc).
#define ID_FILE_SAVE_SCAN 32830
#define ID_FILE_OPEN_SCAN 32831
#define ID_FILE_STOP_OPENING 32832
// File > Compare With Scan: a saved scan as the older side of a comparison; and its end.
#define ID_FILE_COMPARE_SCAN 32840
#define ID_FILE_END_COMPARISON 32841
// File > Restart as Administrator: the program again, elevated, where only that lets the scan
// read the drive's file table.
#define ID_FILE_RESTART_ELEVATED 32842
// View > Duplicates: the pane of files with the same bytes; View > Find Duplicates: shows it
// and searches beneath the folder shown.
#define ID_VIEW_DUPLICATES 32860
#define ID_FIND_DUPLICATES 32861
// View > Size on Disk: every size shown is the bytes allocated on disk, not the files' lengths.
#define ID_VIEW_SIZE_ON_DISK 32870

// The caption's parts: program name and version.
#define IDS_VERSION 61447
#define IDS_PRODUCT_NAME 61448

// The main toolbar's image size.
#define TOOLBAR_IMAGE_WIDTH 30
