#pragma once

// Ids of the minimal dialog. The list view takes the main dialog's list id so
// that the timer waits for the same thing in both programs.
#define IDD_MINIMAL_DIALOG 102
#define IDC_MINIMAL_EDIT 1001
#define IDC_MINIMAL_LIST 1006
