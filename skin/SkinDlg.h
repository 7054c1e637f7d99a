#pragma once
// vek_SkinDlg, the borderless dialog painted from a skin bitmap that every
// window of the program is built on, and vek_SubView, the same as a page
// hosted inside another dialog.
#include <windows.h>

#include "fw/Dialog.h"
#include "fw/Gdi.h"
#include "fw/GdiObjects.h"
#include "skin/CtrlTables.h"
#include "skin/DpiScale.h"
#include "skin/Palette.h"
#include "skin/SkinImg.h"
#include "skin/SkinRes.h"

class vek_SkinDlg : public fw::CDialog {
 public:
  vek_SkinDlg(UINT templateId, fw::CWnd* parent);
  ~vek_SkinDlg() override;

  vek_SkinImg background;  // the whole face, title bar and frame included
  // The numbers below are 96-DPI pixels, scaled for the window's DPI where
  // they are used.
  int titleLeft = palette::kTitleLeft;  // title text box, left and top edge
  int titleTop = palette::kTitleTop;
  int captionHeight = 25;     // drag band at the top; height of the title box
  BOOL dragEnabled = TRUE;    // the caption band moves the window
  BOOL ignoreCancel = TRUE;   // Esc does nothing
  BOOL ignoreOk = TRUE;       // Enter does nothing
  BOOL paintControls = TRUE;  // answer the children's colour requests
  int skinWidth = 0;          // size of the background in pixels, set at initialisation
  int skinHeight = 0;
  COLORREF ctrlTextColor = palette::kDarkText;
  COLORREF titleColor = palette::kTitle;
  fw::UniqueBrush ctrlBrush;  // background given to child controls
  HCURSOR moveCursor;         // shared system cursor, not owned
  fw::CFont titleFont;
  fw::CString title;

  // Runs the dialog modally with `parent` as owner (null: the framework's
  // choice); -1 when the template is missing.
  virtual INT_PTR DoModalFor(HWND parent);
  INT_PTR DoModal() override { return DoModalFor(nullptr); }
  // Modeless creation by template name (from LoadDlgTemplate) or id.
  bool Create(const wchar_t* templateName, fw::CWnd* parent) override;
  bool Create(UINT templateId, fw::CWnd* parent) override;

  // Shows a modeless dialog centred over its parent and disables the
  // parent and the main window meanwhile, or hides it and enables them.
  void ShowOverParent(BOOL show);

  // The scale the window is laid out and drawn for.
  const DpiScale& Dpi() const { return dpi_; }
  // Lays the window out again for `scale`: the pictures drawn for it, the
  // size, the region, the controls and their fonts; a top-level window goes
  // to `suggested` (screen coordinates) when given. Its skinned pages and its
  // open dialogs follow. What WM_DPICHANGED does.
  void ChangeDpi(const DpiScale& scale, const RECT* suggested);

 protected:
  // What the dialog is made of. The base loads the face (`faceId`, a bitmap
  // of the pack; 0 for none) into Face() and the table's control images
  // before sizing, places and colours the controls from the table, and
  // gives every image back after the window is destroyed.
  long faceId = 0;
  virtual CtrlSkinTable SkinTable() { return {}; }
  // Where the face goes: the window's own background (a page draws its own).
  virtual vek_SkinImg& Face() { return background; }
  // Where the images come from: the program's resource manager.
  virtual vek_IResMgr* SkinResMgr() { return AppResMgr(); }
  // The light 520 by 260 dialog body: its colours for the controls and the
  // title placed for its narrower caption band.
  void UseLightBody();

  // Loads the face and the control images (before sizing); a dialog with
  // more images loads them after calling this.
  virtual int OnLoadSkin();
  // Gives the images back (after the window is destroyed).
  virtual int OnFreeSkin();
  // The dialog's template from the program's resources.
  virtual const DLGTEMPLATE* LoadDlgTemplate();
  // Places the controls (after the skin is applied).
  virtual int OnLayout();
  // After ChangeDpi laid the window out for `scale` (from `old`): a dialog
  // with more to scale (images of its own, hand-placed windows) does it here.
  virtual void OnDpiChanged(const DpiScale& old, const DpiScale& scale) {}

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnEraseBkgnd(HDC dc) override;
  HBRUSH OnCtlColor(HDC dc, HWND ctl, UINT ctlType) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnDestroy() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  UINT helpId_ = 0;

 private:
  bool InCaptionBand(POINT pt) const { return pt.y <= dpi_.Scale(captionHeight) && dragEnabled; }
  void ApplyBackgroundShape();
  void DrawTitle(HDC dc);
  void RescaleChildFonts(const DpiScale& old, const DpiScale& scale);
  void TellChildren(const DpiScale& old, const DpiScale& scale);

  DpiScale dpi_;
};

class vek_SubView : public vek_SkinDlg {
 public:
  vek_SubView(UINT templateId, fw::CWnd* parent);

  COLORREF viewTextColor = palette::kDarkText;  // for the page's own use
  vek_SkinImg viewBackground;                   // the page's face
  fw::UniqueBrush viewBrush;                    // for the page's own use
  int destX = 0, destY = 0;                     // where the face is drawn
  int srcX = 0, srcY = 0;                       // which point of the face goes there

 protected:
  vek_SkinImg& Face() override { return viewBackground; }
  BOOL OnInitDialog() override;
  BOOL OnEraseBkgnd(HDC dc) override;
};
