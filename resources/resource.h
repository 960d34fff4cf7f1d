#pragma once
// Resource identifiers of lumenvik.exe (used by the .rc and the C++ code).

#define IDI_APP_ICON 128
#define IDD_SEARCH_WINDOW 129
// Templates 202 (settings dialog) and 203 (key-capture dialog) join here.

#define IDC_SEARCH_BOX 1002
#define IDC_MODE_LABEL 1003

// String table.
#define IDS_ALREADY_RUNNING_CAPTION 1
#define IDS_ALREADY_RUNNING_TEXT 2
#define IDS_HOOK_FAILED 3
#define IDS_IME_CLOSE_FAILED 4
#define IDS_IME_RELEASE_FAILED 5
#define IDS_APP_TITLE 6
// Search mode labels, mode 0 to 4.
#define IDS_MODE_LABEL_0 100
#define IDS_MODE_LABEL_1 101
#define IDS_MODE_LABEL_2 102
#define IDS_MODE_LABEL_3 103
#define IDS_MODE_LABEL_4 104
