#include "pages/TConvView.h"

#include <string>
#include <utility>

#include "fw/App.h"
#include "fw/MessageBox.h"
#include "pages/PageIds.h"
#include "pages/PageRes.h"
#include "pages/UserWords.h"
#include "skeldon/ResIds.h"

namespace {

// The edit control's word wrap costs time that grows with the square of a
// line's length: measured under Wine, a line of 20,000 characters took
// 1.2 s to show wrapped and one of 60,000 took 9.8 s (200,000: minutes),
// against 0.2 s and 0.3 s unwrapped. The result box wraps while every line
// is shorter than this, and scrolls sideways otherwise.
constexpr size_t kWrapLineLimit = 10000;

// The length of the text's longest line, in UTF-16 units.
size_t LongestLine(const std::wstring& text) {
  size_t longest = 0, start = 0;
  for (;;) {
    const size_t end = text.find(L'\n', start);
    const size_t length = (end == std::wstring::npos ? text.size() : end) - start;
    if (length > longest) longest = length;
    if (end == std::wstring::npos) return longest;
    start = end + 1;
  }
}

}  // namespace

CTConvView::CTConvView(UINT templateId, fw::CWnd* parent, ConvDirection dir)
    : CConvView(templateId, parent), direction(dir) {
  // The template's two boxes are of this class: known before it is made.
  LongTextEditClass();
  ctrlTextColor = palette::kPageText;
  ctrlBrush.reset(CreateSolidBrush(palette::kPagePanel));
  faceId = BMP_VIEW_TCONV;
}

void CTConvView::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_SOURCE_EDIT, sourceEdit);
  fw::DDX_Control(dx, IDC_RESULT_EDIT, resultEdit);
  fw::DDX_Control(dx, IDOK, convertButton);
  fw::DDX_Control(dx, IDC_STANDARD_LABEL, standardLabel);
  fw::DDX_Control(dx, IDC_PROOF_COUNT, proofCount);
  fw::DDX_Control(dx, IDC_PROOF_PREV, proofPrev);
  fw::DDX_Control(dx, IDC_PROOF_NEXT, proofNext);
}

