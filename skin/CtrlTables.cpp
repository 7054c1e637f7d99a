#include "skin/CtrlTables.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "skin/SkinBtn.h"
#include "skin/SkinColor.h"
#include "skin/SkinRes.h"

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

void ApplyCtrlImages(CtrlSkinTable table, vek_IResMgr* resMgr, const DpiScale& scale) {
  if (resMgr == nullptr) return;
  ForEachRecord(table, [&](const CtrlSkinItem& item) {
    vek_SkinBtn* button = (item.flags & CTRLSKIN_IMAGE) ? AsSkinBtn(item.control) : nullptr;
    if (button == nullptr) return;
    HBITMAP handle = nullptr;
    if (scale.IsBase()) {
      HANDLE loaded = nullptr;
      resMgr->LoadRes(item.imageId, item.imageId >> 28, &loaded);
      handle = static_cast<HBITMAP>(loaded);
    } else {
      handle = LoadSkinBitmapFor(resMgr, item.imageId, scale);
    }
    button->stretchImage = FALSE;
    button->image.Attach(handle);
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
  ApplyCtrlLayout(dialog, std::move(table), SkinDpi(dialog));
}

void ApplyCtrlLayout(HWND dialog, CtrlSkinTable table, const DpiScale& scale) {
  RECT client{};
  GetClientRect(dialog, &client);
  int width = client.right - client.left;
  int height = client.bottom - client.top;
  ForEachRecord(table, [&](const CtrlSkinItem& item) {
    if (!(item.flags & CTRLSKIN_POS) || item.control == nullptr) return;
    HWND ctl = item.control->m_hWnd;
    if (ctl == nullptr) return;
    const int sx = scale.Scale(item.x), sy = scale.Scale(item.y);
    int x = sx < 0 ? sx + width : sx;
    int y = sy < 0 ? sy + height : sy;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!(item.flags & CTRLSKIN_SIZE)) flags |= SWP_NOSIZE;
    SetWindowPos(ctl, nullptr, x, y, scale.Scale(item.cx), scale.Scale(item.cy), flags);
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

namespace {

// The size of the tool record the classic common controls accept: the
// longer record of the newer controls is refused by them.
TOOLINFOW TipRecord(HWND dialog, UINT_PTR tool) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog;
  info.uId = tool;
  return info;
}

constexpr UINT_PTR kTipOwnerSubclass = 0x7469;  // "ti"
constexpr wchar_t kTipListProp[] = L"Tarnwell.TipList";

// A dialog that gave tools to the shared tooltip takes them back when it is
// destroyed (its controls still exist then), so that the tooltip does not
// grow for the life of the process.
LRESULT CALLBACK TipOwnerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR data) {
  if (msg == WM_DESTROY) {
    auto* tools = reinterpret_cast<std::vector<UINT_PTR>*>(data);
    for (UINT_PTR tool : *tools) {
      TOOLINFOW info = TipRecord(wnd, tool);
      if (IsWindow(g_sharedTooltip))
        SendMessageW(g_sharedTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    RemoveWindowSubclass(wnd, &TipOwnerProc, id);
    RemovePropW(wnd, kTipListProp);
    delete tools;
  }
  return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace

int AddCtrlTips(HWND dialog, vek_IResMgr* resMgr, CtrlTipTable table) {
  if (!IsWindow(g_sharedTooltip) || !IsWindow(dialog)) return 0;
  // The dialog's list of tools, made with its first tools.
  auto* tools = static_cast<std::vector<UINT_PTR>*>(GetPropW(dialog, kTipListProp));
  if (tools == nullptr) {
    auto fresh = std::make_unique<std::vector<UINT_PTR>>();
    if (!SetWindowSubclass(dialog, &TipOwnerProc, kTipOwnerSubclass,
                           reinterpret_cast<DWORD_PTR>(fresh.get()))) {
      return 0;
    }
    if (!SetPropW(dialog, kTipListProp, fresh.get())) {
      RemoveWindowSubclass(dialog, &TipOwnerProc, kTipOwnerSubclass);
      return 0;
    }
    tools = fresh.release();
  }
  int added = 0;
  for (const CtrlTipItem& tip : table) {
    if (tip.marker == CTRLTIP_END) break;
    HWND control = GetDlgItem(dialog, tip.controlId);
    if (control == nullptr) continue;
    wchar_t text[260] = {};
    wchar_t* buffer = text;
    long capacity = 260;
    if (resMgr != nullptr) resMgr->QueryTxt(tip.textId, &buffer, &capacity);
    TOOLINFOW info = TipRecord(dialog, reinterpret_cast<UINT_PTR>(control));
    info.hinst = GetModuleHandleW(nullptr);
    info.lpszText = text;  // the tooltip copies the text
    // A refused tool is simply not there: the control works without it.
    if (!SendMessageW(g_sharedTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) continue;
    tools->push_back(info.uId);
    ++added;
  }
  return added;
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
