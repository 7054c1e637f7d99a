#include "pages/ProofEdit.h"

#include <algorithm>

#include "fw/Gdi.h"
#include "skin/DpiScale.h"

void CProofEdit::SetPlaces(std::vector<TextPlace> places) {
  marks.Reset(std::move(places), Text());
  Invalidate(false);
  Tell(PROOF_MARKS_CHANGED);
}

void CProofEdit::ClearPlaces() {
  if (marks.Count() == 0) return;
  marks.Reset({}, Text());
  Invalidate(false);
  Tell(PROOF_MARKS_CHANGED);
}

std::wstring CProofEdit::Text() const { return m_hWnd ? GetWindowText() : std::wstring(); }

int CProofEdit::Caret() const {
  DWORD start = 0, end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void CProofEdit::SelectMark(int index) {
  if (index < 0 || index >= marks.Count()) return;
  const TextPlace& place = marks.Places()[static_cast<size_t>(index)];
  ::SetFocus(m_hWnd);
  SetSel(place.start, place.start + place.length);
  SendMessage(EM_SCROLLCARET);
  Invalidate(false);
}

void CProofEdit::ReplaceMark(int index, const std::wstring& text) {
  if (index < 0 || index >= marks.Count()) return;
  const TextPlace place = marks.Places()[static_cast<size_t>(index)];
  marks.Remove(index);  // chosen: no longer a question, even when unchanged
  SetSel(place.start, place.start + place.length);
  ReplaceSel(text.c_str());  // EN_CHANGE moves the marks after it
  SetSel(place.start, place.start + static_cast<int>(text.size()));
  Invalidate(false);
  Tell(PROOF_MARKS_CHANGED);
}

void CProofEdit::Tell(WORD code) {
  HWND parent = ::GetParent(m_hWnd);
  if (parent != nullptr) {
    ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), code),
                 reinterpret_cast<LPARAM>(m_hWnd));
  }
}

bool CProofEdit::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE && marks.Count() > 0) {
    const int before = marks.Count();
    marks.FollowEdit(Text());
    Invalidate(false);
    if (marks.Count() != before) Tell(PROOF_MARKS_CHANGED);
  }
  if (msg == WM_COMMAND && (HIWORD(wp) >= PROOF_MARK_MENU && HIWORD(wp) <= PROOF_MARKS_CHANGED)) {
    return false;  // ours, for the page
  }
  return vek_SkinEdit::OnChildNotify(msg, wp, lp, result);
}

LRESULT CProofEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONTEXTMENU && marks.Count() > 0) {
    int mark = -1;
    if (lp == -1) {  // the context-menu key: the mark at the caret or just before it
      const int caret = Caret();
      mark = marks.At(caret);
      if (mark < 0 && caret > 0) mark = marks.At(caret - 1);
    } else {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ::ScreenToClient(m_hWnd, &pt);
      mark = MarkAtPoint(pt);
    }
    if (mark >= 0) {
      markForMenu = mark;
      Tell(PROOF_MARK_MENU);
      return 0;
    }
  }
  if (msg == WM_SETTEXT && marks.Count() > 0) {
    // A text put in from outside: the marks follow it as they follow an
    // edit (a box may say nothing of such a change).
    LRESULT r = vek_SkinEdit::WindowProc(msg, wp, lp);
    const int before = marks.Count();
    marks.FollowEdit(Text());
    Invalidate(false);
    if (marks.Count() != before) Tell(PROOF_MARKS_CHANGED);
    return r;
  }
  if (msg == WM_MOUSEWHEEL || msg == WM_VSCROLL || msg == WM_KEYUP) {
    // The edit scrolls and redraws lines itself; the marks come back after.
    LRESULT r = vek_SkinEdit::WindowProc(msg, wp, lp);
    if (marks.Count() > 0) Invalidate(false);
    return r;
  }
  return vek_SkinEdit::WindowProc(msg, wp, lp);
}

void CProofEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_F8) {
    Tell(GetKeyState(VK_SHIFT) < 0 ? PROOF_PREVIOUS : PROOF_NEXT);
    return;
  }
  Default();
}

