#pragma once
// Small painting helpers the skinned controls share.
#include <windows.h>

#include <string>

// Fills a rectangle with a solid colour.
void FillSolid(HDC dc, const RECT& rc, COLORREF color);
// A 1-pixel frame along a window's outer edge, drawn in its window DC.
void DrawWindowFrame(HWND wnd, COLORREF color);
// A control's window text, at most 260 characters, as the controls draw it.
std::wstring ControlText(HWND wnd);
