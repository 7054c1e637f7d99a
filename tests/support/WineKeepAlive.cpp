// Keeps a Wine prefix's system processes alive for a whole test session.
//
// Wine starts its background processes (explorer, services, plug and play)
// from whichever program starts first, and they inherit that program's
// standard output. Under CTest that is a test's output pipe, which then
// stays open, and the test seems to hang, until every Wine process of the
// session has ended. The test session starts this program first, with its
// output sent nowhere, so the background processes are started by it and
// live as long as it does.
#include <windows.h>

int wmain() {
  Sleep(INFINITE);
  return 0;
}
