#include "skin/DpiScale.h"

#include <cwchar>
#include <vector>

namespace {

// The functions newer systems have, looked up once: the program runs on
// Windows 7, where none of them exists.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetContextFn = BOOL(WINAPI*)(HANDLE);
using SetAwarenessFn = HRESULT(WINAPI*)(int);
using SetAwareFn = BOOL(WINAPI*)();

template <class Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE lib = GetModuleHandleW(module);
  if (lib == nullptr) lib = LoadLibraryW(module);
  if (lib == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
}

GetDpiForWindowFn DpiForWindowFn() {
  static const GetDpiForWindowFn fn = Lookup<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  return fn;
}

}  // namespace

DpiScale DpiScale::ForSystem() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return DpiScale();
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return DpiScale(dpi > 0 ? dpi : kBase);
}

DpiScale DpiScale::ForWindow(HWND wnd) {
  if (wnd == nullptr || !IsWindow(wnd)) return ForSystem();
  if (GetDpiForWindowFn fn = DpiForWindowFn()) {
    const UINT dpi = fn(wnd);
    if (dpi > 0) return DpiScale(static_cast<int>(dpi));
  }
  return ForSystem();
}

bool EnableDpiAwareness() {
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
  const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
  if (auto set = Lookup<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
    if (set(kPerMonitorV2) || set(kPerMonitor)) return true;
    // Already set (by the manifest) counts as done.
    if (GetLastError() == ERROR_ACCESS_DENIED) return true;
  }
  // Windows 8.1: PROCESS_PER_MONITOR_DPI_AWARE.
  if (auto set = Lookup<SetAwarenessFn>(L"shcore.dll", "SetProcessDpiAwareness")) {
    const HRESULT hr = set(2);
    if (SUCCEEDED(hr) || hr == E_ACCESSDENIED) return true;
  }
  // Windows 7 and Vista: system aware.
  if (auto set = Lookup<SetAwareFn>(L"user32.dll", "SetProcessDPIAware")) return set() != FALSE;
  return false;
}

void TakeOverDialogScaling(HWND dialog) {
  using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
  static const SetBehaviorFn set =
      Lookup<SetBehaviorFn>(L"user32.dll", "SetDialogDpiChangeBehavior");
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (set != nullptr && dialog != nullptr) set(dialog, kDisableAll, kDisableAll);
}

namespace {

struct FontEntry {
  LOGFONTW lf;
  HFONT font;  // owned by the table for the life of the process
};

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfWeight == b.lfWeight &&
         a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
         a.lfCharSet == b.lfCharSet && a.lfQuality == b.lfQuality &&
         wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

}  // namespace

HFONT SharedFont(const LOGFONTW& lf) {
  // Keyed by what the font is, not by a handle: a handle can be reused by
  // another font once the first is deleted. The user-interface thread alone
  // asks for fonts.
  static std::vector<FontEntry>* table = new std::vector<FontEntry>();
  for (const FontEntry& e : *table) {
    if (SameFont(e.lf, lf)) return e.font;
  }
  HFONT font = CreateFontIndirectW(&lf);
  if (font != nullptr) table->push_back(FontEntry{lf, font});
  return font;
}

HFONT ScaledFont(HFONT base, const DpiScale& scale) {
  if (base == nullptr || scale.IsBase()) return base;
  LOGFONTW lf{};
  if (GetObjectW(base, sizeof(lf), &lf) != sizeof(lf)) return base;
  // The stock GUI font is 8 points at 96 DPI; some systems make it at the
  // system DPI already, so its own height is not a 96-DPI one.
  if (base == static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) lf.lfHeight = -11;
  lf.lfHeight = scale.FontHeight(lf.lfHeight);
  lf.lfWidth = scale.Scale(lf.lfWidth);
  HFONT font = SharedFont(lf);
  return font != nullptr ? font : base;
}
