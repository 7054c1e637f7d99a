#include "skin/CtrlTables.h"

#include <commctrl.h>

#include "skin/SkinBtn.h"
#include "skin/SkinColor.h"

namespace {

HWND g_sharedTooltip = nullptr;

// The records in use: those before an end marker.
template <class Table, class Fn>
void ForEachRecord(const Table& table, Fn fn) {
  for (const CtrlSkinItem& item : table) {
    if (item.flags == CTRLSKIN_END) break;
    fn(item);
  }
}

vek_SkinBtn* AsSkinBtn(fw::CWnd* control) { return dynamic_cast<vek_SkinBtn*>(control); }

}  // namespace

void ApplyCtrlImages(CtrlSkinTable table, vek_IResMgr* resMgr) {
  if (resMgr == nullptr) return;
  ForEachRecord(table, [&](const CtrlSkinItem& item) {
    vek_SkinBtn* button = (item.flags & CTRLSKIN_IMAGE) ? AsSkinBtn(item.control) : nullptr;
    if (button == nullptr) return;
    HANDLE handle = nullptr;
    resMgr->LoadRes(item.imageId, item.imageId >> 28, &handle);
    button->stretchImage = FALSE;
    button->image.Attach(static_cast<HBITMAP>(handle));
    button->SizeToFrame();
    if (button->m_hWnd != nullptr) InvalidateRect(button->m_hWnd, nullptr, FALSE);
  });
}

void ReleaseCtrlImages(CtrlSkinTable table, vek_IResMgr* resMgr) {
  ForEachRecord(table, [&](const CtrlSkinItem& item) {
    vek_SkinBtn* button = (item.flags & CTRLSKIN_IMAGE) ? AsSkinBtn(item.control) : nullptr;
    if (button == nullptr) return;
    HBITMAP bitmap = button->image.Detach();
    if (resMgr != nullptr) {
      resMgr->FreeRes(bitmap);
    } else if (bitmap != nullptr) {
      DeleteObject(bitmap);
    }
  });
}

void ApplyCtrlLayout(HWND dialog, CtrlSkinTable table) {
  RECT client{};
  GetClientRect(dialog, &client);
  int width = client.right - client.left;
  int height = client.bottom - client.top;
  ForEachRecord(table, [&](const CtrlSkinItem& item) {
    if (!(item.flags & CTRLSKIN_POS) || item.control == nullptr) return;
    HWND ctl = item.control->m_hWnd;
    if (ctl == nullptr) return;
    int x = item.x < 0 ? item.x + width : item.x;
    int y = item.y < 0 ? item.y + height : item.y;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!(item.flags & CTRLSKIN_SIZE)) flags |= SWP_NOSIZE;
    SetWindowPos(ctl, nullptr, x, y, item.cx, item.cy, flags);
  });
}

void ApplyCtrlBackColors(CtrlSkinTable table) {
  ForEachRecord(table, [](const CtrlSkinItem& item) {
    if (!(item.flags & CTRLSKIN_BACK)) return;
    if (auto* colour = dynamic_cast<vek_ISkinColor*>(item.control)) colour->SetBackColor(item.back);
  });
}

void ApplyCtrlForeColors(CtrlSkinTable table) {
  ForEachRecord(table, [](const CtrlSkinItem& item) {
    if (!(item.flags & CTRLSKIN_FORE)) return;
    if (auto* colour = dynamic_cast<vek_ISkinColor*>(item.control)) colour->SetForeColor(item.fore);
  });
}

void AddCtrlTips(HWND dialog, vek_IResMgr* resMgr, CtrlTipTable table) {
  for (const CtrlTipItem& tip : table) {
    if (tip.marker == CTRLTIP_END) break;
    wchar_t text[260] = {};
    wchar_t* buffer = text;
    long capacity = 260;
    if (resMgr != nullptr) resMgr->QueryTxt(tip.textId, &buffer, &capacity);
    TOOLINFOW info{};
    info.cbSize = sizeof(TOOLINFOW);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = dialog;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tip.controlId));
    info.hinst = GetModuleHandleW(nullptr);
    info.lpszText = text;  // the tooltip copies the text
    SendMessageW(g_sharedTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

HWND SharedTooltip() { return g_sharedTooltip; }

void SetSharedTooltip(HWND tooltip) { g_sharedTooltip = tooltip; }

HWND CreateSharedTooltip() {
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tip != nullptr) {
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
  }
  g_sharedTooltip = tip;
  return tip;
}
