#pragma once
// The clipboard's Unicode text: read with the clipboard's sequence number,
// and replaced only when the clipboard still holds what was read, so that
// something copied while a conversion ran is never overwritten.
#include <windows.h>

#include <string>

enum class ClipboardRead {
  Text,    // text holds the clipboard's text, sequence its sequence number
  NoText,  // empty, or nothing that is text (a picture, files)
  Busy,    // another program keeps the clipboard open
};

enum class ClipboardWrite {
  Written,
  Changed,  // something else was copied since the text was read: left alone
  Busy,     // another program keeps the clipboard open
  Failed,   // out of memory, or the clipboard refused the text
};

// Reads the clipboard's text for `owner`. A text without a terminator is
// read up to the end of its block.
ClipboardRead ReadClipboardText(HWND owner, std::wstring& text, DWORD& sequence);
// Replaces the clipboard's content with `text` as Unicode text (the system
// offers it as ANSI text too), provided the clipboard's sequence number is
// still `sequence`. The other renderings of the old text (HTML, RTF, a
// picture of the selection) are dropped with it: they would show the text
// before its conversion.
ClipboardWrite ReplaceClipboardText(HWND owner, const std::wstring& text, DWORD sequence);
// Puts `text` on the clipboard whatever it held (tests and tools).
bool PutClipboardText(HWND owner, const std::wstring& text);
