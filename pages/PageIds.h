#pragma once
// Dialog templates of the program in app/tarnwell.rc and the control ids
// the text pages, the progress dialog, the main window and the skinned
// dialogs share. The file pages' and their dialogs' templates (132, 133,
// 134, 136) are named in pages/FilePagesIds.h; every id has one name.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_TARNWELL_DIALOG 102
#define IDD_TRA2SIM 129
#define IDD_SIM2TRA 130
#define IDD_ENTRANCE 131
#define IDD_PROGRESS 135
#define IDD_PROOF_WORD 137  // "以后都这样转换…": a word list entry from a place

// Other resources of the program.
#define IDR_MAINFRAME 128     // the icon
#define IDS_ABOUTBOX 101      // "&About Tarnwell..."
#define IDR_MAIN_MENU 151     // popup menu of the menu button
#define ID_MENU_ABOUT 32776   // its one item
#define IDM_ABOUTBOX 0x0010   // system menu entry

// Controls.
#define IDC_ENTRANCE_T2S 1000
#define IDC_ENTRANCE_S2T 1001
#define IDC_ENTRANCE_FS2T 1003
#define IDC_ENTRANCE_FT2S 1004
#define IDC_SOURCE_EDIT 1005
#define IDC_RESULT_EDIT 1006
#define IDC_SETTING_BTN 1007
#define IDC_STOP_BTN 1009
#define IDC_BACK_BTN 1010
#define IDC_MENU_BTN 1011
#define IDC_MIN_BTN 1012
#define IDC_CLOSE_BTN 1013
#define IDC_PROGRESS_BAR 1015
#define IDC_PROGRESS_ANIM 1016
#define IDC_WAIT_TEXT 1017
#define IDC_PROGRESS_LABEL 1024
#define IDC_VERSION_TEXT 1031
// The standard in use, beside a conversion page's Start button.
#define IDC_STANDARD_LABEL 1040
// A text page's proofreading: the count of places beside Start, the two
// buttons that move between them; the word list entry dialog's controls.
#define IDC_PROOF_COUNT 1070
#define IDC_PROOF_PREV 1071
#define IDC_PROOF_NEXT 1072
#define IDC_PROOF_SOURCE 1073
#define IDC_PROOF_RESULT 1074
#define IDC_PROOF_SOURCE_LABEL 1075
#define IDC_PROOF_RESULT_LABEL 1076
#define IDC_PROOF_NOTE 1077
// The settings' choice to mark every place (the dialog's other ids are in
// pages/FilePagesIds.h).
#define IDC_SET_PROOF_ALL 1078
