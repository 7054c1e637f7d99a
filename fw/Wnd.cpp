#include "fw/Wnd.h"

#include <unordered_map>
#include <vector>

#include "fw/Trace.h"

namespace fw {
namespace {

// Which object each bound window has, and the procedure the window had
// before ours. Looking it up asks nothing of the system: a window property
// or comctl32's subclass record is a round trip to the Wine server, and
// was one or two at every message of every control. The bindings are the
// framework's one process-wide table; a window's own user data could not
// serve, since windows we bind but did not make (the folder picker's, a
// combo box's list) may use it themselves.
struct Binding {
  CWnd* object = nullptr;  // null: unbound, our procedure only passes messages on
  WNDPROC previous = nullptr;
};

class Bindings {
 public:
  bool Find(HWND wnd, Binding* found) {
    AcquireSRWLockShared(&lock_);
    auto it = map_.find(wnd);
    const bool known = it != map_.end();
    if (known) *found = it->second;
    ReleaseSRWLockShared(&lock_);
    return known;
  }
  void Set(HWND wnd, const Binding& binding) {
    AcquireSRWLockExclusive(&lock_);
    map_[wnd] = binding;
    ReleaseSRWLockExclusive(&lock_);
  }
  void Erase(HWND wnd) {
    AcquireSRWLockExclusive(&lock_);
    map_.erase(wnd);
    ReleaseSRWLockExclusive(&lock_);
  }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
  std::unordered_map<HWND, Binding> map_;
};

// Never destroyed: objects that outlive main() still unbind from it.
Bindings& TheBindings() {
  static auto* bindings = new Bindings;
  return *bindings;
}

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd == nullptr) return;
  // Unbind first: the derived parts of this object are gone already, so
  // no message may reach them while the window goes.
  const bool owned = ownsWindow_;
  HWND wnd = UnsubclassWindow();
  if (owned && IsWindow(wnd)) ::DestroyWindow(wnd);
}

CWnd* CWnd::FromHandle(HWND wnd) {
  Binding binding;
  if (wnd == nullptr || !TheBindings().Find(wnd, &binding)) return nullptr;
  return binding.object;
}

bool CWnd::SubclassWindow(HWND wnd) {
  if (m_hWnd != nullptr || !IsWindow(wnd)) return false;
  Binding known;
  if (TheBindings().Find(wnd, &known)) {
    if (known.object != nullptr) return false;
    // Unbound earlier under another procedure: ours is still in the
    // window's chain and takes this object.
    m_hWnd = wnd;
    previous_ = known.previous;
    TheBindings().Set(wnd, {this, previous_});
    PreSubclassWindow();
    return true;
  }
  // Known before our procedure is in place, so that a message sent from
  // another thread meanwhile finds the procedure it passes on to.
  m_hWnd = wnd;
  previous_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
  TheBindings().Set(wnd, {this, previous_});
  SetLastError(0);
  const LONG_PTR before =
      SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProcOfAll));
  if (before == 0 && GetLastError() != 0) {
    TheBindings().Erase(wnd);
    m_hWnd = nullptr;
    previous_ = nullptr;
    return false;
  }
  previous_ = reinterpret_cast<WNDPROC>(before);
  TheBindings().Set(wnd, {this, previous_});
  PreSubclassWindow();
  return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (parent == nullptr) return false;
  return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
  HWND wnd = m_hWnd;
  if (wnd != nullptr) {
    const auto ours = reinterpret_cast<LONG_PTR>(&CWnd::WindowProcOfAll);
    if (!IsWindow(wnd)) {
      TheBindings().Erase(wnd);
    } else if (GetWindowLongPtrW(wnd, GWLP_WNDPROC) == ours &&
               SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_)) != 0) {
      TheBindings().Erase(wnd);
    } else {
      // Another procedure was put above ours since (a comctl32 subclass,
      // say): taking ours out would take that one out too. Ours stays and
      // passes everything on until the window goes.
      TheBindings().Set(wnd, {nullptr, previous_});
    }
  }
  m_hWnd = nullptr;
  previous_ = nullptr;
  ownsWindow_ = false;
  return wnd;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                    const RECT& rect, HWND parent, UINT id) {
  if (m_hWnd != nullptr) return false;
  HWND wnd = CreateWindowExW(
      exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
      rect.bottom - rect.top, parent,
      // Only a child takes an id; a pop-up's would be read as a menu.
      (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr,
      GetModuleHandleW(nullptr), nullptr);
  if (wnd == nullptr) return false;
  if (!SubclassWindow(wnd)) {
    ::DestroyWindow(wnd);
    return false;
  }
  ownsWindow_ = true;
  return true;
}

bool CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return false;
  return ::DestroyWindow(m_hWnd) != FALSE;
}

