#pragma once
// The framework's control classes: thin typed views of the system
// controls, bound to a template's control by DDX_Control or created with
// Create. They add only the calls the program makes.
#include <windows.h>
#include <commctrl.h>

#include "fw/Wnd.h"

namespace fw {

class CButton : public CWnd {
 public:
  bool Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"BUTTON", text, style, rect, parent, id);
  }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetButtonStyle(UINT style, bool redraw = true) {
    SendMessage(BM_SETSTYLE, style, redraw ? TRUE : FALSE);
  }
};

class CStatic : public CWnd {
 public:
  bool Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF) {
    return CreateEx(0, L"STATIC", text, style, rect, parent, id);
  }
  bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id = 0xFFFF) {
    return CreateEx(0, L"STATIC", text, style, rect, parent, id);
  }
};

class CEdit : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"EDIT", L"", style, rect, parent, id);
  }
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, start, end); }
  void ReplaceSel(const wchar_t* text) {
    SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  void LimitText(int max) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(max)); }
};

class CComboBox : public CWnd {
 public:
  int AddString(const wchar_t* text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  CString GetLBText(int index) const;
};

class CListBox : public CWnd {
 public:
  int AddString(const wchar_t* text) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  CString GetText(int index) const;
};

class CHeaderCtrl : public CWnd {
 public:
  int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
  bool GetItemRect(int index, RECT* rc) const {
    return SendMessage(HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rc)) != 0;
  }
};

class CListCtrl : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, WC_LISTVIEWW, L"", style, rect, parent, id);
  }
  bool CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::CreateEx(exStyle, WC_LISTVIEWW, L"", style, rect, parent, id);
  }
  using CWnd::CreateEx;

  HWND GetHeaderHwnd() const { return ListView_GetHeader(m_hWnd); }
  int GetItemCount() const { return ListView_GetItemCount(m_hWnd); }
  int GetTopIndex() const { return ListView_GetTopIndex(m_hWnd); }
  int GetCountPerPage() const { return ListView_GetCountPerPage(m_hWnd); }
  int GetColumnWidth(int col) const { return ListView_GetColumnWidth(m_hWnd, col); }
  bool GetItemRect(int item, RECT* rc, int code) const {
    return ListView_GetItemRect(m_hWnd, item, rc, code) != FALSE;
  }
  bool GetSubItemRect(int item, int sub, int code, RECT* rc) const {
    return ListView_GetSubItemRect(m_hWnd, item, sub, code, rc) != FALSE;
  }
  UINT GetItemState(int item, UINT mask) const { return ListView_GetItemState(m_hWnd, item, mask); }
  void SetItemState(int item, UINT state, UINT mask) {
    ListView_SetItemState(m_hWnd, item, state, mask);
  }
  int InsertColumn(int col, const wchar_t* heading, int format, int width);
  int InsertItem(int item, const wchar_t* text, int image = -1);
  bool SetItemText(int item, int sub, const wchar_t* text);
  CString GetItemText(int item, int sub) const;
  bool DeleteItem(int item) { return ListView_DeleteItem(m_hWnd, item) != FALSE; }
  bool DeleteAllItems() { return ListView_DeleteAllItems(m_hWnd) != FALSE; }
  HIMAGELIST SetImageList(HIMAGELIST list, int which) {
    return ListView_SetImageList(m_hWnd, list, which);
  }
  HIMAGELIST GetImageList(int which) const { return ListView_GetImageList(m_hWnd, which); }
  int HitTest(POINT pt) const;
  DWORD SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(ListView_SetExtendedListViewStyle(m_hWnd, style));
  }
  DWORD GetExtendedStyle() const {
    return static_cast<DWORD>(ListView_GetExtendedListViewStyle(m_hWnd));
  }
  // Index of the first selected row, -1 when none.
  int GetNextSelected(int after = -1) const {
    return ListView_GetNextItem(m_hWnd, after, LVNI_SELECTED);
  }
};

}  // namespace fw
