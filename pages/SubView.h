#pragma once
// CSubView: the base of every page of the main window. It knows its place
// in the main window's page table and offers the three navigation hooks
// the main window calls when it switches pages.
#include "skin/SkinDlg.h"

class CSubView : public vek_SubView {
 public:
  CSubView(UINT templateId, fw::CWnd* parent) : vek_SubView(templateId, parent) {}

  // Position 0..4 in the main window's page table; set when the main
  // window creates its pages.
  int pageIndex = 0;

  // On the page switched to, after every switch; `from` is the page shown
  // before (may be this page itself).
  virtual int OnEnterPage(CSubView* from, int arg) { return 0; }
  // On the page returned to by Back.
  virtual int OnReturnToPage() { return 0; }
  // Asked before Back leaves the page; false keeps it.
  virtual BOOL CanLeavePage() { return TRUE; }
};
