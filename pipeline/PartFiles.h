#pragma once
// The part file a replacement is written into before it takes the old
// output's place: "a.txt.3f2a9c01-7d1e.tarnwell-part" beside the output. The
// first number is new for every part file (and the file is made only where
// no file is), the second checks the first against the output's name, so
// that a part file left by a run that was killed is told from any other file.
#include <string>

// A new part file's name for the output named `name`.
std::wstring NewPartFileName(const std::wstring& name);
// True when `candidate` is a part file name this program makes for `name`.
bool IsPartFileName(const std::wstring& name, const std::wstring& candidate);
// Removes the part files of earlier runs for the output `name` in `folder`
// (ending in a backslash): only files named as the program names them,
// holding text, and held by no running program.
void RemoveStalePartFiles(const std::wstring& folder, const std::wstring& name);
