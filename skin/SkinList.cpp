#include "skin/SkinList.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fw/Gdi.h"
#include "skin/Painting.h"
#include "skin/SkinRes.h"

namespace {

// Posted to the list itself: a row deletion has completed, update the bar.
UINT RowsChangedMessage() {
  static const UINT msg = RegisterWindowMessageW(L"vek_SkinList.RowsChanged");
  return msg;
}

int CeilDiv(int a, int b) { return b > 0 && a > 0 ? (a + b - 1) / b : 0; }

}  // namespace

// ---- vek_SkinHeader ----

int vek_SkinHeader::FillBack(HDC dc, int width) {
  RECT rc = GetClientRect();
  rc.right = std::min<LONG>(rc.right, width);
  FillSolid(dc, rc, backColor);
  return GetClientRect().bottom;
}

void vek_SkinHeader::DrawItems(HDC dc, int cx, int cy, int left, int top, int right, int bottom) {
  FillSolid(dc, RECT{left, top, right, bottom}, backColor);
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, lineColor));
  fw::SaveDcGuard saved(dc);  // ends first: the pen is deselected before it goes
  const DpiScale scale = SkinDpi(m_hWnd);
  SelectObject(dc, ScaledFont(font, scale));
  SelectObject(dc, pen.get());
  SetBkMode(dc, TRANSPARENT);
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) {
    RECT item{};
    GetItemRect(i, &item);
    wchar_t text[260] = {};
    HDITEMW hdi{};
    hdi.mask = HDI_TEXT;
    hdi.pszText = text;
    hdi.cchTextMax = 260;
    SendMessage(HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&hdi));
    fw::Line(dc, item.right - 1, item.top, item.right - 1, item.bottom);
    item.top += scale.Scale(4);
    DrawTextW(dc, text, -1, &item, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_CENTER);
  }
}

void vek_SkinHeader::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  RECT rc = GetClientRect();
  fw::BufferedDc buffer(paint.get(), rc.right, rc.bottom);
  SetTextColor(buffer.get(), textColor);
  DrawItems(buffer.get(), rc.right, rc.bottom, 0, 0, rc.right, rc.bottom);
}

// ---- vek_SkinList: life ----

vek_SkinList::vek_SkinList() : header(std::make_unique<vek_SkinHeader>()) {}

vek_SkinList::~vek_SkinList() = default;

std::unique_ptr<vek_SkinHeader> vek_SkinList::CreateHeader() {
  return std::make_unique<vek_SkinHeader>();
}

bool vek_SkinList::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
  return CWnd::CreateEx(0, WC_LISTVIEWW, L"", style, rect, parent, id);
}

bool vek_SkinList::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id) {
  return CWnd::CreateEx(exStyle, WC_LISTVIEWW, L"", style, rect, parent, id);
}

void vek_SkinList::PreSubclassWindow() {
  if (header != nullptr && header->m_hWnd == nullptr) header->SubclassWindow(GetHeaderHwnd());
  // Our buffered paint must not cover the header.
  SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() | WS_CLIPCHILDREN);
}

int vek_SkinList::Bar() const { return SkinDpi(m_hWnd).Scale(barThickness); }

void vek_SkinList::InitSkinList(const ListSkinCfg* cfg) {
  ResizeBy(-Bar(), -Bar());
  SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  if (cfg != nullptr) {
    if (cfg->headerMask & 1) header->backColor = cfg->headerBack;
    if (cfg->headerMask & 2) header->lineColor = cfg->headerLine;
    if (cfg->headerMask & 4) header->textColor = cfg->headerText;
    if (cfg->listMask & 1) noBorder = cfg->noBorder;
    if (cfg->listMask & 2) noVBar = cfg->noVBar;
    if (cfg->listMask & 4) noHBar = cfg->noHBar;
    if (cfg->listMask & 8) selectionColor = cfg->selectionColor;
  }
  if (!noHBar) {
    CreateBar(hBar);
    UpdateScrollBar(0);
  }
  if (!noVBar) {
    CreateBar(vBar);
    UpdateScrollBar(1);
  }
  PlaceScrollBars();
}

