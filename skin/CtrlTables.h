#pragma once
// The tables through which a skinned dialog loads its control images,
// places its controls, colours them and gives them tooltips. A dialog
// builds a fresh table each time; every function here takes the table
// over and frees it when done.
#include <windows.h>

#include <vector>

#include "fw/Wnd.h"
#include "skeldon/Skeldon.h"
#include "skin/DpiScale.h"

// Flags of a layout record.
constexpr int CTRLSKIN_IMAGE = 1;  // load the image (vek_SkinBtn only)
constexpr int CTRLSKIN_POS = 2;    // move to (x, y)
constexpr int CTRLSKIN_SIZE = 4;   // also size to (cx, cy); only with CTRLSKIN_POS
constexpr int CTRLSKIN_BACK = 8;   // SetBackColor(back)
constexpr int CTRLSKIN_FORE = 16;  // SetForeColor(fore)
constexpr int CTRLSKIN_END = static_cast<int>(0x80000000);  // ends a table

struct CtrlSkinItem {
  fw::CWnd* control;  // borrowed: the dialog's member
  int imageId;
  int x, y;  // negative: from the right or bottom client edge; 96-DPI pixels
  int cx, cy;
  COLORREF back;
  COLORREF fore;
  int flags;
};
using CtrlSkinTable = std::vector<CtrlSkinItem>;

// Markers of a tooltip record.
constexpr int CTRLTIP_USED = 1;
constexpr int CTRLTIP_END = 2;

struct CtrlTipItem {
  int textId;
  int controlId;
  int marker;
};
using CtrlTipTable = std::vector<CtrlTipItem>;

// Images are drawn for `scale` (96 DPI when not given); the layout scales
// every position and size for `scale`, by default the dialog's (SkinDpi).
void ApplyCtrlImages(CtrlSkinTable table, vek_IResMgr* resMgr,
                     const DpiScale& scale = DpiScale());
void ReleaseCtrlImages(CtrlSkinTable table, vek_IResMgr* resMgr);
void ApplyCtrlLayout(HWND dialog, CtrlSkinTable table);
void ApplyCtrlLayout(HWND dialog, CtrlSkinTable table, const DpiScale& scale);
void ApplyCtrlBackColors(CtrlSkinTable table);
void ApplyCtrlForeColors(CtrlSkinTable table);
// Gives the table's controls to the shared tooltip; returns how many it
// took. The dialog takes its tools back when it is destroyed.
int AddCtrlTips(HWND dialog, vek_IResMgr* resMgr, CtrlTipTable table);

// The application's shared tooltip window, to which AddCtrlTips adds the
// controls. Start-up creates it with CreateSharedTooltip; null before.
HWND SharedTooltip();
void SetSharedTooltip(HWND tooltip);
// Creates the shared tooltip window (topmost, active) and keeps it.
HWND CreateSharedTooltip();
