#pragma once

// Identifiers of the program's resources and controls; shared by the resource
// script and the window code.

#define IDI_FRAGTALLY 1
#define IDB_SPEEDBUTTON1 101
#define IDC_SPEEDBUTTON1 1001

// The main window's system menu item (and its Ctrl+L accelerator) that opens
// the folder run window: below 0xF000 and a multiple of 16, as the system
// keeps the low four bits of a system command for itself.
#define IDM_FOLDER_RUN 0x0010
// Controls of the folder run window. Start and Cancel are IDOK and IDCANCEL.
#define IDC_LOGS_FOLDER 2001
#define IDC_LOGS_BROWSE 2002
#define IDC_SITE_FOLDER 2003
#define IDC_SITE_BROWSE 2004
#define IDC_RUN_PROGRESS 2005
#define IDC_RUN_COUNTS 2006
#define IDC_RUN_INDEX 2007
