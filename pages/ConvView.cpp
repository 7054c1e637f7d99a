#include "pages/ConvView.h"

LRESULT CConvView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONV_NOTIFY) {
    OnJobMessage(wp, lp);
    return 0;
  }
  return CSubView::WindowProc(msg, wp, lp);
}
