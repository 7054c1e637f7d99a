#pragma once
// A resource manager for tests of the skin toolkit: implements
// vek_IResMgr over bitmaps generated on request and texts set by the test,
// and counts what is handed out and given back.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "skeldon/Skeldon.h"

namespace testing_support {

class FakeResMgr : public vek_IResMgr {
 public:
  using Fill = std::function<COLORREF(int x, int y)>;

  // Bitmap `id` is a fresh cx by cy device bitmap painted by `fill` on
  // every LoadRes.
  void AddBitmap(long id, int cx, int cy, Fill fill);
  void AddText(long id, std::wstring text) { texts_[id] = std::move(text); }

  int loaded = 0;       // bitmaps handed out
  int freed = 0;        // non-null handles given back
  int failedLoads = 0;  // LoadRes of an unknown id

  // IUnknown: the object lives on the test's stack.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE Init(LONG, BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTxt(LONG id, WCHAR** text) override;
  HRESULT STDMETHODCALLTYPE GetMTxtItems(LONG, LONG* items) override;
  HRESULT STDMETHODCALLTYPE GetMTxtItem(LONG, LONG, WCHAR*, LONG) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE QueryTxt(LONG id, WCHAR** buffer, LONG* length) override;
  HRESULT STDMETHODCALLTYPE QueryTxtInfo(void**, LONG*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE QueryResById(LONG, stResInfo* info) override;
  HRESULT STDMETHODCALLTYPE QueryResPathById(LONG, WCHAR**, LONG*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LoadRes(LONG id, LONG type, HANDLE* handle) override;
  HRESULT STDMETHODCALLTYPE FreeRes(HANDLE handle) override;
  HRESULT STDMETHODCALLTYPE GetBmpSizeById(LONG id, LONG* cx, LONG* cy) override;
  HRESULT STDMETHODCALLTYPE GetBmpSize(HANDLE handle, LONG* cx, LONG* cy) override;

 private:
  struct BitmapSpec {
    int cx, cy;
    Fill fill;
  };
  std::map<long, BitmapSpec> bitmaps_;
  std::map<long, std::wstring> texts_;
};

}  // namespace testing_support