void vek_SkinList::CreateBar(vek_SkinScrollBar& bar) {
  if (bar.m_hWnd != nullptr) return;
  if (!bar.Create(L"", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY, RECT{0, 0, 0, 0},
                  GetParentHwnd(), 0xFFFF)) {
    return;
  }
  // Quick clicks on a bar are single clicks.
  ULONG_PTR style = GetClassLongPtrW(bar.m_hWnd, GCL_STYLE);
  SetClassLongPtrW(bar.m_hWnd, GCL_STYLE, style & ~static_cast<ULONG_PTR>(CS_DBLCLKS));
  bar.target = this;
}

RECT vek_SkinList::RectInParent() const {
  RECT rc = GetWindowRect();
  MapWindowPoints(nullptr, GetParentHwnd(), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

void vek_SkinList::ResizeBy(int dx, int dy) {
  RECT rc = RectInParent();
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left + dx, rc.bottom - rc.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void vek_SkinList::PlaceScrollBars() {
  if (m_hWnd == nullptr) return;
  // Mapping to the parent's client area already accounts for a parent's
  // caption and frame.
  RECT rc = RectInParent();
  if (vBar.m_hWnd != nullptr) {
    ::SetWindowPos(vBar.m_hWnd, nullptr, rc.right, rc.top, Bar(), rc.bottom - rc.top + Bar(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (hBar.m_hWnd != nullptr) {
    ::SetWindowPos(hBar.m_hWnd, nullptr, rc.left, rc.bottom, rc.right - rc.left + 1, Bar(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// ---- extents ----

vek_SkinList::Extents vek_SkinList::Measure() {
  Extents e{};
  HWND hdr = GetHeaderHwnd();
  const int columns = hdr != nullptr ? Header_GetItemCount(hdr) : 0;
  for (int c = 0; c < columns; ++c) e.totalWidth += GetColumnWidth(c);
  RECT client = GetClientRect();
  e.visibleWidth = std::min(e.totalWidth, std::max(12, static_cast<int>(client.right) - 12));

  const int count = GetItemCount();
  int firstRow = 0;
  RECT bounds{};
  if (count > 0 && GetItemRect(0, &bounds, LVIR_BOUNDS)) firstRow = bounds.bottom - bounds.top;
  if (rowHeight == 0) rowHeight = firstRow;
  e.rowHeight = rowHeight;
  e.totalHeight = count * firstRow;
  RECT hr{};
  if (hdr != nullptr) ::GetClientRect(hdr, &hr);
  const int headerHeight = hr.bottom;
  e.visibleHeight = std::min(
      e.totalHeight, std::max(static_cast<int>(client.bottom) - headerHeight, headerHeight));
  return e;
}

int vek_SkinList::QueryRange(int bar) {
  if (m_hWnd == nullptr) return 0;
  Extents e = Measure();
  if (bar == 0) return CeilDiv(e.totalWidth - e.visibleWidth, hStep);
  if (bar == 1) return CeilDiv(e.totalHeight - e.visibleHeight, e.rowHeight);
  return 0;
}

int vek_SkinList::QueryPage(int bar) {
  if (m_hWnd == nullptr) return 0;
  Extents e = Measure();
  if (bar == 0) return hStep > 0 ? e.visibleWidth / hStep : 0;
  if (bar == 1) return e.rowHeight > 0 ? e.visibleHeight / e.rowHeight : 0;
  return 0;
}

int vek_SkinList::QueryPos(int bar) { return bar == 1 && m_hWnd != nullptr ? GetTopIndex() : 0; }

double vek_SkinList::QueryRatio(int bar) {
  if (m_hWnd == nullptr) return 0;
  Extents e = Measure();
  if (bar == 0) return e.totalWidth > 0 ? static_cast<double>(e.visibleWidth) / e.totalWidth : 0;
  if (bar == 1) {
    return e.totalHeight > 0 ? static_cast<double>(e.visibleHeight) / e.totalHeight : 0;
  }
  return 0;
}

void vek_SkinList::OnScrolled(int code) {
  if (code == 0 || code == 1) {
    SendMessage(WM_HSCROLL, static_cast<WPARAM>(code));
  } else if (code == 2 || code == 3) {
    SendMessage(WM_VSCROLL, static_cast<WPARAM>(code - 2));
  }
  Invalidate(true);
  UpdateWindow();
}

void vek_SkinList::OnHScroll(UINT code, UINT pos, HWND bar) {
  int dx = hBar.pos * hStep - hOffset;
  ListView_Scroll(m_hWnd, dx, 0);
  hOffset += dx;
  Invalidate(true);
}

void vek_SkinList::OnVScroll(UINT code, UINT pos, HWND bar) {
  ListView_Scroll(m_hWnd, 0, (vBar.pos - GetTopIndex()) * rowHeight);
  Invalidate(true);
}

// ---- bars ----

void vek_SkinList::UpdateScrollBar(int bar) {
  if (bar == 0) {
    if (noHBar || hBar.m_hWnd == nullptr) return;
    if (QueryRange(0) > 0) {
      hBar.ShowWindow(SW_SHOWNA);
      hBar.ScrollBy(0);
      hBar.Invalidate(true);
      hBar.UpdateWindow();
    } else {
      hBar.ShowWindow(SW_HIDE);
    }
    return;
  }
  if (bar != 1 || noVBar || vBar.m_hWnd == nullptr) return;
  if (QueryRange(1) > 0) {
    if (!vBarShown) {
      ResizeBy(-(Bar() - 1), 0);
      vBarShown = TRUE;
      if (hBar.m_hWnd != nullptr) hBar.Invalidate(true);
    }
    vBar.ShowWindow(SW_SHOWNA);
    vBar.ScrollBy(0);
    vBar.Invalidate(true);
    vBar.UpdateWindow();
  } else {
    if (vBarShown) {
      ResizeBy(Bar() - 1, 0);
      vBarShown = FALSE;
      Invalidate(true);
      if (hBar.m_hWnd != nullptr) hBar.Invalidate(true);
    }
    vBar.ShowWindow(SW_HIDE);
  }
}

LRESULT vek_SkinList::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == RowsChangedMessage()) {
    UpdateScrollBar(1);
    return 0;
  }
  if (msg == LVM_INSERTCOLUMNW && lp != 0) {
    // Column widths are given in 96-DPI pixels, like every skin size.
    const DpiScale scale = SkinDpi(m_hWnd);
    LVCOLUMNW column = *reinterpret_cast<const LVCOLUMNW*>(lp);
    if ((column.mask & LVCF_WIDTH) != 0) column.cx = scale.Scale(column.cx);
    return DefWindowProc(msg, wp, reinterpret_cast<LPARAM>(&column));
  }
  if (msg == SkinDpiChangedMessage()) {
    OnDpiChanged(DpiScale(static_cast<int>(lp)), DpiScale(static_cast<int>(wp)));
    return 0;
  }
  return fw::CListCtrl::WindowProc(msg, wp, lp);
}

bool vek_SkinList::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != WM_NOTIFY) return false;
  // Cells are asked for whether the list shows or not.
  if (reinterpret_cast<NMHDR*>(lp)->code == LVN_GETDISPINFOW && cells_ != nullptr) {
    AnswerDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lp));
    *result = 0;
    return true;
  }
  if (!IsWindowVisible()) return false;
  switch (reinterpret_cast<NMHDR*>(lp)->code) {
    case LVN_INSERTITEM:
      UpdateScrollBar(1);
      break;
    case LVN_DELETEITEM:
    case LVN_DELETEALLITEMS:
      // Sent before the row goes: measure once it is gone.
      PostMessage(RowsChangedMessage());
      break;
  }
  return false;  // the parent hears of it too
}

void vek_SkinList::AnswerDispInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  const std::wstring text = cells_->CellText(item.iItem, item.iSubItem);
  const size_t room = static_cast<size_t>(item.cchTextMax) - 1;
  const size_t length = std::min(text.size(), room);
  text.copy(item.pszText, length);
  item.pszText[length] = L'\0';
}

std::wstring vek_SkinList::CellText(int row, int column) const {
  return cells_ != nullptr ? cells_->CellText(row, column) : GetItemText(row, column);
}

void vek_SkinList::SetRowCount(int rows) {
  ListView_SetItemCountEx(m_hWnd, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  // A hidden list's bars stay hidden: it measures them when it shows.
  if (IsWindowVisible()) UpdateScrollBar(1);
  Invalidate(true);
}

void vek_SkinList::RedrawRow(int row) {
  RECT bounds{};
  if (!GetItemRect(row, &bounds, LVIR_BOUNDS)) return;
  // The selection band runs past the last column.
  bounds.right = GetClientRect().right;
  InvalidateRect(m_hWnd, &bounds, FALSE);
}

BOOL vek_SkinList::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
  auto* hdr = reinterpret_cast<NMHDR*>(lp);
  if (header == nullptr || hdr->hwndFrom != header->m_hWnd ||
      (hdr->code != HDN_ITEMCHANGEDA && hdr->code != HDN_ITEMCHANGEDW)) {
    return FALSE;
  }
  *result = Default();
  UpdateScrollBar(0);
  return TRUE;
}

void vek_SkinList::OnShowWindow(BOOL show, UINT status) {
  Default();
  if (show) {
    UpdateScrollBar(1);
  } else {
    if (hBar.m_hWnd != nullptr) hBar.ShowWindow(SW_HIDE);
    if (vBar.m_hWnd != nullptr) vBar.ShowWindow(SW_HIDE);
  }
}

void vek_SkinList::OnSize(UINT type, int cx, int cy) {
  Default();
  PlaceScrollBars();
  if (header != nullptr && header->m_hWnd != nullptr) {
    RECT hr = header->GetClientRect();
    ::SetWindowPos(header->m_hWnd, nullptr, 0, 0, cx, hr.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// ---- frame and painting ----

LRESULT vek_SkinList::OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params) {
  RECT* rc = calcValid ? &params->rgrc[0] : reinterpret_cast<RECT*>(params);
  rc->left += 1;
  rc->top += 1;
  return 0;
}

void vek_SkinList::OnNcPaint(HRGN rgn) {
  if (noBorder) return;
  fw::WindowDc dc(m_hWnd, fw::WindowDc::kWindow);
  RECT wr = GetWindowRect();
  fw::UniquePen pen(CreatePen(PS_SOLID, 1, borderColor));
  fw::SelectGuard sel(dc.get(), pen.get());
  fw::Line(dc.get(), 0, 0, wr.right - wr.left, 0);
  fw::Line(dc.get(), 0, 0, 0, wr.bottom - wr.top);
}

void vek_SkinList::OnPaint() {
  fw::PaintDc paint(m_hWnd);
  RECT rc = GetClientRect();
  fw::BufferedDc buffer(paint.get(), rc.right, rc.bottom);
  HDC dc = buffer.get();
  int headerHeight = 0;
  if (header != nullptr && header->m_hWnd != nullptr) headerHeight = header->FillBack(dc, rc.right);
  if (backImage.GetSafeHandle() != nullptr) {
    backImage.Draw(dc, rc.left, rc.top + headerHeight);
  } else {
    FillSolid(dc, RECT{rc.left, rc.top + headerHeight, rc.right, rc.bottom}, backColor);
  }
  DrawRows(dc);
}

void vek_SkinList::DrawRows(HDC dc) {
  const int top = GetTopIndex();
  const int last = std::min(GetItemCount(), top + GetCountPerPage()) - 1;
  if (last < top) return;
  HWND hdr = GetHeaderHwnd();
  const int columns = hdr != nullptr ? Header_GetItemCount(hdr) : 0;
  HIMAGELIST small = GetImageList(LVSIL_SMALL);
  // The rows of a report differ only in their height: the cells are
  // measured on the first row shown, once a paint (each question to the
  // list costs Wine several trips to its server).
  RECT firstRow{};
  GetItemRect(top, &firstRow, LVIR_BOUNDS);
  const int rowStep = firstRow.bottom - firstRow.top;
  std::vector<RECT> labels(static_cast<size_t>(columns));
  std::vector<UINT> alignments(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    RECT& label = labels[static_cast<size_t>(c)];
    if (c == 0) {
      GetItemRect(top, &label, LVIR_LABEL);
    } else {
      GetSubItemRect(top, c, LVIR_LABEL, &label);
    }
    alignments[static_cast<size_t>(c)] = CellAlignment(c);
  }

  fw::UniquePen dotted(CreatePen(PS_DOT, 1, selectionLineColor));
  fw::SaveDcGuard saved(dc);  // ends first: the pen is deselected before it goes
  SetTextColor(dc, textColor);
  SetBkMode(dc, TRANSPARENT);
  const DpiScale scale = SkinDpi(m_hWnd);
  SelectObject(dc, ScaledFont(font, scale));
  SelectObject(dc, dotted.get());
  for (int i = top; i <= last; ++i) {
    const int dy = (i - top) * rowStep;
    RECT bounds = firstRow;
    OffsetRect(&bounds, 0, dy);
    if (GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) {
      RECT fill = bounds;
      fill.right += 1000;
      FillSolid(dc, fill, selectionColor);
      fw::Line(dc, bounds.left, bounds.top, fill.right, bounds.top);
      fw::Line(dc, bounds.left, bounds.bottom - 1, fill.right, bounds.bottom - 1);
    }
    for (int c = 0; c < columns; ++c) {
      if (c == 0 && small != nullptr) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        ListView_GetItem(m_hWnd, &item);
        RECT icon{};
        GetItemRect(i, &icon, LVIR_ICON);
        ImageList_Draw(small, item.iImage, dc, icon.left, icon.top, ILD_TRANSPARENT);
      }
      const std::wstring text = CellText(i, c);
      RECT label = labels[static_cast<size_t>(c)];
      OffsetRect(&label, 0, dy);
      label.left += scale.Scale(3);
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
                alignments[static_cast<size_t>(c)] | DT_END_ELLIPSIS | DT_NOPREFIX |
                    DT_SINGLELINE | DT_VCENTER);
    }
  }
}

// ---- mouse ----

BOOL vek_SkinList::OnMouseWheel(UINT flags, short delta, POINT pt) {
  if (!noVBar) {
    if (delta <= 0) {
      vBar.LineForward();
    } else {
      vBar.LineBack();
    }
  }
  return TRUE;
}

void vek_SkinList::OnLButtonDown(UINT flags, POINT pt) {
  const int hit = HitTest(pt);
  if (hit < 0 || hit == GetNextSelected(-1)) return;
  SetItemState(-1, 0, LVIS_SELECTED);
  SetItemState(hit, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Invalidate(true);
  UpdateWindow();
}

void vek_SkinList::OnDpiChanged(const DpiScale& old, const DpiScale& scale) {
  if (m_hWnd == nullptr || old == scale) return;
  // The dialog has placed the list at its full size again: room for the
  // bars at the new thickness, the columns and rows measured anew.
  HWND hdr = GetHeaderHwnd();
  const int columns = hdr != nullptr ? Header_GetItemCount(hdr) : 0;
  for (int c = 0; c < columns; ++c) {
    ListView_SetColumnWidth(m_hWnd, c, MulDiv(GetColumnWidth(c), scale.Dpi(), old.Dpi()));
  }
  rowHeight = 0;
  vBarShown = FALSE;
  ResizeBy(-Bar(), -Bar());
  UpdateScrollBar(0);
  UpdateScrollBar(1);
  PlaceScrollBars();
  Invalidate(true);
}
