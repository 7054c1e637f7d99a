#pragma once
// Reaches the resource pack the way the program does: skeldon.dat from the
// test's folder, registered with modgate, one ResMgr created through it.
#include <windows.h>

#include <string>

#include "modgate/modgate.h"
#include "skeldon/Skeldon.h"
#include "tests/support/TempDir.h"

namespace skeldon_test {

inline std::wstring SkeldonPath() { return testing_support::ExeFolder() + L"\\skeldon.dat"; }

class ResMgrSession {
 public:
  ResMgrSession() {
    ComMgrInit();
    ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr);
    result = ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_vek_IResMgr,
                           reinterpret_cast<void**>(&mgr));
  }
  ~ResMgrSession() {
    if (mgr) mgr->Release();
    ComUnregSvr(CLSID_ResMgr);
    ComMgrUninit();
  }
  ResMgrSession(const ResMgrSession&) = delete;
  ResMgrSession& operator=(const ResMgrSession&) = delete;

  vek_IResMgr* mgr = nullptr;
  HRESULT result = E_FAIL;
};

struct BitmapRow {
  long id;
  int resource;
  const wchar_t* file;
  long width, height;
};

inline const BitmapRow kBitmaps[] = {
    {0x10000001, 422, L"mwnd.bmp", 780, 520},
    {0x10000002, 450, L"sbtn_help.bmp", 150, 18},
    {0x10000003, 451, L"sbtn_min.bmp", 150, 18},
    {0x10000004, 452, L"sbtn_close.bmp", 175, 18},
    {0x10000005, 465, L"sbtn_dlgclose.bmp", 175, 18},
    {0x10000006, 453, L"ibtn_back.bmp", 220, 26},
    {0x10000007, 454, L"ibtn_setting.bmp", 220, 26},
    {0x10000008, 455, L"ibtn_s2t.bmp", 1800, 160},
    {0x10000009, 456, L"ibtn_t2s.bmp", 1800, 160},
    {0x1000000A, 457, L"ibtn_fs2t.bmp", 1800, 160},
    {0x1000000B, 458, L"ibtn_ft2s.bmp", 1800, 160},
    {0x1000000C, 470, L"ibtn_openfolder.bmp", 130, 24},
    {0x1000000D, 461, L"btn_startconv.bmp", 500, 30},
    {0x1000000E, 467, L"btn_addfile.bmp", 500, 30},
    {0x1000000F, 468, L"btn_remove.bmp", 500, 30},
    {0x10000010, 469, L"btn_clear.bmp", 500, 30},
    {0x10000011, 471, L"btn_stop.bmp", 500, 30},
    {0x10000012, 472, L"btn_openfolder.bmp", 500, 30},
    {0x10000013, 473, L"btn_ok.bmp", 500, 30},
    {0x10000014, 474, L"btn_cancel.bmp", 500, 30},
    {0x10000015, 462, L"dlg_sz520x260.bmp", 520, 260},
    {0x10000017, 464, L"img_rotates.bmp", 2304, 128},
    {0x10000018, 459, L"img_viewbkgndblank.bmp", 766, 443},
    {0x10000019, 460, L"img_viewbkgndtconv.bmp", 766, 443},
    {0x1000001A, 466, L"img_viewbkgndfconv.bmp", 766, 443},
    {0x10000020, 479, L"xbtn-dlgclose.bmp", 125, 17},
    {0x1000002A, 482, L"dlg-about.bmp", 430, 240},
    {0x1000002B, 483, L"dlg_sz520x515.bmp", 520, 515},
};

}  // namespace skeldon_test
