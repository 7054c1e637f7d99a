#pragma once
// CDialog: dialogs from templates of the program's resources, modal (our
// own modal loop, so a dialog can be run with any owner) or modeless, with
// data exchange between the dialog's controls and its members.
#include <windows.h>

#include "fw/Wnd.h"

namespace fw {

class CDialog;

// One data exchange pass: `saving` reads the controls into the members,
// otherwise the members are written into the controls.
struct CDataExchange {
  CDialog* dlg;
  bool saving;
  bool failed = false;
};

class CDialog : public CWnd {
 public:
  CDialog(UINT templateId, CWnd* parent);
  ~CDialog() override;

  // Modal run with the parent given at construction as owner; returns
  // the EndDialog result, -1 when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Modeless creation as a child or pop-up of `parent`.
  virtual bool Create(const wchar_t* templateName, CWnd* parent);
  virtual bool Create(UINT templateId, CWnd* parent);
  // Modeless creation from a template in memory.
  bool CreateIndirect(const DLGTEMPLATE* tmpl, CWnd* parent, HINSTANCE instance);

  // Ends a modal run with `result`; a modeless dialog is hidden.
  void EndDialog(int result);
  bool UpdateData(bool saveAndValidate = true);
  bool IsModalRunning() const { return modal_; }
  UINT TemplateId() const { return templateId_; }

 protected:
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx) {}
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;

  // Runs the modal loop over a window created from `tmpl` with `owner` as
  // its parent; disables and re-enables the owner and the main window.
  INT_PTR RunModalIndirect(const DLGTEMPLATE* tmpl, HWND owner);
  // The owner a modal dialog takes when none is given: the parent given
  // at construction, else the application's main window.
  HWND DefaultOwner() const;
  // The modal loop's source of messages: GetMessageW's result (-1 on an
  // error getting a message, 0 for WM_QUIT).
  virtual BOOL NextMessage(MSG* msg) { return GetMessageW(msg, nullptr, 0, 0); }

  UINT templateId_;
  const wchar_t* templateName_;
  CWnd* parentWnd_;  // borrowed

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) noexcept;
  void RunModalLoop();
  // Offers a message to the windows from its target up to `dialog`.
  static bool PreTranslate(HWND dialog, const MSG& msg);

  bool modal_ = false;
  INT_PTR modalResult_ = -1;
};

// Finds and loads a dialog template of `module`; null when it is missing.
const DLGTEMPLATE* LoadDialogTemplate(HINSTANCE module, const wchar_t* name);

// Data exchange helpers.
// Binds `ctl` to the dialog's control `id` (once).
void DDX_Control(CDataExchange* dx, int id, CWnd& ctl);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& value);

}  // namespace fw
