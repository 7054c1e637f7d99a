#pragma once
// The process-wide resource manager as the skinned windows reach it. Every
// call copes with a missing manager (the start-up refuses to run without
// one, but tests may build windows alone).
#include <windows.h>

#include "skeldon/Skeldon.h"

// The one resource manager, or null.
vek_IResMgr* AppResMgr();
// A bitmap of the pack (the caller owns it until FreeSkinBitmap), or null.
HBITMAP LoadSkinBitmap(long id);
void FreeSkinBitmap(HBITMAP bitmap);
