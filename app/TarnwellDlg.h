#pragma once
// CTarnwellDlg: the program's one top-level window. Below its title band it
// hosts five pages and shows one at a time: the entrance, two text pages
// and two file pages. Back returns to the page a conversion page was
// reached from; the caption carries menu, minimise and close buttons.
#include <array>
#include <deque>
#include <memory>

#include "clipconv/ClipboardService.h"
#include "engine/ConvWarmUp.h"
#include "pages/SubView.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinDlg.h"

constexpr int PAGE_COUNT = 5;

class CTarnwellDlg : public vek_SkinDlg {
 public:
  explicit CTarnwellDlg(fw::CWnd* parent = nullptr);
  ~CTarnwellDlg() override;

  // Shows pages[index] in place of `from` and remembers `from` for Back.
  void SwitchToPage(CSubView* from, int index);
  // Back: returns to the last page remembered.
  void GoBack();

  // The page, made on first use: only the entrance is made as the window
  // opens (making the four others took over half of the start-up). Null
  // for a page that could not be made.
  CSubView* Page(int index);
  // The page if it was made already, else null; makes nothing.
  CSubView* MadePage(int index) const {
    return index >= 0 && index < PAGE_COUNT && pages[index] && pages[index]->m_hWnd != nullptr
               ? pages[index].get()
               : nullptr;
  }
  int CurrentPage() const { return currentPage; }
  size_t HistoryDepth() const { return pageHistory.size(); }
  // The hotkeys and the notification-area icon; null until the window has
  // shown (they start after it, so as not to delay it) or when they could
  // not start.
  ClipboardService* Clipboard() const { return clipboard_.get(); }

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  CtrlSkinTable SkinTable() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDpiChanged(const DpiScale& old, const DpiScale& scale) override;
  void OnPaint() override;

 private:
  void CreatePages();
  bool MakePage(int index);
  void ShowPopupMenu();
  void RunAboutBox();
  void ShowBackButton();
  // Queues the files handed to the program on their file pages, or waits
  // (polling) while a conversion or a modal dialog holds the window.
  void QueueHandedFiles();
  // Starts the hotkeys and the icon once the window is on screen.
  void StartClipboardService();
  // The close button: hides the window while the icon stays, when the
  // user chose so; ends the program otherwise.
  void CloseOrHide();
  // 打开主窗口 (the icon's menu or a double-click).
  void ShowFromTray();
  // 退出 (the icon's menu); with a dialog of ours open, the window comes
  // forward instead, so that the dialog is finished first.
  void ExitFromTray();

  std::deque<CSubView*> pageHistory;  // pages to go back to (a stack)
  std::array<std::unique_ptr<CSubView>, PAGE_COUNT> pages;
  int currentPage = 0;
  vek_SkinSysBtn menuButton;      // 1011
  vek_SkinSysBtn minimiseButton;  // 1012
  vek_SkinSysBtn closeButton;     // 1013
  vek_SkinBtn backButton;         // 1010
  vek_SkinBtn settingButton;      // 1007
  HICON icon;
  // The conversions built in the background once the window shows.
  ConvWarmUp warmUp_;
  bool warmUpArmed_ = false;  // its timer set, at the first showing
  bool pagesPending_ = false;  // pages still to be made, one a tick while enabled
  std::unique_ptr<ClipboardService> clipboard_;
};
