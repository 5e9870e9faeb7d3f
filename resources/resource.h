// Ids of ComboFlash's resources and of the controls in its dialog templates.
// Included by ComboFlash.rc and by the program.
#pragma once

// Dialog templates
#define IDD_ABOUT_DIALOG 100
#define IDD_FLASH_DIALOG 102

// Strings
#define IDS_ABOUT_MENU 101

// Group icons and the bitmap
#define IDI_APP_ICON 128
#define IDB_PICTURE 130
#define IDI_DRIVE_ICON 134
#define IDI_STATUS_ICON 137

// Controls of the main dialog (template 102); the Exit button is IDOK
#define IDC_STATUS_LINE 1000
#define IDC_FILE_PATH 1001
#define IDC_SELECT 1002
#define IDC_CHECKSUM_LOG 1003
#define IDC_PICTURE 1004
#define IDC_DRIVE_LIST 1006
#define IDC_FLASH 1007
#define IDC_PROGRESS 1008

// Controls of the About box (template 100); its OK button is IDOK
#define IDC_ABOUT_PICTURE 130

// Labels and other controls the program never addresses
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The About item appended to the main dialog's system menu
#define IDM_ABOUT 0x0010
