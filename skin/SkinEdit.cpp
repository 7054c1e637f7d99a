#include "skin/SkinEdit.h"

#include "skin/EditClass.h"
#include "skin/Painting.h"

void vek_SkinEdit::SetBackColor(COLORREF color) {
  backColor = color;
  backBrush.reset(CreateSolidBrush(color));
}

const wchar_t* LongTextEditClass() {
  constexpr const wchar_t* kName = L"" LONG_TEXT_EDIT_CLASS;
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(module, kName, &wc)) return kName;
  if (!GetClassInfoExW(nullptr, L"EDIT", &wc)) return L"EDIT";
  // The system edit box's procedure and window bytes, its own device
  // context, and found by any module's dialog template.
  wc.style |= CS_OWNDC | CS_GLOBALCLASS;
  wc.hInstance = module;
  wc.lpszClassName = kName;
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return L"EDIT";
  return kName;
}

bool vek_SkinEdit::Create(DWORD style, const RECT& rect, fw::CWnd* parent, UINT id,
                          const wchar_t* windowClass) {
  return CreateEx(0, windowClass, L"", style & ~WS_BORDER, rect, parent, id);
}

void vek_SkinEdit::DrawBorder() {
  if (drawBorder && m_hWnd != nullptr) DrawWindowFrame(m_hWnd, borderColor);
}

void vek_SkinEdit::OnNcPaint(HRGN rgn) {
  // The standard frame runs only to draw a scroll bar that is needed.
  SCROLLINFO si{sizeof(si), SIF_PAGE};
  if ((GetStyle() & WS_VSCROLL) && GetScrollInfo(m_hWnd, SB_VERT, &si) && si.nPage > 1) {
    Default();
  }
  DrawBorder();
}

bool vek_SkinEdit::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_COMMAND) {
    if (HIWORD(wp) == EN_SETFOCUS || HIWORD(wp) == EN_KILLFOCUS) DrawBorder();
    return false;
  }
  if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
  DrawBorder();
  HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, textColor);
  SetBkColor(dc, backColor);
  SetBkMode(dc, TRANSPARENT);
  *result = reinterpret_cast<LRESULT>(backBrush.get());
  return true;
}

void vek_SkinEdit::OnMouseMove(UINT flags, POINT pt) {
  TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 0};
  TrackMouseEvent(&tme);
  Default();
}

void vek_SkinEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  Invalidate(true);
  Default();
}
