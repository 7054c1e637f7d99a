// Dialog templates of the framework tests.
#define IDD_FW_PLAIN 9001
#define IDD_FW_POPUP 9002
#define IDC_FW_EDIT 1001
#define IDC_FW_BUTTON 1002
#define IDC_FW_CHECK 1003
#define IDC_FW_STATIC 1004
#define IDC_FW_OWNERDRAW 1005
#define IDC_FW_COMBO 1006
#define IDC_FW_LIST 1007
