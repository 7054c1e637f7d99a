#pragma once
// CWnd: one C++ object per window. A window is bound to its object by
// subclassing (its procedure replaced by ours), whether it is a control of a dialog
// template, a window we created or a dialog; all its messages then pass
// through WindowProc, which unpacks them once and calls the small virtual
// OnXxx handlers. Every handler's base version passes the message on to
// the window's previous procedure (Default). Notifications that a control
// sends its parent (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) are
// first offered to the control's own object (OnChildNotify).
#include <windows.h>

#include <string>

namespace fw {

using CString = std::wstring;

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The object bound to a window, or null.
  static CWnd* FromHandle(HWND wnd);

  // Binds this object to an existing window (a template's control, say);
  // false when the object is bound already or the window is bound to
  // another object.
  bool SubclassWindow(HWND wnd);
  bool SubclassDlgItem(UINT id, CWnd* parent);
  // Ends the binding; the window lives on with its previous procedure.
  HWND UnsubclassWindow();

  // Creates a window of a registered (system) class and binds it; the
  // object then owns the window and destroys it with itself.
  bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                const RECT& rect, HWND parent, UINT id);
  bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(exStyle, className, text, style, rect, parent ? parent->m_hWnd : nullptr, id);
  }
  bool DestroyWindow();

  // Small conveniences over the window functions.
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  HWND GetParentHwnd() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CString GetWindowText() const;
  void SetWindowText(const CString& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
  bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
  bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
  bool MoveWindow(int x, int y, int cx, int cy, bool repaint = true) {
    return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint) != FALSE;
  }
  bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != FALSE;
  }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendMessageW(m_hWnd, msg, wp, lp);
  }
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
  }
  LONG_PTR GetStyle() const { return GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
  UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
  bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }

  // Passes the message being handled on to the previous procedure.
  LRESULT Default();

  // A queued message for this window or one within it, offered before a
  // modal loop's dialog navigation and dispatch: true when taken (a key
  // that means something anywhere on a page, say), and it goes no further.
  // The loop offers it to the target window first, then to each parent up
  // to the dialog.
  virtual bool PreTranslateMessage(const MSG& msg) { return false; }

 protected:
  // The dispatcher: unpacks the message and calls the handler. Overrides
  // that need a message without a handler of its own handle it here and
  // call the base for the rest.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // Calls the previous procedure with any message.
  LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);

  // The window is ours: it goes with the object if still there.
  void OwnWindow() { ownsWindow_ = true; }
  // Called once the object is bound to its window (subclassed or created).
  virtual void PreSubclassWindow() {}
  // Called after the window is gone and the binding ended (WM_NCDESTROY).
  virtual void PostNcDestroy() {}

  // A notification this window's control sent to its parent, offered to
  // the control first: return true with *result set when handled, and the
  // parent then does not see it.
  virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return false; }

  virtual LRESULT OnCreate(CREATESTRUCTW* cs) { return Default(); }
  virtual void OnDestroy() { Default(); }
  virtual void OnPaint() { Default(); }
  virtual BOOL OnEraseBkgnd(HDC dc) { return static_cast<BOOL>(Default()); }
  virtual void OnNcPaint(HRGN rgn) { Default(); }
  virtual LRESULT OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params) { return Default(); }
  virtual void OnSize(UINT type, int cx, int cy) { Default(); }
  virtual void OnShowWindow(BOOL show, UINT status) { Default(); }
  virtual void OnTimer(UINT_PTR id) { Default(); }
  virtual void OnSetFocus(HWND oldFocus) { Default(); }
  virtual void OnKillFocus(HWND newFocus) { Default(); }
  virtual void OnMouseMove(UINT flags, POINT pt) { Default(); }
  virtual void OnMouseLeave() { Default(); }
  virtual void OnMouseHover(UINT flags, POINT pt) { Default(); }
  virtual BOOL OnMouseWheel(UINT flags, short delta, POINT pt) {
    return static_cast<BOOL>(Default());
  }
  virtual void OnLButtonDown(UINT flags, POINT pt) { Default(); }
  virtual void OnLButtonUp(UINT flags, POINT pt) { Default(); }
  virtual void OnLButtonDblClk(UINT flags, POINT pt) { Default(); }
  virtual void OnRButtonDown(UINT flags, POINT pt) { Default(); }
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags) { Default(); }
  virtual void OnChar(UINT ch, UINT repeat, UINT flags) { Default(); }
  virtual void OnHScroll(UINT code, UINT pos, HWND bar) { Default(); }
  virtual void OnVScroll(UINT code, UINT pos, HWND bar) { Default(); }
  // WM_COMMAND and WM_NOTIFY that no control took for itself.
  virtual BOOL OnCommand(WPARAM wp, LPARAM lp) { return FALSE; }
  virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) { return FALSE; }
  // WM_CTLCOLOR* that the control did not answer itself; ctlType is one of
  // the CTLCOLOR_* values.
  virtual HBRUSH OnCtlColor(HDC dc, HWND ctl, UINT ctlType) {
    return reinterpret_cast<HBRUSH>(Default());
  }
  virtual void OnDrawItem(int id, DRAWITEMSTRUCT* dis) { Default(); }

 private:
  // The procedure of every bound window: finds the object and dispatches.
  static LRESULT CALLBACK WindowProcOfAll(HWND, UINT, WPARAM, LPARAM) noexcept;
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  // Offers a parent's notification to the child object it came from.
  bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  struct CurrentMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  CurrentMessage current_{};
  // The window's procedure before ours: Default() passes messages to it.
  WNDPROC previous_ = nullptr;
  bool ownsWindow_ = false;
};

// The point of a mouse message (signed client coordinates).
inline POINT PointFromLParam(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace fw
