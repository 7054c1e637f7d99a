#include "tests/gui/app_env.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>

#include "fw/MessageBox.h"
#include "loader/ResMgrHolder.h"
#include "pages/PageRes.h"
#include "skeldon/ResIds.h"
#include "skin/CtrlTables.h"

namespace app_test {
namespace {

std::wstring g_title;

class ProgramEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);
    ASSERT_NE(AppResMgr(), nullptr) << "skeldon.dat must sit beside the test program";
    g_title = QueryText(TXT_PRODUCT_TITLE);
    fw::SetAppName(g_title);
    CreateSharedTooltip();
  }
  void TearDown() override {
    ShutdownComponents();
    CoUninitialize();
  }
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);

}  // namespace

TestApp& App() {
  static TestApp app;
  return app;
}

const wchar_t* ProductTitle() { return g_title.c_str(); }

}  // namespace app_test
