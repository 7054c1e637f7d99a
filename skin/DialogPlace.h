#pragma once
// Where the program's dialogs open: centred over the window they belong
// to, and always whole on the work area of that window's monitor (off the
// taskbar, never partly off screen).
#include <windows.h>

// The top-left corner, in screen coordinates, of a `size` window centred
// over `around` (screen coordinates) and then moved as little as needed to
// stand whole on the work area of the monitor nearest `around`.
POINT CentredOnWorkArea(const RECT& around, SIZE size);

// Centres a dialog over its owner window, or over the work area of its
// monitor when it has no visible owner, keeping it on that work area.
void CenterOverOwner(HWND dialog);
