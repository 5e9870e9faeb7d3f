#pragma once
// Control ids of the stand-in dialog; where the program under test has a
// control of the same kind, the stand-in uses the same id.
#define IDD_TARGET 102
#define IDC_STATUS 1000
#define IDC_ENVIRONMENT 1001
#define IDC_INFORMATION_BOX 1002
#define IDC_STOP_BOX 1003
#define IDC_PLAIN_BOX 1004
#define IDC_LOG 1005
#define IDC_DRIVE_LIST 1006
#define IDC_FLASH 1007
#define IDC_PROGRESS 1008
#define IDC_DISABLED 1009
#define IDC_HIDDEN 1010
#define IDM_ABOUT 16
