#include "pages/ConvView.h"

LRESULT CConvView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONV_NOTIFY) {
    OnJobMessage(wp, lp);
    return 0;
  }
  // The job works on the page's members: it ends before the page goes.
  if (msg == WM_DESTROY && WorkerRecorded()) StopJob();
  return CSubView::WindowProc(msg, wp, lp);
}
