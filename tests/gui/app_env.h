#pragma once
// The process set-up that the program's windows expect, for GUI tests: COM,
// the resource pack, the product title as message box caption, common
// controls, the shared tooltip window and an application object whose main
// window the tests set.
#include <windows.h>

#include "fw/App.h"

namespace app_test {

class TestApp : public fw::CWinApp {};

// The application object of the test program.
TestApp& App();
// The product title from the resource pack.
const wchar_t* ProductTitle();

}  // namespace app_test
