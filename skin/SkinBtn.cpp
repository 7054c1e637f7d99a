#include "skin/SkinBtn.h"

#include <string>
#include <vector>

#include "fw/Gdi.h"
#include "skin/Painting.h"
#include "skin/SkinRes.h"

namespace {

// Draws a caption text in a box, cut with an ellipsis when too long.
void DrawCaption(HDC dc, const std::wstring& text, HFONT font, COLORREF color, RECT box) {
  fw::SaveDcGuard saved(dc);
  SelectObject(dc, fw::FontOrDefault(font));
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
}

}  // namespace

// ---- vek_SkinBtn ----

void vek_SkinBtn::PreSubclassWindow() {
  MakeOwnerDraw();
  // Quick clicks must arrive as separate clicks, not as double clicks.
  ULONG_PTR style = GetClassLongPtrW(m_hWnd, GCL_STYLE);
  SetClassLongPtrW(m_hWnd, GCL_STYLE, style & ~static_cast<ULONG_PTR>(CS_DBLCLKS));
}

LRESULT vek_SkinBtn::OnCreate(CREATESTRUCTW* cs) {
  LRESULT result = Default();
  MakeOwnerDraw();
  return result;
}

void vek_SkinBtn::MakeOwnerDraw() {
  UINT style = static_cast<UINT>(GetStyle());
  SetButtonStyle((style & 0xFFF4) | BS_OWNERDRAW, true);
}

