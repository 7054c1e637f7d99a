#pragma once
// The framework's GDI object classes: CBitmap and CFont own their handle
// (deleted with the object unless detached) through fw::GdiObject, the one
// owner of GDI objects; CImageList owns its list.
#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "fw/Gdi.h"

namespace fw {

// GdiObject under the names the controls use.
template <class H>
class CGdiObjectT : public GdiObject<H> {
 public:
  H GetSafeHandle() const { return this->get(); }
  operator H() const { return this->get(); }
  // Takes ownership of `h`; an object already held is deleted first.
  // Attaching null leaves the object empty.
  void Attach(H h) { this->reset(h); }
  // Gives up ownership without deleting.
  H Detach() { return this->release(); }
  bool DeleteObject() {
    if (this->get() == nullptr) return false;
    this->reset();
    return true;
  }
};

class CBitmap : public CGdiObjectT<HBITMAP> {
 public:
  // Reads the bitmap's description; false when empty.
  bool GetBitmap(BITMAP* bm) const {
    return this->get() != nullptr && GetObjectW(this->get(), sizeof(BITMAP), bm) != 0;
  }
  SIZE GetSize() const {
    BITMAP bm{};
    if (!GetBitmap(&bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
  }
  bool CreateCompatibleBitmap(HDC dc, int cx, int cy) {
    Attach(::CreateCompatibleBitmap(dc, cx, cy));
    return this->get() != nullptr;
  }
};

class CFont : public CGdiObjectT<HFONT> {
 public:
  // A font by face name, height (negative: character height in pixels),
  // weight and character set; the other attributes are the defaults.
  bool CreateFont(int height, int weight, BYTE charset, const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = charset;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirect(lf);
  }
  bool CreateFontIndirect(const LOGFONTW& lf) {
    Attach(::CreateFontIndirectW(&lf));
    return this->get() != nullptr;
  }
};

// The font a skinned control draws with: its own when it has one, else the
// system's default GUI font (a stock object, never deleted).
inline HFONT FontOrDefault(HFONT font) {
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

class CImageList {
 public:
  CImageList() = default;
  ~CImageList() { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST GetSafeHandle() const { return list_; }
  operator HIMAGELIST() const { return list_; }
  bool Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    list_ = ImageList_Create(cx, cy, flags, initial, grow);
    return list_ != nullptr;
  }
  void Attach(HIMAGELIST list) {
    DeleteImageList();
    list_ = list;
  }
  HIMAGELIST Detach() { return std::exchange(list_, nullptr); }
  bool DeleteImageList() {
    if (list_ == nullptr) return false;
    ImageList_Destroy(std::exchange(list_, nullptr));
    return true;
  }
  // Adds the frames of a bitmap (copied; the caller keeps the bitmap),
  // with `mask` as the transparent colour. Returns the first new index.
  int Add(HBITMAP bitmap, COLORREF mask) { return ImageList_AddMasked(list_, bitmap, mask); }
  bool Remove(int index) { return ImageList_Remove(list_, index) != FALSE; }
  int GetImageCount() const { return list_ ? ImageList_GetImageCount(list_) : 0; }
  bool Draw(HDC dc, int index, POINT pt, UINT style) const {
    return ImageList_Draw(list_, index, dc, pt.x, pt.y, style) != FALSE;
  }

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace fw
