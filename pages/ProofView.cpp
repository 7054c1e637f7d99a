// A text page's proofreading: the places of the result, counted beside
// Start, visited with F8 / Shift+F8 or the two buttons, each with a menu
// of its candidates and a way to make a choice permanent.
#include <memory>
#include <string>

#include "fw/MessageBox.h"
#include "pages/PageIds.h"
#include "pages/ProofWordDlg.h"
#include "pages/TConvView.h"
#include "pages/UserWords.h"

namespace {

struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

constexpr UINT kFirstCandidate = 100;
constexpr UINT kRemember = 99;

// "髮\t頭髮、白髮": the hints stand in the menu's right column.
std::wstring CandidateLabel(const TextCandidate& candidate) {
  std::wstring label = candidate.text;
  for (size_t i = 0; i < candidate.hints.size(); ++i) {
    label += (i == 0 ? L"\t" : L"、") + candidate.hints[i];
  }
  return label;
}

}  // namespace

void CTConvView::ShowProofCount() {
  const int count = resultEdit.marks.Count();
  proofCount.SetWindowText(count > 0 ? std::to_wstring(count) + L" 处一对多, 请校对" : std::wstring());
  for (vek_SkinTextBtn* b : {&proofPrev, &proofNext}) ::ShowWindow(b->m_hWnd, count > 0 ? SW_SHOW : SW_HIDE);
  if (proofCount.m_hWnd) proofCount.Invalidate(true);
}

void CTConvView::MoveToPlace(bool forward) {
  const int caret = resultEdit.Caret();
  const int index = forward ? resultEdit.marks.Next(caret) : resultEdit.marks.Previous(caret);
  resultEdit.SelectMark(index);
}

bool CTConvView::PreTranslateMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_F8 || !IsWindowEnabled(m_hWnd)) return false;
  MoveToPlace(GetKeyState(VK_SHIFT) >= 0);
  return true;
}

bool CTConvView::OnProofCommand(WPARAM wp) {
  const WORD id = LOWORD(wp), code = HIWORD(wp);
  if ((id == IDC_PROOF_NEXT || id == IDC_PROOF_PREV) && code == BN_CLICKED) {
    MoveToPlace(id == IDC_PROOF_NEXT);
    return true;
  }
  if (id != IDC_RESULT_EDIT && id != IDC_SOURCE_EDIT) return false;
  switch (code) {
    case PROOF_NEXT: MoveToPlace(true); return true;
    case PROOF_PREVIOUS: MoveToPlace(false); return true;
    case PROOF_MARKS_CHANGED: ShowProofCount(); return true;
    case PROOF_MARK_MENU:
      if (id == IDC_RESULT_EDIT) ShowPlaceMenu(resultEdit.markForMenu);
      return true;
    default: return false;
  }
}

void CTConvView::ShowPlaceMenu(int index) {
  if (index < 0 || index >= resultEdit.marks.Count()) return;
  const TextPlace place = resultEdit.marks.Places()[static_cast<size_t>(index)];
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (size_t i = 0; i < place.candidates.size(); ++i) {
    AppendMenuW(menu.get(), MF_STRING | (i == 0 ? MF_CHECKED : 0), kFirstCandidate + i,
                CandidateLabel(place.candidates[i]).c_str());
  }
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, kRemember, L"以后都这样转换…");
  resultEdit.SelectMark(index);
  const POINT at = resultEdit.MenuPoint(index);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd,
      nullptr));
  if (chosen >= kFirstCandidate && chosen < kFirstCandidate + place.candidates.size()) {
    resultEdit.ReplaceMark(index, place.candidates[chosen - kFirstCandidate].text);
  } else if (chosen == kRemember) {
    RememberPlace(index);
  }
}

void CTConvView::RememberPlace(int index) {
  if (index < 0 || index >= resultEdit.marks.Count()) return;
  const TextPlace place = resultEdit.marks.Places()[static_cast<size_t>(index)];
  const std::wstring resultText = resultEdit.Text();
  const std::wstring shown = resultText.substr(static_cast<size_t>(place.start), static_cast<size_t>(place.length));
  const WordProposal word = ProposeWord(sourceEdit.Text(), resultText, place, shown);
  CProofWordDlg dialog(this, word.source, word.result);
  if (dialog.DoModal() != IDOK) return;
  const std::wstring path = WordListPath(SettingsStore(), direction);
  if (!AddWordListEntry(path, direction, dialog.source, dialog.result)) {
    fw::AppMessageBox(m_hWnd, L"无法写入自定义词汇文件：\n" + path, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // The entry decides the place from now on, and here too when it is the
  // word proposed: its result takes the word's place.
  if (dialog.source == word.source) {
    resultEdit.ReplaceMark(index, shown);
    resultEdit.SetSel(word.resultStart, word.resultStart + word.resultLength);
    resultEdit.ReplaceSel(dialog.result.c_str());
  } else {
    resultEdit.ReplaceMark(index, shown);
  }
}
