#include "fw/Controls.h"

#include <vector>

namespace fw {
namespace {

// Reads an item text whose length is known in advance.
template <class Read>
CString ReadItemText(LRESULT length, Read read) {
  if (length <= 0) return CString();
  std::vector<wchar_t> buf(static_cast<size_t>(length) + 1, L'\0');
  read(buf.data());
  return CString(buf.data());
}

}  // namespace

CString CComboBox::GetLBText(int index) const {
  return ReadItemText(SendMessage(CB_GETLBTEXTLEN, index), [&](wchar_t* buf) {
    SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf));
  });
}

CString CListBox::GetText(int index) const {
  return ReadItemText(SendMessage(LB_GETTEXTLEN, index), [&](wchar_t* buf) {
    SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(buf));
  });
}

int CListCtrl::InsertColumn(int col, const wchar_t* heading, int format, int width) {
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
  c.fmt = format;
  c.cx = width;
  c.pszText = const_cast<wchar_t*>(heading);
  return ListView_InsertColumn(m_hWnd, col, &c);
}

int CListCtrl::InsertItem(int item, const wchar_t* text, int image) {
  LVITEMW it{};
  it.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  it.iItem = item;
  it.pszText = const_cast<wchar_t*>(text);
  it.iImage = image;
  return ListView_InsertItem(m_hWnd, &it);
}

bool CListCtrl::SetItemText(int item, int sub, const wchar_t* text) {
  LVITEMW it{};
  it.iSubItem = sub;
  it.pszText = const_cast<wchar_t*>(text);
  return SendMessage(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&it)) != 0;
}

CString CListCtrl::GetItemText(int item, int sub) const {
  wchar_t buf[260] = {};
  LVITEMW it{};
  it.iSubItem = sub;
  it.pszText = buf;
  it.cchTextMax = 260;
  SendMessage(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&it));
  return CString(buf);
}

int CListCtrl::HitTest(POINT pt) const {
  LVHITTESTINFO info{};
  info.pt = pt;
  return ListView_HitTest(m_hWnd, &info);
}

}  // namespace fw
