#pragma once
#include <cstddef>

// The folder of the running program with its trailing backslash, into
// `folder` of `capacity` units. False (and an empty text) when the path
// does not fit.
bool ExeFolder(wchar_t* folder, size_t capacity);
