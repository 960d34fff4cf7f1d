#pragma once
// Resource identifiers of lumenvik.exe (used by the .rc and the C++ code).

#define IDI_APP_ICON 128
#define IDD_SEARCH_WINDOW 129
#define IDD_CONFIG_DIALOG 202
#define IDD_GET_KEY_DIALOG 203
#define IDD_SEARCH_SITES_DIALOG 204
#define IDD_MODE_EDIT_DIALOG 205

#define IDC_SEARCH_BOX 1002
#define IDC_MODE_LABEL 1003
// The dictionary's list under the box, made at run time when there is a dictionary.
#define IDC_DICTIONARY_LIST 1030

// Settings dialog (202): key fields show names, number fields decimal text.
#define IDC_SHOW_WINDOW_KEY 1004
#define IDC_KEY_INTERVAL 1005
#define IDC_MODE_PRIOR 1006
#define IDC_MODE_NEXT 1007
#define IDC_HISTORY_PRIOR 1008
#define IDC_HISTORY_NEXT 1009
#define IDC_HISTORY_SIZE 1010
#define IDC_GOOGLE_START 1011
#define IDC_RESTORE_DEFAULTS 1012
#define IDC_CHANGE_SHOW_WINDOW_KEY 1013
#define IDC_CHANGE_MODE_PRIOR 1016
#define IDC_CHANGE_MODE_NEXT 1017
#define IDC_CHANGE_HISTORY_PRIOR 1018
#define IDC_CHANGE_HISTORY_NEXT 1019
#define IDC_WEB_ALL 1021
#define IDC_JAPANESE_PAGES 1022
#define IDC_SEARCH_SITES 1023
// Key-capture dialog (203).
#define IDC_CAPTURED_KEY 1015

// Search-site dialog (204): the list of modes and its buttons.
#define IDC_SITE_LIST 1040
#define IDC_SITE_ADD 1041
#define IDC_SITE_EDIT 1042
#define IDC_SITE_REMOVE 1043
#define IDC_SITE_UP 1044
#define IDC_SITE_DOWN 1045
#define IDC_SITE_NOTE 1046
// Mode editor (205): its fields, each field's label (its id + 20), the
// preview of the URLs and the reason a field is refused.
#define IDC_MODE_NAME 1050
#define IDC_MODE_URL1 1051
#define IDC_MODE_URL2 1052
#define IDC_MODE_URL3 1053
#define IDC_MODE_URL4 1054
#define IDC_MODE_ENCODING 1055
#define IDC_MODE_IME 1056
#define IDC_MODE_BROWSER 1057
#define IDC_MODE_DICTIONARY 1058
#define IDC_MODE_INSERT_WORD 1060
#define IDC_MODE_BROWSE 1061
#define IDC_MODE_PREVIEW 1062
#define IDC_MODE_TEST 1063
#define IDC_MODE_PROBLEM 1064
#define IDC_MODE_LABEL_OFFSET 20

// Tray menu commands.
#define ID_TRAY_EXIT 10001
#define ID_TRAY_SETTINGS 10002
#define ID_TRAY_WEB_ALL 10003
#define ID_TRAY_JAPANESE_PAGES 10004
#define ID_TRAY_GOOGLE_START 10005
#define ID_TRAY_SHOW_ON_PRIMARY 10006
#define ID_TRAY_SHOW_ON_MOUSE 10007
#define ID_TRAY_SHOW_ON_ACTIVE 10008
#define ID_TRAY_RUN_AT_LOGON 10009
#define ID_TRAY_SEARCH_SITES 10010
#define ID_TRAY_CLEAR_HISTORY 10020

// String table.
#define IDS_ALREADY_RUNNING_CAPTION 1
#define IDS_ALREADY_RUNNING_TEXT 2
#define IDS_HOOK_FAILED 3
#define IDS_IME_CLOSE_FAILED 4
#define IDS_IME_RELEASE_FAILED 5
// Search mode labels, mode 0 to 4.
