#pragma once
// CProofEdit: a text page's result box that marks the places of the
// result (ProofMarks) with a coloured underline drawn over the skinned
// edit's own painting, and tells its page (WM_COMMAND with the codes
// below, from its id) when a mark is clicked or asked for with the
// context-menu key, when F8 / Shift+F8 is pressed, and when its marks
// changed.
#include <windows.h>

#include "pages/ProofMarks.h"
#include "skin/Palette.h"
#include "skin/SkinEdit.h"

constexpr WORD PROOF_MARK_MENU = 0x7101;  // markForMenu holds the mark
constexpr WORD PROOF_NEXT = 0x7102;
constexpr WORD PROOF_PREVIOUS = 0x7103;
constexpr WORD PROOF_MARKS_CHANGED = 0x7104;

class CProofEdit : public vek_SkinEdit {
 public:
  ProofMarks marks;
  COLORREF markColor = palette::kProofMark;
  int markForMenu = -1;

  // The result's places; the box already shows `text`.
  void SetPlaces(std::vector<TextPlace> places);
  void ClearPlaces();
  // Selects mark `index` and scrolls it into view.
  void SelectMark(int index);
  // Where a menu for mark `index` opens: below its character, on screen.
  POINT MenuPoint(int index) const;
  // Puts `text` in place of mark `index` and drops the mark.
  void ReplaceMark(int index, const std::wstring& text);
  // The caret's position (the selection's start).
  int Caret() const;
  std::wstring Text() const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnPaint() override;
  void OnLButtonUp(UINT flags, POINT pt) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;

 private:
  void Tell(WORD code);
  // The mark whose character the client point `pt` is on, or -1.
  int MarkAtPoint(POINT pt) const;
  // The client rectangle of the character at `pos`: false when it is not
  // shown.
  bool CharRect(int pos, int length, RECT* rect) const;
  int LineHeight() const;
  void DrawMarks();
};
