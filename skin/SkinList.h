#pragma once
// vek_SkinList: a report list view that paints everything itself (header
// band, rows, a two-line border) and scrolls through two sibling scroll
// bars of the toolkit; vek_SkinHeader paints its header.
#include <windows.h>

#include <memory>
#include <string>

#include "fw/Controls.h"
#include "fw/Gdi.h"
#include "skin/DpiScale.h"
#include "skin/SkinImg.h"
#include "skin/SkinScrollBar.h"

class vek_SkinHeader : public fw::CHeaderCtrl {
 public:
  COLORREF backColor = RGB(20, 142, 195);
  COLORREF textColor = RGB(255, 255, 255);
  COLORREF lineColor = RGB(100, 100, 100);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // not owned

  // Fills the header's client area, cut to `width`, with backColor; returns
  // the header's client height.
  virtual int FillBack(HDC dc, int width);
  // Paints the band and every item's caption and right-hand line.
  virtual void DrawItems(HDC dc, int cx, int cy, int left, int top, int right, int bottom);

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC dc) override { return TRUE; }
};

// Where an owner-data list (LVS_OWNERDATA) finds its cells: the list paints
// its rows from here and answers LVN_GETDISPINFO with them, so that its
// rows live in its owner's memory and any number of them is one count.
class vek_ListCells {
 public:
  // The text of `column` in `row`; empty past the owner's rows.
  virtual std::wstring CellText(int row, int column) const = 0;

 protected:
  ~vek_ListCells() = default;
};

// Settings for InitSkinList; each value counts only with its mask bit.
struct ListSkinCfg {
  int headerMask;  // 1: back, 2: line, 4: text colour
  COLORREF headerBack;
  COLORREF headerLine;
  COLORREF headerText;
  int listMask;  // 1: noBorder, 2: noVBar, 4: noHBar, 8: selectionColor
  BOOL noBorder;
  BOOL noVBar;
  BOOL noHBar;
  COLORREF selectionColor;
};

class vek_SkinList : public fw::CListCtrl, public vek_IScrollObj {
 public:
  vek_SkinList();
  ~vek_SkinList() override;

  int barThickness = 17;  // 96-DPI pixels, like the column widths given
  int hStep = 5;      // pixels per horizontal step
  int hOffset = 0;    // pixels scrolled horizontally
  int rowHeight = 0;  // learned from the first row
  BOOL noBorder = FALSE;
  BOOL noHBar = FALSE;
  BOOL noVBar = FALSE;
  BOOL vBarShown = FALSE;  // the list is narrowed for the vertical bar
  std::unique_ptr<vek_SkinHeader> header;
  vek_SkinHScrollBar hBar;
  vek_SkinVScrollBar vBar;
  COLORREF borderColor = RGB(51, 114, 153);
  COLORREF backColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(87, 117, 159);
  COLORREF selectionLineColor = RGB(58, 110, 165);
  COLORREF selectionColor = RGB(249, 240, 178);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // not owned
  vek_SkinImg backImage;

  virtual std::unique_ptr<vek_SkinHeader> CreateHeader();
  virtual void DeleteHeader(std::unique_ptr<vek_SkinHeader> old) {}
  // Creates the list view and binds it (and its header).
  virtual bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
  virtual bool CreateEx(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id);

  // Once the window exists: makes room for and creates the two bars,
  // applies `cfg` (may be null) and places the bars.
  void InitSkinList(const ListSkinCfg* cfg);
  // The list's dialog was laid out for `scale`, the list placed at its full
  // table size: bars, columns and rows follow.
  void OnDpiChanged(const DpiScale& old, const DpiScale& scale);
  // The bar thickness at the list's scale.
  int Bar() const;
  void UpdateScrollBar(int bar);
  void PlaceScrollBars();
  // An owner-data list's cells (not owned; null: the list's own items).
  void SetCells(const vek_ListCells* cells) { cells_ = cells; }
  // An owner-data list now has `rows` rows: the rows shown keep their
  // place, the bars are measured once (when it shows, for a hidden list).
  void SetRowCount(int rows);
  // Paints `row` again after its cells changed.
  void RedrawRow(int row);

  int QueryRange(int bar) override;
  int QueryPage(int bar) override;
  int QueryPos(int bar) override;
  double QueryRatio(int bar) override;
  void OnScrolled(int code) override;
  int OnScrollHint(int) override { return 0; }

 protected:
  // Paints the visible rows into `dc`.
  virtual void DrawRows(HDC dc);
  // How a cell's text sits in its column (DT_LEFT, DT_CENTER, DT_RIGHT);
  // left here.
  virtual UINT CellAlignment(int column) const { return DT_LEFT; }
  // A cell's text: from the cells given, else the list's own item.
  std::wstring CellText(int row, int column) const;

  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC dc) override { return TRUE; }
  void OnNcPaint(HRGN rgn) override;
  LRESULT OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params) override;
  void OnHScroll(UINT code, UINT pos, HWND bar) override;
  void OnVScroll(UINT code, UINT pos, HWND bar) override;
  BOOL OnMouseWheel(UINT flags, short delta, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnLButtonDblClk(UINT flags, POINT pt) override {}
  void OnRButtonDown(UINT flags, POINT pt) override {}
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override {}
  void OnShowWindow(BOOL show, UINT status) override;

 private:
  struct Extents {
    int totalWidth, visibleWidth, rowHeight, totalHeight, visibleHeight;
  };
  Extents Measure();
  RECT RectInParent() const;
  void CreateBar(vek_SkinScrollBar& bar);
  void ResizeBy(int dx, int dy);
  // LVN_GETDISPINFOW for an owner-data list: the text asked for.
  void AnswerDispInfo(NMLVDISPINFOW& info) const;

  const vek_ListCells* cells_ = nullptr;
};
