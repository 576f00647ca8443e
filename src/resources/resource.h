#pragma once
// Resource identifiers shared by the .rc files and the code.
#define IDD_CONFIGURE 100
// The plug-in's icon: the first icon of the module, so the file shows it too.
#define IDI_VELVETLISTER 1

// Bottom panel and the page control.
#define IDC_CONFIG_OK 1
#define IDC_CONFIG_CANCEL 2
#define IDC_CONFIG_TABS 1001
#define IDC_CONFIG_UPDATE 1002

// "Display font" page.
#define IDC_GROUP_PLAYLIST 1010
#define IDC_BUTTON_FONT_SELECT 1011
#define IDC_BUTTON_NORMAL_COLOR 1012
#define IDC_BUTTON_SELECT_COLOR 1013
#define IDC_BUTTON_PLAY_COLOR 1014
#define IDC_GRID_PREVIEW 1015

// "Display format" page.
#define IDC_EDIT_TITLE_FORMAT 1020
#define IDC_GRID_FORMAT_CHAR 1021

// "WatermarkSkin" page.
#define IDC_GROUP_WM_CONFIG 1030
#define IDC_EDIT_WM_CONFIG 1031
#define IDC_BUTTON_WM_CONFIG 1032
#define IDC_GROUP_WM_FG 1033
#define IDC_EDIT_WM_FG 1034
#define IDC_BUTTON_WM_FG 1035
#define IDC_GROUP_WM_BG 1036
#define IDC_EDIT_WM_BG 1037
#define IDC_BUTTON_WM_BG 1038

// "Inherit" page.
#define IDC_CHECK_INHERIT_SKIN 1040
#define IDC_LABEL_INHERIT_FILE 1041

// "Options" page.
#define IDC_CHECK_JAPANESE 1050
#define IDC_LABEL_RESTART 1051
#define IDC_CHECK_SONG_ADD_LAST 1052
#define IDC_CHECK_SHOW_SONG_NUMBER 1053
#define IDC_CHECK_SHOW_SONG_TIME 1054
#define IDC_CHECK_EQUALIZER_RELOCATION 1055
#define IDC_CHECK_ABOUT_WINAMP 1056
#define IDC_CHECK_WINDOW_POS_OVERRIDE 1057
#define IDC_CHECK_WINDOW_SIZE_OVERRIDE 1058
#define IDC_CHECK_PREFER_ID3V2 1059

// "Extension" page.
#define IDC_LABEL_EXTENSION 1060
#define IDC_LIST_EXTENSION 1061
#define IDC_BUTTON_EXT_ADD 1062
#define IDC_EDIT_EXTENSION 1063
#define IDC_BUTTON_EXT_DEL 1064
#define IDC_LABEL_EXTENSION_NOTICE 1065

// "About" page.
#define IDC_ABOUT_ICON 1070
#define IDC_ABOUT_NAME 1071
#define IDC_ABOUT_VERSION 1072
#define IDC_ABOUT_COPYRIGHT 1073
#define IDC_ABOUT_NOTE 1074
#define IDC_BUTTON_HOME_PAGE 1075

// The "Add URL" dialog.
#define IDD_ADD_URL 110
#define IDC_URL_EDIT 1100

// "Jump to file" dialog (Play is IDOK, Close is IDCANCEL).
#define IDD_JUMP_TO_FILE 111
#define IDC_JUMP_EDIT 1101
#define IDC_JUMP_LIST 1102
