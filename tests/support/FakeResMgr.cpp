#include "tests/support/FakeResMgr.h"

#include <cstring>

#include "tests/support/WindowPixels.h"

namespace testing_support {

void FakeResMgr::AddBitmap(long id, int cx, int cy, Fill fill) {
  bitmaps_[id] = BitmapSpec{cx, cy, std::move(fill)};
}

HRESULT FakeResMgr::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_vek_IResMgr)) {
    *out = static_cast<vek_IResMgr*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeResMgr::GetTxt(LONG id, WCHAR** text) {
  *text = nullptr;
  auto it = texts_.find(id);
  if (it == texts_.end()) return E_FAIL;
  *text = const_cast<WCHAR*>(it->second.c_str());
  return S_OK;
}

HRESULT FakeResMgr::GetMTxtItems(LONG, LONG* items) {
  *items = 0;
  return E_FAIL;
}

HRESULT FakeResMgr::QueryTxt(LONG id, WCHAR** buffer, LONG* length) {
  auto it = texts_.find(id);
  if (it == texts_.end() || buffer == nullptr || *buffer == nullptr || length == nullptr) {
    return E_FAIL;
  }
  if (static_cast<LONG>(it->second.size()) >= *length) return E_FAIL;
  std::memcpy(*buffer, it->second.c_str(), (it->second.size() + 1) * sizeof(WCHAR));
  return S_OK;
}

HRESULT FakeResMgr::QueryResById(LONG, stResInfo* info) {
  std::memset(info, 0, sizeof(*info));
  return S_OK;
}

HRESULT FakeResMgr::LoadRes(LONG id, LONG, HANDLE* handle) {
  *handle = nullptr;
  auto it = bitmaps_.find(id);
  if (it == bitmaps_.end()) {
    ++failedLoads;
    return S_OK;
  }
  *handle = MakeBitmap(it->second.cx, it->second.cy, it->second.fill);
  if (*handle != nullptr) ++loaded;
  return S_OK;
}

HRESULT FakeResMgr::FreeRes(HANDLE handle) {
  if (handle != nullptr) {
    DeleteObject(handle);
    ++freed;
  }
  return S_OK;
}

HRESULT FakeResMgr::GetBmpSizeById(LONG id, LONG* cx, LONG* cy) {
  auto it = bitmaps_.find(id);
  if (it != bitmaps_.end()) {
    *cx = it->second.cx;
    *cy = it->second.cy;
  }
  return S_OK;
}

HRESULT FakeResMgr::GetBmpSize(HANDLE handle, LONG* cx, LONG* cy) {
  BITMAP bm{};
  if (handle != nullptr && GetObjectW(handle, sizeof(bm), &bm) != 0) {
    *cx = bm.bmWidth;
    *cy = bm.bmHeight;
  }
  return S_OK;
}

}  // namespace testing_support
