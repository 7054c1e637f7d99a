#pragma once
// CTConvView: a text page. Convert takes the upper edit box's text, closes
// the page to the user and converts the text on the page's worker; the
// progress display in its animation mode covers the page only once the job
// has run for a moment (a short text is converted before the eye would
// notice it, and before the display could be drawn). CONV_END puts the
// result into the lower edit box and opens the page again. The two concrete pages differ only in
// their template, their direction and the strings they bind.
#include <string>

#include "engine/ConvDirection.h"
#include "engine/ConvertText.h"
#include "pages/ConvView.h"
#include "pages/DlgProgress.h"
#include "pages/ProofEdit.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"
#include "skin/SkinEdit.h"
#include "skin/SkinStatic.h"
#include "skin/SkinTextBtn.h"

class CTConvView : public CConvView {
 public:
  CTConvView(UINT templateId, fw::CWnd* parent, ConvDirection dir);

  ConvDirection direction;
  std::wstring* source = nullptr;  // the concrete page's source text
  std::wstring* result = nullptr;  // the concrete page's result text
  CDlgProgress progress;

  // The page's controls, the same on both text pages. Both boxes take
  // F8; the lower one marks the places of its result.
  CProofEdit sourceEdit;       // 1005
  CProofEdit resultEdit;       // 1006
  vek_SkinBtn convertButton;   // IDOK
  vek_SkinStatic proofCount;   // "3 处一对多, 请校对" beside Start
  vek_SkinTextBtn proofPrev;   // and the two buttons between the places
  vek_SkinTextBtn proofNext;

  // Points source and result at the concrete page's two strings.
  virtual void BindTexts() = 0;

  DWORD RunJob() override;
  void OnJobMessage(WPARAM code, LPARAM arg) override;
  // Refuses an empty source text with a message, else starts the worker.
  int StartJob() override;

  // The Convert button, on the user interface thread up to the start of
  // the worker.
  void Convert();

  // Whether the result box wraps its lines: it does unless the result has
  // a line too long to wrap in good time, which it shows unwrapped.
  bool ResultWraps() const;
  // Makes the result box wrap its lines or scroll sideways; the box is
  // made anew in its place when that changes.
  void FitResultWrap(bool wrap);

  // How long a job runs before the progress display covers the page; 0
  // shows it at once.
  UINT progressDelayMs = 400;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  CtrlSkinTable SkinTable() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // F8 / Shift+F8 anywhere on the page move between the places.
  bool PreTranslateMessage(const MSG& msg) override;

 private:
  // Closes the page and the main window to the user while a job runs, or
  // opens them again and gives the keyboard focus back.
  void ClosePage(bool closed);
  // Covers the page with the progress display.
  void ShowProgress();
  // Removes the progress display, if it came, and opens the page again.
  void CloseProgress();
  // Proofreading (ProofView.cpp): the count line and its buttons, the move
  // to the next or previous place, the menu of a place and its word list
  // entry.
  void ShowProofCount();
  void MoveToPlace(bool forward);
  void ShowPlaceMenu(int index);
  void RememberPlace(int index);
  bool OnProofCommand(WPARAM wp);

  // Where the keyboard focus was when the page was closed.
  HWND focusBefore_ = nullptr;

  // What the worker reads and writes: filled from the source text before
  // the start, read back into the result text after CONV_END.
  TextJob job_;
};

// Simplified to Traditional: template 130, page 1.
class CDlgSim2Tra : public CTConvView {
 public:
  explicit CDlgSim2Tra(fw::CWnd* parent = nullptr);
  std::wstring sourceText;
  std::wstring resultText;
  void BindTexts() override;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
};

// Traditional to Simplified: template 129, page 2.
class CDlgTra2Sim : public CTConvView {
 public:
  explicit CDlgTra2Sim(fw::CWnd* parent = nullptr);
  std::wstring sourceText;
  std::wstring resultText;
  void BindTexts() override;

 protected:
  void DoDataExchange(fw::CDataExchange* dx) override;
};
