#pragma once
// The process-wide resource manager as the skinned windows reach it. Every
// call copes with a missing manager (the start-up refuses to run without
// one, but tests may build windows alone).
#include <windows.h>

#include "skeldon/Skeldon.h"
#include "skin/DpiScale.h"

// The one resource manager, or null.
vek_IResMgr* AppResMgr();
// A bitmap of the pack (the caller owns it until FreeSkinBitmap), or null.
HBITMAP LoadSkinBitmap(long id);
void FreeSkinBitmap(HBITMAP bitmap);

// The bitmap `id` (a 100% id) for a window at `scale`: the set drawn for
// that scale, or, between the drawn scales, the next smaller set resized to
// the exact scaled size frame by frame. At 96 DPI exactly LoadRes(id). The
// caller gives it back with resMgr->FreeRes.
HBITMAP LoadSkinBitmapFor(vek_IResMgr* resMgr, long id, const DpiScale& scale);
HBITMAP LoadSkinBitmap(long id, const DpiScale& scale);

// Frames of a picture of the pack side by side: five for the button strips,
// 18 for the busy indicator, one for a face.
int SkinFrameCount(long id);

// The DPI a skinned window and its controls are laid out for: the nearest
// window up the parent chain that a skinned dialog has marked (see
// vek_SkinDlg), else the window's own DPI.
DpiScale SkinDpi(HWND wnd);
void MarkSkinDpi(HWND wnd, const DpiScale& scale);
// Sent to a skinned dialog's children after it was laid out for another
// DPI (wParam: the new DPI, lParam: the old one).
UINT SkinDpiChangedMessage();
