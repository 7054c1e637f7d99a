#pragma once
#include "pages/PageIds.h"
// Template and control ids of the file pages, the settings dialog and the
// file encoding dialog (FilePages.rc). The program's resource script and
// the windows share them.
#include "pages/PageIds.h"  // IDC_CLOSE_BTN, the dialogs' close button

#define IDD_FILEPAGE_S2T 132
#define IDD_FILEPAGE_T2S 133
#define IDD_SETTINGS_DLG 134
#define IDD_ENCODING_DLG 136

// File pages.
#define IDC_FILE_LIST 1014
#define IDC_FILE_ADD 1018
#define IDC_FILE_REMOVE 1019
#define IDC_FILE_CLEAR 1020
#define IDC_FILE_START 1021
#define IDC_FILE_OPENFOLDER 1023

// Settings and file encoding dialogs (OK and Cancel are IDOK and IDCANCEL).
#define IDC_SET_FOLDEREDIT 1002
#define IDC_SET_BROWSE 1008
#define IDC_SET_FOLDERLABEL 1022
#define IDC_ENC_LABEL 1025
#define IDC_ENC_COMBO 1026
#define IDC_SET_AUTO 1027
#define IDC_SET_MANUAL 1028
#define IDC_SET_GROUP 1029
// The settings dialog's standard and word lists.
#define IDC_SET_STD_GROUP 1041
#define IDC_SET_STD_COMBO 1042
#define IDC_SET_WORDS_S2T 1043
#define IDC_SET_WORDS_T2S 1044
// The settings dialog's output options.
#define IDC_OUT_GROUP 1045
#define IDC_OUT_ENC_LABEL 1046
#define IDC_OUT_ENC_COMBO 1047
#define IDC_OUT_PLACE_LABEL 1048
#define IDC_OUT_PLACE_COMBO 1049
#define IDC_OUT_EXIST_LABEL 1050
#define IDC_OUT_EXIST_COMBO 1051
#define IDC_OUT_NAMES 1052
#define IDC_OUT_SUBFOLDERS 1053
#define IDC_OUT_HINT 1054
// The settings dialog's hotkeys and notification-area options.
#define IDC_HOT_GROUP 1055
#define IDC_HOT_ON 1056
#define IDC_HOT_STATUS 1057
#define IDC_HOT_S2T_LABEL 1058
#define IDC_HOT_S2T_MODS 1059
#define IDC_HOT_S2T_KEY 1060
#define IDC_HOT_T2S_LABEL 1061
#define IDC_HOT_T2S_MODS 1062
#define IDC_HOT_T2S_KEY 1063
#define IDC_HOT_TRAY 1064
#define IDC_HOT_LOGON 1065
