#pragma once
// Small conveniences over the process-wide resource manager for the pages
// and dialogs of the program. Every call copes with a missing manager (the
// start-up refuses to run without one, but tests may build pages alone).
#include <windows.h>

#include <string>

#include "skeldon/Skeldon.h"
#include "skin/SkinRes.h"

// A text of the pack copied through a 260-unit buffer (QueryTxt); empty
// when the manager or the text is missing.
std::wstring QueryText(long id);
// A text of the pack in full (GetTxt); empty when missing.
std::wstring GetText(long id);
