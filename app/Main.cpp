// The program's entry: the one application object and its run.
#include <windows.h>

#include "app/TarnwellApp.h"
#include "skin/DpiScale.h"

namespace {

CTarnwellApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before the first window: the manifest says the same, and this covers a
  // start without it.
  EnableDpiAwareness();
  return theApp.Run();
}
