#pragma once
#include <cstdint>

// Copies the folder of the running program's executable, with its trailing
// backslash and a terminator, into `destination` (260 UTF-16 units, zeroed
// here) and returns its length in units. Returns 0 when the path cannot be
// read; a folder too long for the buffer returns its length only and leaves
// the destination untouched.
std::int32_t ModuleFolder(wchar_t* destination);

// The same for a given module path: the text up to and including its last
// backslash.
std::int32_t FolderOfPath(const wchar_t* modulePath, wchar_t* destination);
