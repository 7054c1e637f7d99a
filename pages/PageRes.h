#pragma once
// Small conveniences over the process-wide resource manager for the pages
// and dialogs of the program. Every call copes with a missing manager (the
// start-up refuses to run without one, but tests may build pages alone).
#include <windows.h>

#include <string>

#include "skeldon/Skeldon.h"

// The one resource manager, or null.
vek_IResMgr* AppResMgr();
// A bitmap of the pack (the caller owns it until FreeSkinBitmap), or null.
HBITMAP LoadSkinBitmap(long id);
void FreeSkinBitmap(HBITMAP bitmap);
// A text of the pack copied through a 260-unit buffer (QueryTxt); empty
// when the manager or the text is missing.
std::wstring QueryText(long id);
// A text of the pack in full (GetTxt); empty when missing.
std::wstring GetText(long id);
