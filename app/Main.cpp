// The program's entry: the one application object and its run.
#include <windows.h>

#include "app/TarnwellApp.h"

namespace {

CTarnwellApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
