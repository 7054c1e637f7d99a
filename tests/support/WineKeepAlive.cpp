// Keeps a Wine prefix's system processes alive for a whole test session.
//
// Wine starts its background processes (explorer, services, plug and play)
// from whichever program needs them first, and they inherit that program's
// standard output and error. Under CTest that is a test's output pipe, which
// then stays open, and the test seems to hang after it passed, until every
// Wine process of the session has ended. The test session starts this
// program first, with its output sent nowhere, so the background processes
// are started by it and live as long as it does.
//
// The desktop process (explorer /desktop) is started only by a program that
// asks for the desktop window, so this one asks for it. With `--once` it
// returns as soon as the desktop is there: the session waits on that before
// the first test starts.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  // Wine starts the desktop process here, and waits for its window.
  GetDesktopWindow();
  if (argc > 1 && wcscmp(argv[1], L"--once") == 0) return 0;
  Sleep(INFINITE);
  return 0;
}