CtrlSkinTable CTConvView::SkinTable() {
  return CtrlSkinTable{
      {&sourceEdit, 0, 12, 12, 743, 166, 0, 0, CTRLSKIN_POS | CTRLSKIN_SIZE},
      {&resultEdit, 0, 12, 224, 743, 166, 0, 0, CTRLSKIN_POS | CTRLSKIN_SIZE},
      {&convertButton, BMP_BTN_STARTCONV, 333, 404, 0, 0, 0, 0, CTRLSKIN_IMAGE | CTRLSKIN_POS},
      {&standardLabel, 0, 445, 412, 310, 16, palette::kBody, palette::kPageText,
       CTRLSKIN_POS | CTRLSKIN_SIZE | CTRLSKIN_BACK | CTRLSKIN_FORE},
      {&proofCount, 0, 12, 412, 180, 16, palette::kBody, palette::kProofMark,
       CTRLSKIN_POS | CTRLSKIN_SIZE | CTRLSKIN_BACK | CTRLSKIN_FORE},
      {&proofPrev, 0, 196, 408, 64, 24, 0, 0, CTRLSKIN_POS | CTRLSKIN_SIZE},
      {&proofNext, 0, 264, 408, 64, 24, 0, 0, CTRLSKIN_POS | CTRLSKIN_SIZE},
      {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

BOOL CTConvView::OnInitDialog() {
  BindTexts();
  CConvView::OnInitDialog();
  // The page's panels frame the edit boxes: their own border takes the
  // panel's colour.
  for (vek_SkinEdit* e : {&sourceEdit, &resultEdit}) {
    e->borderColor = palette::kPagePanel;
    // The dialog manager turns a template edit's border into a sunken
    // edge; the flat one-pixel border is the one the page is drawn for.
    const LONG_PTR ex = GetWindowLongPtrW(e->m_hWnd, GWL_EXSTYLE);
    if ((ex & WS_EX_CLIENTEDGE) != 0) {
      SetWindowLongPtrW(e->m_hWnd, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
      e->SetWindowPos(nullptr, 0, 0, 0, 0,
                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    // A pasted text may be long: lift the edit box's own 32K default.
    e->LimitText(0);
  }
  AddCtrlTips(m_hWnd, AppResMgr(),
              CtrlTipTable{{TIP_START, IDOK, CTRLTIP_USED}, {0, 0, CTRLTIP_END}});
  ShowStandard();
  ShowProofCount();
  return TRUE;
}

BOOL CTConvView::OnCommand(WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == IDOK && HIWORD(wp) == BN_CLICKED) {
    Convert();
    return TRUE;
  }
  if (OnProofCommand(wp)) return TRUE;
  return CConvView::OnCommand(wp, lp);
}

namespace {

constexpr UINT_PTR kProgressTimer = 0x5450;

}  // namespace

void CTConvView::Convert() {
  UpdateData(true);
  ClosePage(true);
  if (progressDelayMs == 0) ShowProgress();
  if (StartJob() == 0) {
    CloseProgress();
    return;
  }
  // CONV_END removes the display, or the wish for one.
  if (progress.m_hWnd == nullptr) ::SetTimer(m_hWnd, kProgressTimer, progressDelayMs, nullptr);
}

void CTConvView::ClosePage(bool closed) {
  fw::CWnd* mainObj = fw::AfxGetMainWnd();
  const HWND main = mainObj != nullptr ? mainObj->m_hWnd : nullptr;
  if (closed) {
    focusBefore_ = ::GetFocus();
    if (main != nullptr) ::EnableWindow(main, FALSE);
    ::EnableWindow(m_hWnd, FALSE);
    return;
  }
  if (main != nullptr) ::EnableWindow(main, TRUE);
  ::EnableWindow(m_hWnd, TRUE);
  const HWND focus = std::exchange(focusBefore_, nullptr);
  if (focus != nullptr && ::IsWindow(focus) && ::IsWindowVisible(focus) &&
      ::IsWindowEnabled(focus)) {
    ::SetFocus(focus);
  }
}

void CTConvView::ShowProgress() {
  if (progress.m_hWnd != nullptr || !progress.Create(this, PROGRESS_MODE_ANIM)) return;
  progress.ShowOverParent(TRUE);
  // The text job is short: the display alternates between two frames.
  progress.animation.frameCount = 2;
  progress.animation.paused = FALSE;
  progress.animation.Invalidate(true);
  progress.animation.UpdateWindow();
}

LRESULT CTConvView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kProgressTimer) {
    ::KillTimer(m_hWnd, kProgressTimer);
    if (WorkerRecorded()) ShowProgress();
    return 0;
  }
  return CConvView::WindowProc(msg, wp, lp);
}

int CTConvView::StartJob() {
  if (source == nullptr || source->empty()) {
    fw::AppMessageBox(m_hWnd, GetText(TXT_NOTHING_TO_DO), MB_OK);
    return 0;
  }
  job_.source = *source;
  job_.result = result != nullptr ? *result : std::wstring();
  job_.direction = direction;
  job_.window = m_hWnd;
  job_.worker = this;
  return CConvView::StartJob();
}

DWORD CTConvView::RunJob() {
  // Read on the worker: the settings file may be held a while by another
  // copy of the program, and the page must not wait for it.
  job_.options = CurrentConvOptions(SettingsStore(), direction);
  std::int32_t every = 0;
  job_.everyPlace = SettingsStore().ReadValue(CFGKEY_PROOF_EVERY_PLACE, &every, sizeof every) ==
                        sizeof every && every == 1;
  return ConvertText(job_);
}

void CTConvView::OnJobMessage(WPARAM code, LPARAM arg) {
  if (code != CONV_END) return;
  // A worker that had to be terminated may have left the result half
  // written: the lower box then keeps what it showed.
  const bool whole = !LastJobTerminated() && result != nullptr;
  if (whole) *result = std::move(job_.result);
  job_.source.clear();
  job_.source.shrink_to_fit();
  job_.result.clear();
  // Only the lower box changes: the upper one was locked under the display
  // and still holds the source, and putting a long text back into an edit
  // box costs as much as the conversion itself.
  if (result != nullptr) {
    FitResultWrap(LongestLine(*result) < kWrapLineLimit);
    fw::CDataExchange dx{this, false};
    fw::DDX_Text(&dx, IDC_RESULT_EDIT, *result);
  }
  // The places belong to this result only.
  if (whole) {
    resultEdit.SetPlaces(std::move(job_.places));
  } else {
    resultEdit.ClearPlaces();
  }
  job_.places.clear();
  CloseProgress();
  // What kept the conversion from working, said on this thread over the
  // main window.
  const std::string problem = TakeProblem();
  if (!problem.empty()) ShowUtf8Message(problem.c_str(), GetAncestor(m_hWnd, GA_ROOT));
}

bool CTConvView::ResultWraps() const {
  return resultEdit.m_hWnd != nullptr && (resultEdit.GetStyle() & ES_AUTOHSCROLL) == 0;
}

void CTConvView::FitResultWrap(bool wrap) {
  if (resultEdit.m_hWnd == nullptr || ResultWraps() == wrap) return;
  // An edit control wraps or not for its whole life: the box is made anew
  // in its place, with its font, its order among the controls and its text
  // limit, and the other style.
  RECT rect = resultEdit.GetWindowRect();
  MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  const auto style = static_cast<DWORD>(resultEdit.GetStyle());
  const DWORD wrapStyle = wrap ? style & ~static_cast<DWORD>(ES_AUTOHSCROLL | WS_HSCROLL)
                               : style | ES_AUTOHSCROLL | WS_HSCROLL;
  const auto font = static_cast<WPARAM>(resultEdit.SendMessage(WM_GETFONT));
  HWND before = ::GetWindow(resultEdit.m_hWnd, GW_HWNDPREV);
  const bool focused = ::GetFocus() == resultEdit.m_hWnd;
  resultEdit.DestroyWindow();
  if (!resultEdit.Create(wrapStyle, rect, this, IDC_RESULT_EDIT, LongTextEditClass())) return;
  ::SetWindowPos(resultEdit.m_hWnd, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  resultEdit.SendMessage(WM_SETFONT, font, FALSE);
  resultEdit.LimitText(0);
  if (focused) ::SetFocus(resultEdit.m_hWnd);
}

void CTConvView::CloseProgress() {
  ::KillTimer(m_hWnd, kProgressTimer);
  if (progress.m_hWnd != nullptr) {
    progress.ShowOverParent(FALSE);
    progress.DestroyWindow();
  }
  ClosePage(false);
}

CDlgSim2Tra::CDlgSim2Tra(fw::CWnd* parent) : CTConvView(IDD_SIM2TRA, parent, Sim2Tra) {}

void CDlgSim2Tra::BindTexts() {
  source = &sourceText;
  result = &resultText;
}

void CDlgSim2Tra::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Text(dx, IDC_SOURCE_EDIT, sourceText);
  fw::DDX_Text(dx, IDC_RESULT_EDIT, resultText);
  CTConvView::DoDataExchange(dx);
}

CDlgTra2Sim::CDlgTra2Sim(fw::CWnd* parent) : CTConvView(IDD_TRA2SIM, parent, Tra2Sim) {}

void CDlgTra2Sim::BindTexts() {
  source = &sourceText;
  result = &resultText;
}

void CDlgTra2Sim::DoDataExchange(fw::CDataExchange* dx) {
  fw::DDX_Text(dx, IDC_SOURCE_EDIT, sourceText);
  fw::DDX_Text(dx, IDC_RESULT_EDIT, resultText);
  CTConvView::DoDataExchange(dx);
}
