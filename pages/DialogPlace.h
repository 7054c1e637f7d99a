#pragma once
#include <windows.h>

// Centres a dialog over its owner window, or over the work area of its
// monitor when it has none, keeping it on that monitor.
void CenterOverOwner(HWND dialog);
