#pragma once
// CConvView: a page that runs conversion jobs. It joins the page base with
// the worker machinery; the worker's WM_CONV_NOTIFY reaches OnJobMessage
// on the user interface thread.
#include "engine/ConvWorker.h"
#include "pages/SubView.h"

class CConvView : public CSubView, public ConvWorker {
 public:
  CConvView(UINT templateId, fw::CWnd* parent) : CSubView(templateId, parent) {}

  HWND JobWindow() const override { return m_hWnd; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
