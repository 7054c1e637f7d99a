#include "skin/SkinRes.h"

#include "fw/Gdi.h"
#include "loader/ResMgrHolder.h"
#include "skeldon/ResIds.h"

vek_IResMgr* AppResMgr() {
  ResMgrHolder* holder = GetResMgr();
  return holder != nullptr ? holder->resMgr : nullptr;
}

HBITMAP LoadSkinBitmap(long id) {
  vek_IResMgr* res = AppResMgr();
  if (res == nullptr) return nullptr;
  HANDLE handle = nullptr;
  if (FAILED(res->LoadRes(id, id >> 28, &handle))) return nullptr;
  return static_cast<HBITMAP>(handle);
}

void FreeSkinBitmap(HBITMAP bitmap) {
  vek_IResMgr* res = AppResMgr();
  if (res != nullptr && bitmap != nullptr) res->FreeRes(bitmap);
}

int SkinFrameCount(long id) {
  switch (SkinBaseId(id)) {
    case BMP_ROTATES: return 18;
    case BMP_SYSBTN_MENU:
    case BMP_SYSBTN_MIN:
    case BMP_SYSBTN_CLOSE:
    case BMP_SYSBTN_DLGCLOSE:
    case BMP_BTN_BACK:
    case BMP_BTN_SETTING:
    case BMP_BTN_S2T:
    case BMP_BTN_T2S:
    case BMP_BTN_FS2T:
    case BMP_BTN_FT2S:
    case BMP_BTN_BROWSE:
    case BMP_BTN_STARTCONV:
    case BMP_BTN_ADDFILE:
    case BMP_BTN_REMOVE:
    case BMP_BTN_CLEAR:
    case BMP_BTN_STOP:
    case BMP_BTN_OPENFOLDER:
    case BMP_BTN_OK:
    case BMP_BTN_CANCEL:
    case BMP_XBTN_DLGCLOSE: return 5;
    default: return 1;
  }
}

namespace {

// The 100% length a set's length was drawn from: the set scales by rounding,
// which keeps distinct lengths distinct, so one of three neighbours fits.
int BaseLength(int length, const DpiScale& set) {
  const int guess = MulDiv(length, DpiScale::kBase, set.Dpi());
  for (int b : {guess, guess - 1, guess + 1}) {
    if (set.Scale(b) == length) return b;
  }
  return guess;
}

// The set's bitmap resized to `scale`, each frame on its own; nearest pixels,
// so the colour key stays exact where the window's region is traced.
HBITMAP ResizeFrames(HBITMAP source, int frames, const DpiScale& set, const DpiScale& scale) {
  BITMAP info{};
  if (GetObjectW(source, sizeof(info), &info) != sizeof(info) || frames <= 0) return nullptr;
  const int setFrame = info.bmWidth / frames;
  const int frameWidth = scale.Scale(BaseLength(setFrame, set));
  const int height = scale.Scale(BaseLength(info.bmHeight, set));
  fw::WindowDc screen(nullptr);
  HBITMAP resized = CreateCompatibleBitmap(screen.get(), frameWidth * frames, height);
  if (resized == nullptr) return nullptr;
  fw::MemoryDc from(screen.get()), to(screen.get());
  if (!from || !to) {
    DeleteObject(resized);
    return nullptr;
  }
  fw::SelectGuard selFrom(from.get(), source);
  fw::SelectGuard selTo(to.get(), resized);
  SetStretchBltMode(to.get(), COLORONCOLOR);
  for (int i = 0; i < frames; ++i) {
    StretchBlt(to.get(), i * frameWidth, 0, frameWidth, height, from.get(), i * setFrame, 0,
               setFrame, info.bmHeight, SRCCOPY);
  }
  return resized;
}

}  // namespace

HBITMAP LoadSkinBitmapFor(vek_IResMgr* res, long id, const DpiScale& scale) {
  if (res == nullptr) return nullptr;
  const int percent = scale.ArtPercent();
  HANDLE handle = nullptr;
  if (FAILED(res->LoadRes(SkinSetId(id, percent), id >> 28, &handle)) || handle == nullptr) {
    return nullptr;
  }
  HBITMAP drawn = static_cast<HBITMAP>(handle);
  if (scale.IsDrawnScale()) return drawn;
  HBITMAP resized =
      ResizeFrames(drawn, SkinFrameCount(id), DpiScale(DpiScale::kBase * percent / 100), scale);
  if (resized == nullptr) return drawn;  // the smaller picture beats none
  res->FreeRes(drawn);
  return resized;
}

HBITMAP LoadSkinBitmap(long id, const DpiScale& scale) {
  return LoadSkinBitmapFor(AppResMgr(), id, scale);
}

namespace {
constexpr wchar_t kDpiProp[] = L"Tarnwell.SkinDpi";
}

void MarkSkinDpi(HWND wnd, const DpiScale& scale) {
  if (wnd != nullptr)
    SetPropW(wnd, kDpiProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(scale.Dpi())));
}

DpiScale SkinDpi(HWND wnd) {
  for (HWND w = wnd; w != nullptr; w = GetAncestor(w, GA_PARENT)) {
    const auto dpi = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(w, kDpiProp)));
    if (dpi > 0) return DpiScale(dpi);
    if ((GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return DpiScale::ForWindow(wnd);
}

UINT SkinDpiChangedMessage() {
  static const UINT msg = RegisterWindowMessageW(L"Tarnwell.SkinDpiChanged");
  return msg;
}
