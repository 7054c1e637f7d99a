#pragma once
// "Start with Windows": a value of the current user's Run key
// (HKCU\Software\Microsoft\Windows\CurrentVersion\Run) that starts the
// program at logon. Only the current user's key is touched; the
// uninstaller removes the value too.
#include <windows.h>

#include <string>

// The Run value's name.
constexpr wchar_t kRunValueName[] = L"Tarnwell";

// The command the value holds for the program at `exePath`: the path in quotes.
std::wstring RunCommandFor(const std::wstring& exePath);
// True when the current user's Run key holds our value.
bool RunsAtLogon();
// Adds the value for the running program (`on`) or removes it. Returns the
// system's error, ERROR_SUCCESS when done (removing an absent value is done).
LONG SetRunAtLogon(bool on);
