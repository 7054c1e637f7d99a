#include "skeldon/ResMgr.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "skeldon/LoadFailure.h"
#include "skeldon/Module.h"
#include "skeldon/ResIds.h"
#include "skeldon/ResTables.h"
#include "skeldon/TextItems.h"

namespace skeldon {

namespace {

const HRESULT kBufferTooSmall = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);

// Copies `src` with its terminator into `dst` of `capacity` units. A text
// that does not fit is not cut short: `dst` becomes empty and the copy fails.
bool CopyBounded(WCHAR* dst, size_t capacity, const WCHAR* src, size_t length) {
  if (capacity == 0) return false;
  if (length + 1 > capacity) {
    dst[0] = L'\0';
    return false;
  }
  std::memcpy(dst, src, length * sizeof(WCHAR));
  dst[length] = L'\0';
  return true;
}

// The folder of the running program, with its trailing backslash; empty
// when the path cannot be read whole.
size_t ProgramFolder(WCHAR* folder, size_t capacity) {
  DWORD n = GetModuleFileNameW(nullptr, folder, static_cast<DWORD>(capacity));
  if (n == 0 || n >= capacity) {
    folder[0] = L'\0';
    return 0;
  }
  const WCHAR* slash = wcsrchr(folder, L'\\');
  size_t length = slash ? static_cast<size_t>(slash - folder) + 1 : 0;
  folder[length] = L'\0';
  return length;
}

}  // namespace

// ---- creation and identity ----

CResMgr::CResMgr(IUnknown* outer)
    : loadType_(LOADTYPE_FILES), own_(this), controlling_(outer ? outer : &own_) {
  Module.Lock();
}

CResMgr::~CResMgr() { Module.Unlock(); }