void vek_SkinBtn::SizeToFrame() {
  SIZE size = image.GetSize();
  if (m_hWnd == nullptr || size.cx <= 0) return;
  SetWindowPos(nullptr, 0, 0, size.cx / SKINBTN_FRAMES, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int vek_SkinBtn::FrameFor(UINT itemState) const {
  if (itemState & ODS_DISABLED) return SKINBTN_DISABLED;
  if (itemState & ODS_SELECTED) return SKINBTN_PRESSED;
  return hovering ? SKINBTN_HOVER_FRAME : SKINBTN_NORMAL;
}

bool vek_SkinBtn::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
  *result = TRUE;
  return true;
}

void vek_SkinBtn::DrawItem(const DRAWITEMSTRUCT& dis) {
  SIZE size = image.GetSize();
  if (size.cx <= 0) return;
  int frameWidth = size.cx / SKINBTN_FRAMES;
  int srcX = FrameFor(dis.itemState) * frameWidth;
  const RECT& rc = dis.rcItem;
  if (stretchImage) {
    image.StretchPart(dis.hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, srcX, 0,
                      frameWidth, size.cy);
  } else {
    image.DrawPart(dis.hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, srcX, 0);
  }
}

BOOL vek_SkinBtn::OnEraseBkgnd(HDC dc) {
  // The frame is the only paint: no erase, just draw it now.
  Invalidate(false);
  UpdateWindow();
  return TRUE;
}

void vek_SkinBtn::OnMouseMove(UINT flags, POINT pt) {
  if (!hovering) {
    hovering = true;
    Invalidate(false);
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    TrackMouseEvent(&tme);
    SendHover(1);
  }
  SetCursor(handCursor);
  Default();
}

void vek_SkinBtn::OnMouseLeave() {
  SendHover(0);
  hovering = false;
  Invalidate(false);
}

void vek_SkinBtn::SendHover(int entered) {
  HWND parent = GetParentHwnd();
  if (!IsWindow(parent)) return;
  SkinBtnHoverNotify note{};
  note.hdr.hwndFrom = m_hWnd;
  note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  note.hdr.code = SKINBTN_HOVER;
  note.entered = entered;
  ::SendMessageW(parent, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

// ---- vek_SkinSysBtn ----

void vek_SkinSysBtn::OnSetFocus(HWND oldFocus) {
  focusOwner = oldFocus;
  Default();
}

void vek_SkinSysBtn::OnLButtonDown(UINT flags, POINT pt) { Default(); }

void vek_SkinSysBtn::OnLButtonUp(UINT flags, POINT pt) {
  RECT rc = GetClientRect();
  // The release is reported by us alone: the button's own handling would
  // report the same click a second time. Giving the capture up leaves the
  // button unpressed without a report.
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (SendMessage(BM_GETSTATE) & BST_PUSHED) SendMessage(BM_SETSTATE, FALSE);
  const HWND restore = focusOwner;
  // Edges count as inside.
  if (pt.x >= rc.left && pt.x <= rc.right && pt.y >= rc.top && pt.y <= rc.bottom) {
    ::SendMessageW(GetParentHwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                   reinterpret_cast<LPARAM>(m_hWnd));
  }
  if (restore != nullptr && IsWindow(restore)) ::SetFocus(restore);
}

// ---- vek_SkinCheckBox ----

vek_SkinCheckBox::vek_SkinCheckBox() {
  font.CreateFont(-11, FW_NORMAL, DEFAULT_CHARSET, L"Tahoma");
}

void vek_SkinCheckBox::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  HDC dc = paint.get();
  RECT rc = GetClientRect();
  const int L = rc.left, T = rc.top;
  const DpiScale s = SkinDpi(m_hWnd);
  auto px = [&](int v) { return s.Scale(v); };
  FillSolid(dc, rc, backColor);
  {
    // Made before the guard, so that the DC lets go of them before they go.
    fw::UniqueBrush fill(CreateSolidBrush(boxFillColor));
    fw::UniquePen border(CreatePen(PS_SOLID, 1, boxBorderColor));
    fw::UniquePen frame(
        CreatePen(PS_SOLID, px(2), hovering ? boxFrameHotColor : boxFrameColor));
    fw::SaveDcGuard saved(dc);
    SelectObject(dc, fill.get());
    SelectObject(dc, border.get());
    Rectangle(dc, L + px(1), T + px(2), L + px(13), T + px(14));
    SelectObject(dc, frame.get());
    Rectangle(dc, L + px(3), T + px(4), L + px(12), T + px(13));
  }
  DrawCaption(dc, ControlText(m_hWnd), ScaledFont(font.GetSafeHandle(), s), textColor,
              RECT{L + px(16), T - px(3), rc.right, rc.bottom - px(1)});
  if (GetCheck() == BST_CHECKED) {
    fw::UniquePen tick(CreatePen(PS_SOLID, px(2), checkColor));
    fw::SelectGuard sel(dc, tick.get());
    fw::Line(dc, L + px(3), T + px(7), L + px(6), T + px(10));
    fw::Line(dc, L + px(5), T + px(10), L + px(10), T + px(5));
  }
}

void vek_SkinCheckBox::OnMouseMove(UINT flags, POINT pt) {
  hovering = true;
  Default();
}

void vek_SkinCheckBox::OnMouseLeave() {
  hovering = false;
  Default();
}

// ---- vek_SkinRadioBtn ----

namespace {

// Parses "rows: columns; ..." where rows and columns are lists of single
// numbers or a-b runs, the way the cell's pixel sets are written down.
std::vector<int> ParseList(const std::string& text) {
  std::vector<int> out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t comma = text.find(',', pos);
    std::string part =
        text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    size_t dash = part.find('-');
    int from = std::stoi(part.substr(0, dash));
    int to = dash == std::string::npos ? from : std::stoi(part.substr(dash + 1));
    for (int v = from; v <= to; ++v) out.push_back(v);
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return out;
}

std::vector<POINT> ParsePixelSet(const std::string& rows) {
  std::vector<POINT> pixels;
  size_t pos = 0;
  while (pos < rows.size()) {
    size_t semi = rows.find(';', pos);
    std::string group =
        rows.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos);
    size_t colon = group.find(':');
    for (int y : ParseList(group.substr(0, colon))) {
      for (int x : ParseList(group.substr(colon + 1))) pixels.push_back(POINT{x, y});
    }
    if (semi == std::string::npos) break;
    pos = semi + 1;
  }
  return pixels;
}

// The cell's pixels, each one a square of the scaled size (one pixel at 96
// DPI): the cell is pixel art, and grows as a whole.
void SetPixels(HDC dc, POINT origin, const std::vector<POINT>& pixels, COLORREF color,
               const DpiScale& s = DpiScale()) {
  if (s.IsBase()) {
    for (const POINT& p : pixels) SetPixel(dc, origin.x + p.x, origin.y + p.y, color);
    return;
  }
  fw::UniqueBrush brush(CreateSolidBrush(color));
  for (const POINT& p : pixels) {
    RECT cell{origin.x + s.Scale(p.x), origin.y + s.Scale(p.y), origin.x + s.Scale(p.x + 1),
              origin.y + s.Scale(p.y + 1)};
    FillRect(dc, &cell, brush.get());
  }
}

}  // namespace

const std::vector<POINT>& vek_SkinRadioBtn::Pixels(PixelSet set) {
  static const std::vector<POINT> outer =
      ParsePixelSet("0:5-7;1:2-4,8-10;2,3,4:1,11;5,6,7:0,12;8,9,10:1,11;11:2-4,8-10;12:5-7");
  static const std::vector<POINT> edge = ParsePixelSet(
      "0:3,4,8,9;1:5-7;2:2,3,9,10;3:0,2,10,12;4:0,12;5,6,7:1,11;8:0,12;9:0,2,10,12;"
      "10:2,3,9,10;11:5-7;12:3,4,8,9");
  static const std::vector<POINT> inner =
      ParsePixelSet("2:4-8;3:3-9;4:2-4,8-10;5,6,7:2,3,9,10;8:2-4,8-10;9:3-9;10:4-8");
  static const std::vector<POINT> dot = ParsePixelSet("4:5-7;5,6,7:4-8;8:5-7");
  switch (set) {
    case OUTER_RING: return outer;
    case EDGE_RING: return edge;
    case INNER_RING: return inner;
    default: return dot;
  }
}

vek_SkinRadioBtn::vek_SkinRadioBtn() {
  font.CreateFont(-11, FW_NORMAL, DEFAULT_CHARSET, L"Tahoma");
}

void vek_SkinRadioBtn::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  HDC dc = paint.get();
  RECT rc = GetClientRect();
  const DpiScale s = SkinDpi(m_hWnd);
  FillSolid(dc, rc, backColor);
  POINT cell{rc.left + s.Scale(1), rc.top + s.Scale(1)};
  SetPixels(dc, cell, Pixels(OUTER_RING), outerRingColor, s);
  SetPixels(dc, cell, Pixels(EDGE_RING), edgeRingColor, s);
  SetPixels(dc, cell, Pixels(INNER_RING), hovering ? innerHotColor : innerColor, s);
  DrawCaption(dc, ControlText(m_hWnd), ScaledFont(font.GetSafeHandle(), s), textColor,
              RECT{rc.left + s.Scale(17), rc.top - s.Scale(3), rc.right, rc.bottom - s.Scale(3)});
  SetPixels(dc, cell, Pixels(CENTRE_DOT), GetCheck() == BST_CHECKED ? dotOnColor : dotOffColor,
            s);
}

void vek_SkinRadioBtn::OnMouseMove(UINT flags, POINT pt) {
  hovering = true;
  Default();
}

void vek_SkinRadioBtn::OnMouseLeave() {
  hovering = false;
  Default();
}