CString CWnd::GetWindowText() const {
  int n = GetWindowTextLengthW(m_hWnd);
  if (n <= 0) return CString();
  std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
  int got = ::GetWindowTextW(m_hWnd, buf.data(), n + 1);
  return CString(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

RECT CWnd::GetClientRect() const {
  RECT rc{};
  ::GetClientRect(m_hWnd, &rc);
  return rc;
}

RECT CWnd::GetWindowRect() const {
  RECT rc{};
  ::GetWindowRect(m_hWnd, &rc);
  return rc;
}

LRESULT CWnd::Default() { return DefWindowProc(current_.msg, current_.wp, current_.lp); }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (previous_ == nullptr) return ::DefWindowProcW(m_hWnd, msg, wp, lp);
  return CallWindowProcW(previous_, m_hWnd, msg, wp, lp);
}

LRESULT CALLBACK CWnd::WindowProcOfAll(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  Binding binding;
  if (!TheBindings().Find(wnd, &binding)) return ::DefWindowProcW(wnd, msg, wp, lp);
  if (binding.object == nullptr) {
    const LRESULT result = binding.previous != nullptr
                               ? CallWindowProcW(binding.previous, wnd, msg, wp, lp)
                               : ::DefWindowProcW(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) TheBindings().Erase(wnd);
    return result;
  }
  CWnd* self = binding.object;
  LRESULT result = 0;
  try {
    result = self->Dispatch(msg, wp, lp);
  } catch (...) {
    // A handler's failure must not unwind through the system's code.
    TraceCaughtException(L"window message handler");
    result = 0;
  }
  if (msg == WM_NCDESTROY) {
    TheBindings().Erase(wnd);
    if (self->m_hWnd == wnd) {
      self->m_hWnd = nullptr;
      self->previous_ = nullptr;
      self->ownsWindow_ = false;
      self->PostNcDestroy();
    }
  }
  return result;
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  // Handlers may send messages to their own window: keep the outer
  // message for their Default().
  CurrentMessage outer = current_;
  current_ = {msg, wp, lp};
  LRESULT result = WindowProc(msg, wp, lp);
  current_ = outer;
  return result;
}

bool CWnd::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(lp); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(lp)->hwndFrom; break;
    case WM_DRAWITEM:
      if (wp != 0) child = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem;
      break;
    default:  // WM_CTLCOLOR*
      child = reinterpret_cast<HWND>(lp);
      break;
  }
  CWnd* obj = child != m_hWnd ? FromHandle(child) : nullptr;
  return obj != nullptr && obj->OnChildNotify(msg, wp, lp, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lp));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_NCPAINT: OnNcPaint(reinterpret_cast<HRGN>(wp)); return 0;
    case WM_NCCALCSIZE:
      return OnNcCalcSize(static_cast<BOOL>(wp), reinterpret_cast<NCCALCSIZE_PARAMS*>(lp));
    case WM_SIZE: OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wp), static_cast<UINT>(lp)); return 0;
    case WM_TIMER: OnTimer(wp); return 0;
    case WM_SETFOCUS: OnSetFocus(reinterpret_cast<HWND>(wp)); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wp)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wp), PointFromLParam(lp)); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_MOUSEHOVER: OnMouseHover(static_cast<UINT>(wp), PointFromLParam(lp)); return 0;
    case WM_MOUSEWHEEL:
      return OnMouseWheel(GET_KEYSTATE_WPARAM(wp), GET_WHEEL_DELTA_WPARAM(wp), PointFromLParam(lp));
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wp), PointFromLParam(lp)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wp), PointFromLParam(lp)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wp), PointFromLParam(lp)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wp), PointFromLParam(lp)); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_CHAR: OnChar(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_HSCROLL: OnHScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
    case WM_VSCROLL: OnVScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
    case WM_COMMAND: {
      LRESULT result = 0;
      if (lp != 0 && ReflectToChild(msg, wp, lp, &result)) return result;
      if (OnCommand(wp, lp)) return 0;
      return Default();
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wp, lp, &result)) return result;
      if (OnNotify(wp, lp, &result)) return result;
      return Default();
    }
    case WM_DRAWITEM: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wp, lp, &result)) return result;
      OnDrawItem(static_cast<int>(wp), reinterpret_cast<DRAWITEMSTRUCT*>(lp));
      return TRUE;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wp, lp, &result)) return result;
      HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp),
                                msg - WM_CTLCOLORMSGBOX);
      return reinterpret_cast<LRESULT>(brush);
    }
    default: return Default();
  }
}

}  // namespace fw