HRESULT CResMgr::Create(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // An aggregating object must take the inner object's own IUnknown.
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  CResMgr* object = new (std::nothrow) CResMgr(outer);
  if (!object) return E_OUTOFMEMORY;
  // Holding a reference across the request deletes the object when the
  // interface is refused.
  object->own_.AddRef();
  HRESULT hr = object->own_.QueryInterface(iid, out);
  object->own_.Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE CResMgr::OwnUnknown::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *out = static_cast<IUnknown*>(this);
  } else if (IsEqualIID(iid, IID_vek_IResMgr)) {
    *out = static_cast<vek_IResMgr*>(owner_);
  } else {
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CResMgr::OwnUnknown::AddRef() {
  return static_cast<ULONG>(++owner_->refs_);
}

ULONG STDMETHODCALLTYPE CResMgr::OwnUnknown::Release() {
  LONG left = --owner_->refs_;
  if (left == 0) delete owner_;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryInterface(REFIID iid, void** out) {
  return controlling_->QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE CResMgr::AddRef() { return controlling_->AddRef(); }

ULONG STDMETHODCALLTYPE CResMgr::Release() { return controlling_->Release(); }

// ---- texts ----

HRESULT STDMETHODCALLTYPE CResMgr::Init(LONG lLoadType, BSTR strResPath) {
  loadType_ = lLoadType;
  if (lLoadType != LOADTYPE_FILES) return S_OK;
  const WCHAR* folder = strResPath ? strResPath : L"";
  const size_t length = wcslen(folder);
  // A folder too long for the buffer would name some other folder when
  // cut: it is refused and the folder kept.
  if (length >= MAX_PATH) return E_INVALIDARG;
  CopyBounded(resFolder_, MAX_PATH, folder, length);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetTxt(LONG lTxtId, WCHAR** ppTxt) {
  if (!ppTxt) return E_POINTER;
  *ppTxt = nullptr;
  const ResTextRow* row = FindTextRow(lTxtId);
  if (!row) return E_FAIL;
  *ppTxt = const_cast<WCHAR*>(row->text);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetMTxtItems(LONG lTxtId, LONG* plItems) {
  if (!plItems) return E_POINTER;
  *plItems = 0;
  const ResTextRow* row = FindTextRow(lTxtId);
  if (!row) return E_FAIL;
  *plItems = CountTextItems(row->text);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetMTxtItem(LONG lTxtId, LONG lItem, WCHAR* lpTxt,
                                               LONG lSize) {
  if (!lpTxt || lSize < 0) return E_FAIL;
  std::memset(lpTxt, 0, static_cast<size_t>(lSize));
  const ResTextRow* row = FindTextRow(lTxtId);
  if (!row) return E_FAIL;
  const WCHAR* item = nullptr;
  size_t length = 0;
  if (!FindTextItem(row->text, lItem, &item, &length)) return E_FAIL;
  if (!CopyBounded(lpTxt, static_cast<size_t>(lSize) / sizeof(WCHAR), item, length)) {
    return kBufferTooSmall;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryTxt(LONG lTxtId, WCHAR** pStrTxt, LONG* plBufLen) {
  if (!pStrTxt || !*pStrTxt || !plBufLen || *plBufLen < 0) return E_POINTER;
  const ResTextRow* row = FindTextRow(lTxtId);
  if (!row) return E_FAIL;
  if (!CopyBounded(*pStrTxt, static_cast<size_t>(*plBufLen), row->text, wcslen(row->text))) {
    return kBufferTooSmall;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryTxtInfo(void** ppTxt, LONG* plTxtBytes) {
  if (!ppTxt || !plTxtBytes) return E_POINTER;
  *ppTxt = const_cast<ResTextRow*>(ResTextTable);
  *plTxtBytes = static_cast<LONG>(ResTextCount * sizeof(ResTextRow));
  return S_OK;
}

// ---- bitmaps ----

HRESULT STDMETHODCALLTYPE CResMgr::QueryResById(LONG nResId, stResInfo* pResInfo) {
  if (!pResInfo) return E_POINTER;
  std::memset(pResInfo, 0, sizeof(*pResInfo));
  if (const stResInfo* row = FindBitmapRow(nResId)) *pResInfo = *row;
  return S_OK;
}

bool CResMgr::BuildBitmapPath(LONG id, WCHAR* path, size_t capacity) const {
  path[0] = L'\0';
  const stResInfo* row = FindBitmapRow(id);
  if (!row) return false;
  WCHAR base[MAX_PATH];
  size_t baseLength = wcslen(resFolder_);
  if (baseLength > 0) {
    std::memcpy(base, resFolder_, (baseLength + 1) * sizeof(WCHAR));
  } else {
    // The program's folder ends in a backslash, so the path holds a doubled
    // one there; Windows reads it as one.
    baseLength = ProgramFolder(base, MAX_PATH);
  }
  const size_t nameLength = wcslen(row->szResPathName);
  if (baseLength + 1 + nameLength + 1 > capacity) return false;
  std::memcpy(path, base, baseLength * sizeof(WCHAR));
  path[baseLength] = L'\\';
  std::memcpy(path + baseLength + 1, row->szResPathName, (nameLength + 1) * sizeof(WCHAR));
  return true;
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryResPathById(LONG nResId, WCHAR** pStrPath,
                                                    LONG* pBufLen) {
  if (!pStrPath || !*pStrPath || !pBufLen || *pBufLen < 0) return E_POINTER;
  WCHAR path[2 * MAX_PATH + 2];
  if (!FindBitmapRow(nResId)) return S_OK;  // no row: the buffer stays as it was
  if (!BuildBitmapPath(nResId, path, sizeof(path) / sizeof(path[0])) ||
      !CopyBounded(*pStrPath, static_cast<size_t>(*pBufLen), path, wcslen(path))) {
    if (*pBufLen > 0) (*pStrPath)[0] = L'\0';
    return kBufferTooSmall;
  }
  return S_OK;
}

HANDLE CResMgr::LoadFromFiles(LONG id) {
  WCHAR path[2 * MAX_PATH + 2];
  path[0] = L'\0';
  if (ResKind(id) == RESKIND_BITMAP && BuildBitmapPath(id, path, sizeof(path) / sizeof(path[0]))) {
    HANDLE image = LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (image) return image;
  }
  ShowLoadFailure(path);
  return nullptr;
}

HANDLE CResMgr::LoadFromModule(LONG id) {
  HINSTANCE module = Module.Instance();
  HANDLE loaded = nullptr;
  if (ResKind(id) == RESKIND_BITMAP) {
    if (const stResInfo* row = FindBitmapRow(id)) {
      loaded = LoadImageW(module, MAKEINTRESOURCEW(row->nResource), IMAGE_BITMAP, 0, 0,
                          LR_DEFAULTCOLOR);
    }
  } else if (ResKind(id) == RESKIND_RAW) {
    if (const stResInfo* row = FindRawRow(id)) {
      if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(row->nResource), RT_DIALOG)) {
        loaded = LoadResource(module, found);
      }
    }
  }
  if (!loaded) {
    WCHAR number[16];
    swprintf(number, sizeof(number) / sizeof(number[0]), L"%d", static_cast<int>(id));
    ShowLoadFailure(number);
  }
  return loaded;
}

HRESULT STDMETHODCALLTYPE CResMgr::LoadRes(LONG nResId, LONG nResType, HANDLE* pHandle) {
  // nResType is not used: the id's top four bits give the kind.
  if (!pHandle) return E_POINTER;
  *pHandle = nullptr;
  if (loadType_ == LOADTYPE_FILES) {
    *pHandle = LoadFromFiles(nResId);
  } else if (loadType_ == LOADTYPE_MODULE) {
    *pHandle = LoadFromModule(nResId);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::FreeRes(HANDLE hRes) {
  if (hRes) DeleteObject(static_cast<HGDIOBJ>(hRes));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetBmpSizeById(LONG nResId, LONG* pWidth, LONG* pHeight) {
  // Through the object's own LoadRes: the current load type decides where
  // the bitmap comes from (the type argument is not used).
  HANDLE bitmap = nullptr;
  LoadRes(nResId, LOADTYPE_MODULE, &bitmap);
  if (bitmap) {
    GetBmpSize(bitmap, pWidth, pHeight);
    FreeRes(bitmap);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetBmpSize(HANDLE hBmp, LONG* pWidth, LONG* pHeight) {
  if (!hBmp) return S_OK;
  BITMAP info;
  if (GetObjectW(static_cast<HGDIOBJ>(hBmp), sizeof(info), &info) != sizeof(info)) return S_OK;
  if (pWidth) *pWidth = info.bmWidth;
  if (pHeight) *pHeight = info.bmHeight;
  return S_OK;
}

}  // namespace skeldon
