#pragma once
// CConvView: a page that runs conversion jobs. It joins the page base with
// the worker machinery; the worker's WM_CONV_NOTIFY reaches OnJobMessage
// on the user interface thread.
#include "config/CfgStore.h"
#include "engine/ConvWorker.h"
#include "pages/PageIds.h"
#include "pages/SubView.h"
#include "skin/SkinStatic.h"

// Sent to the main window's children when the user changed the standard in
// the settings (a registered message: no other window takes it for its own).
UINT StandardChangedMessage();

class CConvView : public CSubView, public ConvWorker {
 public:
  CConvView(UINT templateId, fw::CWnd* parent) : CSubView(templateId, parent) {}

  HWND JobWindow() const override { return m_hWnd; }

  // The standard in use, beside the Start button.
  vek_SkinStatic standardLabel;
  // Shows the stored standard; on entering the page and after the settings
  // changed it.
  void ShowStandard();
  int OnEnterPage(CSubView* from, int arg) override;
  // The settings the page reads.
  virtual CfgStore& SettingsStore() { return CfgStore::Instance(); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
