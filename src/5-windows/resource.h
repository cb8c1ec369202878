#pragma once
// The three windows' dialog templates, menu and control identifiers, and the
// names of their window classes: shared by the resource script (windows.rc),
// the window code, and the end-to-end tests that find the windows by class
// and drive their controls by identifier from another process. No control is
// 1 (IDOK) or 2 (IDCANCEL), which IsDialogMessage sends for Enter and Esc.

// frmMain, the main window
#define QM_MAIN_CLASS "QuillmarkMain"
#define IDD_MAIN 100
#define IDR_MAIN_MENU 101
#define IDC_MAIN_OPTLIST0 1001  // optList Index i is IDC_MAIN_OPTLIST0 + i, i = 0..6
#define IDC_MAIN_TXTNAME 1011
#define IDC_MAIN_LSTNAMES 1013
#define IDC_MAIN_CMDSAVE 1014
#define IDC_MAIN_CMDEXIT 1015
#define IDC_MAIN_LANGUAGE 1016  // which language's names the list shows
#define IDM_SAVE 2001           // smenuSave
#define IDM_EXIT 2002           // smenuExit
#define IDM_SETPATH 2003        // smenuSetPath
#define IDM_EXPORT 2004         // File > Export Names...
#define IDM_IMPORT 2005         // File > Import Names...
#define IDM_RESTORE 2006        // File > Restore Original Names
// Options > Language: item i is IDM_LANGUAGE0 + i, built at run time.
#define IDM_LANGUAGE0 2100
#define IDM_LANGUAGE_LAST 2163

// frmSetPath, the Set Path dialog
#define QM_SETPATH_CLASS "QuillmarkSetPath"
#define IDD_SETPATH 102
#define IDC_SETPATH_LABEL1 3001
#define IDC_SETPATH_LABEL2 3002
#define IDC_SETPATH_TXTREGISTRY 3003
#define IDC_SETPATH_CMDUSEREG 3004
#define IDC_SETPATH_LABEL3 3005
#define IDC_SETPATH_TXTLOCATION 3006
#define IDC_SETPATH_CMDFINDPATH 3007
#define IDC_SETPATH_CMDOK 3008
#define IDC_SETPATH_CMDCANCEL 3009
#define IDC_SETPATH_CMDFOCUS 3010

// frmErrorDialog, the error window
#define QM_ERROR_CLASS "QuillmarkErrorDialog"
#define IDD_ERROR 103
#define IDC_ERROR_LABEL1 4001
#define IDC_ERROR_TXTMESSAGE 4002
#define IDC_ERROR_CMDWEBPAGE 4003
#define IDC_ERROR_CMDCOPY 4004
#define IDC_ERROR_CMDMAILTO 4005
#define IDC_ERROR_CMDEND 4006
#define IDC_ERROR_CMDFOCUS 4007
