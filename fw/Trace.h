#pragma once
// A trace of failures that a window-procedure boundary swallows to keep
// the program alive: one line for a debugger or a log viewer
// (OutputDebugStringW), never a message to the user.

namespace fw {

// Says where the exception now being handled was caught and what it says
// ("Tarnwell: <where>: <what>"). Call only from inside a catch block.
void TraceCaughtException(const wchar_t* where) noexcept;

}  // namespace fw