void CProofEdit::OnLButtonUp(UINT flags, POINT pt) {
  Default();
  if (marks.Count() == 0) return;
  DWORD start = 0, end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  Invalidate(false);
  if (start != end) return;  // a selection was dragged, not a click
  const int mark = MarkAtPoint(pt);
  if (mark < 0) return;
  markForMenu = mark;
  Tell(PROOF_MARK_MENU);
}

int CProofEdit::LineHeight() const {
  HDC dc = GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(m_hWnd, dc);
  return tm.tmHeight > 0 ? tm.tmHeight : 16;
}

bool CProofEdit::CharRect(int pos, int length, RECT* rect) const {
  const LRESULT at = SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(pos));
  if (at == -1) return false;
  const int x = static_cast<short>(LOWORD(at)), y = static_cast<short>(HIWORD(at));
  const std::wstring text = marks.Text().substr(static_cast<size_t>(pos), static_cast<size_t>(length));
  HDC dc = GetDC(m_hWnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(m_hWnd, dc);
  *rect = RECT{x, y, x + size.cx, y + tm.tmHeight};
  return true;
}

int CProofEdit::MarkAtPoint(POINT pt) const {
  // A click puts the caret at the nearer edge of the character clicked:
  // the mark is the one before or after it whose box holds the point.
  const int caret = Caret();
  for (int pos : {caret - 1, caret}) {
    const int mark = pos >= 0 ? marks.At(pos) : -1;
    if (mark < 0) continue;
    const TextPlace& place = marks.Places()[static_cast<size_t>(mark)];
    RECT rect;
    if (CharRect(place.start, place.length, &rect) && PtInRect(&rect, pt)) return mark;
  }
  return -1;
}

POINT CProofEdit::MenuPoint(int index) const {
  POINT pt{0, 0};
  RECT rect;
  if (index >= 0 && index < marks.Count()) {
    const TextPlace& place = marks.Places()[static_cast<size_t>(index)];
    if (CharRect(place.start, place.length, &rect)) pt = POINT{rect.left, rect.bottom};
  }
  ::ClientToScreen(m_hWnd, &pt);
  return pt;
}

void CProofEdit::OnPaint() {
  Default();
  // The box keeps its device context (LongTextEditClass): the clipping the
  // edit box sets while it paints would stay in it and hold back the next
  // painting once the box has grown.
  if (HDC dc = GetDC(m_hWnd)) {
    SelectClipRgn(dc, nullptr);
    ReleaseDC(m_hWnd, dc);
  }
  DrawMarks();
}

void CProofEdit::DrawMarks() {
  if (marks.Count() == 0 || m_hWnd == nullptr) return;
  const int lineHeight = LineHeight();
  RECT format{};
  SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  // The characters shown: from the first visible line to the line after
  // the last that fits.
  const LRESULT firstLine = SendMessage(EM_GETFIRSTVISIBLELINE);
  const LRESULT lines = (format.bottom - format.top) / std::max(1, lineHeight) + 1;
  const int first = static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(firstLine)));
  LRESULT lastIndex = SendMessage(EM_LINEINDEX, static_cast<WPARAM>(firstLine + lines + 1));
  // Past the last line: the end of the text the box holds now. Every mark
  // beyond it would be looked up in vain, each lookup a walk over the
  // box's lines.
  const int last = lastIndex < 0 ? ::GetWindowTextLengthW(m_hWnd) : static_cast<int>(lastIndex);
  const int thickness = std::max(2, DpiScale::ForWindow(m_hWnd).Scale(2));
  HDC dc = GetDC(m_hWnd);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, format.left, format.top, format.right, format.bottom);
  fw::UniqueBrush brush{CreateSolidBrush(markColor)};
  auto begin = std::lower_bound(marks.Places().begin(), marks.Places().end(), first,
                                [](const TextPlace& p, int pos) { return p.start < pos; });
  for (auto it = begin; it != marks.Places().end() && it->start < last; ++it) {
    RECT rect;
    if (!CharRect(it->start, it->length, &rect)) continue;
    RECT line{rect.left, rect.bottom - thickness, rect.right, rect.bottom};
    FillRect(dc, &line, brush.get());
  }
  RestoreDC(dc, saved);
  ReleaseDC(m_hWnd, dc);
}
