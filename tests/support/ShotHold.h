#pragma once
// Screenshots of states that a driver sets up (`make screenshots`,
// tests/e2e/filepages_shoot.sh): the driver says "[ shot     ] NAME" on
// standard output once the state is painted, and holds it until the
// capturing script answers with a line on standard input.
#include <windows.h>

namespace testing_support {

// Paints every visible top-level window of process `pid` now (each answers
// WM_PAINT before this returns) and then waits for each to take one more
// message, so that what they drew has reached the screen.
void PaintNow(DWORD pid);

// PaintNow, then the announcement, then the wait for the answer (or for
// the end of standard input, when nobody is capturing). Call it from a
// thread other than the windows' own: they must go on running meanwhile.
void HoldForShot(const char* name, DWORD pid);

}  // namespace testing_support
