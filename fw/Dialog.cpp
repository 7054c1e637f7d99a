#include "fw/Dialog.h"

#include "fw/App.h"
#include "fw/Trace.h"

namespace fw {

CDialog::CDialog(UINT templateId, CWnd* parent)
    : templateId_(templateId), templateName_(MAKEINTRESOURCEW(templateId)), parentWnd_(parent) {}

CDialog::~CDialog() = default;

const DLGTEMPLATE* LoadDialogTemplate(HINSTANCE module, const wchar_t* name) {
  HRSRC res = FindResourceW(module, name, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (res == nullptr) return nullptr;
  HGLOBAL global = LoadResource(module, res);
  return global ? static_cast<const DLGTEMPLATE*>(LockResource(global)) : nullptr;
}

HWND CDialog::DefaultOwner() const {
  if (parentWnd_ != nullptr && parentWnd_->m_hWnd != nullptr) return parentWnd_->m_hWnd;
  CWnd* main = AfxGetMainWnd();
  return main != nullptr ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
  return RunModalIndirect(LoadDialogTemplate(ResourceModule(), templateName_), DefaultOwner());
}

bool CDialog::Create(const wchar_t* templateName, CWnd* parent) {
  templateName_ = templateName;
  if (IS_INTRESOURCE(templateName)) {
    templateId_ = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(templateName));
  }
  return CreateIndirect(LoadDialogTemplate(ResourceModule(), templateName), parent,
                        ResourceModule());
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
  return Create(MAKEINTRESOURCEW(templateId), parent);
}

bool CDialog::CreateIndirect(const DLGTEMPLATE* tmpl, CWnd* parent, HINSTANCE instance) {
  if (tmpl == nullptr || m_hWnd != nullptr) return false;
  if (parent != nullptr) parentWnd_ = parent;
  HWND wnd = CreateDialogIndirectParamW(instance, tmpl, parent ? parent->m_hWnd : nullptr,
                                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  // A modeless dialog lives no longer than its object.
  if (wnd != nullptr && m_hWnd == wnd) OwnWindow();
  return wnd != nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  // Everything after WM_INITDIALOG reaches the object through its
  // subclass binding; here we only bind it.
  if (msg != WM_INITDIALOG) return FALSE;
  auto* self = reinterpret_cast<CDialog*>(lp);
  if (self == nullptr || !self->SubclassWindow(wnd)) return TRUE;
  try {
    return self->OnInitDialog();
  } catch (...) {
    TraceCaughtException(L"dialog initialisation");
    return TRUE;
  }
}

INT_PTR CDialog::RunModalIndirect(const DLGTEMPLATE* tmpl, HWND owner) {
  if (tmpl == nullptr) return -1;
  HWND disabledOwner = nullptr;
  HWND disabledMain = nullptr;
  if (owner != nullptr && owner != GetDesktopWindow() && IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    disabledOwner = owner;
  }
  CWnd* main = AfxGetMainWnd();
  if (main != nullptr && main->m_hWnd != nullptr && main->m_hWnd != owner &&
      IsWindowEnabled(main->m_hWnd)) {
    ::EnableWindow(main->m_hWnd, FALSE);
    disabledMain = main->m_hWnd;
  }

  modal_ = true;
  modalResult_ = -1;
  HWND wnd = CreateDialogIndirectParamW(ResourceModule(), tmpl, owner, &CDialog::DialogProc,
                                        reinterpret_cast<LPARAM>(this));
  if (wnd != nullptr && modal_) RunModalLoop();
  modal_ = false;
  if (wnd != nullptr && IsWindow(wnd)) {
    ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }

  if (disabledMain != nullptr) ::EnableWindow(disabledMain, TRUE);
  if (disabledOwner != nullptr) ::EnableWindow(disabledOwner, TRUE);
  if (owner != nullptr && wnd != nullptr && GetActiveWindow() == wnd) SetActiveWindow(owner);
  if (wnd != nullptr && IsWindow(wnd)) ::DestroyWindow(wnd);
  return modalResult_;
}

bool CDialog::PreTranslate(HWND dialog, const MSG& msg) {
  for (HWND w = msg.hwnd; w != nullptr; w = ::GetParent(w)) {
    CWnd* object = FromHandle(w);
    if (object != nullptr && object->PreTranslateMessage(msg)) return true;
    if (w == dialog) break;
  }
  return false;
}

void CDialog::RunModalLoop() {
  HWND wnd = m_hWnd;
  bool shown = ::IsWindowVisible(wnd) != FALSE;
  MSG msg;
  while (modal_ && IsWindow(wnd)) {
    // Show the window once what creation queued has been handled.
    if (!shown && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      ::ShowWindow(wnd, SW_SHOWNORMAL);
      shown = true;
    }
    BOOL got = NextMessage(&msg);
    // -1 is an error getting one message (a huge message from another
    // process can cause it), not a quit: the dialog goes on.
    if (got == -1) continue;
    if (got == 0) {
      // WM_QUIT belongs to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      modalResult_ = -1;
      break;
    }
    if (PreTranslate(wnd, msg)) continue;
    if (!IsDialogMessageW(wnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void CDialog::EndDialog(int result) {
  if (modal_) {
    modalResult_ = result;
    modal_ = false;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
  } else if (m_hWnd != nullptr) {
    ::EndDialog(m_hWnd, result);
  }
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx{this, saveAndValidate};
  DoDataExchange(&dx);
  return !dx.failed;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) != BN_CLICKED) return FALSE;
  switch (LOWORD(wp)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& ctl) {
  if (ctl.m_hWnd != nullptr) return;
  if (!ctl.SubclassDlgItem(static_cast<UINT>(id), dx->dlg)) dx->failed = true;
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND ctl = dx->dlg->GetDlgItem(id);
  if (ctl == nullptr) {
    dx->failed = true;
    return;
  }
  if (dx->saving) {
    int n = GetWindowTextLengthW(ctl);
    value.assign(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    int got = GetWindowTextW(ctl, value.data(), n + 1);
    value.resize(got > 0 ? static_cast<size_t>(got) : 0);
  } else {
    SetWindowTextW(ctl, value.c_str());
  }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND ctl = dx->dlg->GetDlgItem(id);
  if (ctl == nullptr) {
    dx->failed = true;
    return;
  }
  if (dx->saving) {
    value = static_cast<int>(SendMessageW(ctl, BM_GETCHECK, 0, 0));
  } else {
    SendMessageW(ctl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& value) {
  HWND ctl = dx->dlg->GetDlgItem(id);
  if (ctl == nullptr) {
    dx->failed = true;
    return;
  }
  if (dx->saving) {
    value = static_cast<int>(SendMessageW(ctl, CB_GETCURSEL, 0, 0));
  } else {
    SendMessageW(ctl, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
  }
}

}  // namespace fw
