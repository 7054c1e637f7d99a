#pragma once
#include <windows.h>

namespace skeldon {

// Tells the user that a resource could not be loaded: a box without owner,
// caption "Load resource failed!", with `what` (a path or an id) as text.
// Returns when the box is closed.
void ShowLoadFailure(const WCHAR* what);

}  // namespace skeldon
