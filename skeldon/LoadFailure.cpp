#include "skeldon/LoadFailure.h"

namespace skeldon {

// The pack links nothing of the program, so this is its own box rather
// than the program's AppMessageBox (whose caption is the product title).
void ShowLoadFailure(const WCHAR* what) {
  MessageBoxW(nullptr, what, L"Load resource failed!", MB_ICONERROR);
}

}  // namespace skeldon
