#pragma once
// CResMgr, the class ResMgr: serves the pack's bitmaps and texts by id.
// Single-threaded: the program calls it from its user-interface thread.
#include <windows.h>

#include "skeldon/Skeldon.h"

namespace skeldon {

class CResMgr final : public vek_IResMgr {
 public:
  // Creates an object and hands out `iid`. With an outer object the class
  // is aggregated: only IUnknown may be asked for, and the object's own
  // IUnknown comes back.
  static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

  // IUnknown, delegating to the controlling unknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // vek_IResMgr
  HRESULT STDMETHODCALLTYPE Init(LONG lLoadType, BSTR strResPath) override;
  HRESULT STDMETHODCALLTYPE GetTxt(LONG lTxtId, WCHAR** ppTxt) override;
  HRESULT STDMETHODCALLTYPE GetMTxtItems(LONG lTxtId, LONG* plItems) override;
  HRESULT STDMETHODCALLTYPE GetMTxtItem(LONG lTxtId, LONG lItem, WCHAR* lpTxt,
                                        LONG lSize) override;
  HRESULT STDMETHODCALLTYPE QueryTxt(LONG lTxtId, WCHAR** pStrTxt, LONG* plBufLen) override;
  HRESULT STDMETHODCALLTYPE QueryTxtInfo(void** ppTxt, LONG* plTxtBytes) override;
  HRESULT STDMETHODCALLTYPE QueryResById(LONG nResId, stResInfo* pResInfo) override;
  HRESULT STDMETHODCALLTYPE QueryResPathById(LONG nResId, WCHAR** pStrPath,
                                             LONG* pBufLen) override;
  HRESULT STDMETHODCALLTYPE LoadRes(LONG nResId, LONG nResType, HANDLE* pHandle) override;
  HRESULT STDMETHODCALLTYPE FreeRes(HANDLE hRes) override;
  HRESULT STDMETHODCALLTYPE GetBmpSizeById(LONG nResId, LONG* pWidth, LONG* pHeight) override;
  HRESULT STDMETHODCALLTYPE GetBmpSize(HANDLE hBmp, LONG* pWidth, LONG* pHeight) override;

 private:
  // The object's own identity, which an aggregating outer object holds;
  // it owns the reference count.
  class OwnUnknown final : public IUnknown {
   public:
    explicit OwnUnknown(CResMgr* owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

   private:
    CResMgr* owner_;
  };

  explicit CResMgr(IUnknown* outer);
  ~CResMgr();
  CResMgr(const CResMgr&) = delete;
  CResMgr& operator=(const CResMgr&) = delete;

  // The bitmap's file path (resource folder, or the program's folder, then
  // "\" and the file name). False when the table has no row for the id or
  // the path does not fit.
  bool BuildBitmapPath(LONG id, WCHAR* path, size_t capacity) const;
  HANDLE LoadFromFiles(LONG id);
  HANDLE LoadFromModule(LONG id);

  LONG refs_ = 0;  // plain counter: the object lives on one thread
  LONG loadType_;
  WCHAR resFolder_[MAX_PATH] = {};
  OwnUnknown own_;
  IUnknown* controlling_;  // the outer object, or own_
};

}  // namespace skeldon
