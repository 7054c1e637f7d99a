#include "pages/PageRes.h"

#include "loader/ResMgrHolder.h"

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

std::wstring QueryText(long id) {
  vek_IResMgr* res = AppResMgr();
  if (res == nullptr) return {};
  wchar_t buffer[260] = {};
  WCHAR* out = buffer;
  long size = 260;
  if (FAILED(res->QueryTxt(id, &out, &size))) return {};
  buffer[259] = L'\0';
  return buffer;
}

std::wstring GetText(long id) {
  vek_IResMgr* res = AppResMgr();
  if (res == nullptr) return {};
  WCHAR* text = nullptr;
  if (FAILED(res->GetTxt(id, &text)) || text == nullptr) return {};
  return text;
}
