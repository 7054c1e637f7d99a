#include "skin/SkinRes.h"

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
