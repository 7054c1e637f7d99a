// "Load resource failed!": the box skeldon.dat shows when a resource does
// not load. A second thread watches for it, reads it and closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "skeldon/ResIds.h"
#include "tests/support/BoxWatcher.h"
#include "tests/support/TempDir.h"
#include "tests/unit/skeldon_client.h"

namespace {

const wchar_t kCaption[] = L"Load resource failed!";

class SkeldonBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, session.result); }

  // Loads `id` and returns the texts of the boxes shown meanwhile.
  std::vector<std::wstring> Load(long id, HANDLE* handle) {
    testing_support::BoxWatcher watcher(kCaption);
    *handle = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(S_OK, session.mgr->LoadRes(id, 2, handle));
    return watcher.Texts();
  }

  skeldon_test::ResMgrSession session;
};

TEST_F(SkeldonBoxTest, ModuleLoadOfAnUnknownBitmapNamesTheIdInDecimal) {
  session.mgr->Init(LOADTYPE_MODULE, nullptr);
  HANDLE h;
  EXPECT_EQ(std::vector<std::wstring>{L"268435478"}, Load(0x10000016, &h));
  EXPECT_EQ(nullptr, h);
  // Other kinds have no table at all; signed decimal for the top bit.
  EXPECT_EQ(std::vector<std::wstring>{L"-1879048191"}, Load(static_cast<long>(0x90000001), &h));
  EXPECT_EQ(nullptr, h);
}

TEST_F(SkeldonBoxTest, EveryRawResourceIdFails) {
  session.mgr->Init(LOADTYPE_MODULE, nullptr);
  HANDLE h;
  for (long id : {0x70000000L, 0x70000001L, 0x7FFFFFFFL}) {
    EXPECT_EQ(std::vector<std::wstring>{std::to_wstring(id)}, Load(id, &h));
    EXPECT_EQ(nullptr, h);
  }
}

TEST_F(SkeldonBoxTest, GetBmpSizeByIdOfAnUnknownIdLeavesTheSizesAlone) {
  session.mgr->Init(LOADTYPE_MODULE, nullptr);
  testing_support::BoxWatcher watcher(kCaption);
  LONG w = 11, h = 12;
  EXPECT_EQ(S_OK, session.mgr->GetBmpSizeById(0x10000030, &w, &h));
  EXPECT_EQ(11, w);
  EXPECT_EQ(12, h);
  EXPECT_EQ(std::vector<std::wstring>{L"268435504"}, watcher.Texts());
}

TEST_F(SkeldonBoxTest, FileLoadNamesThePathOrNothing) {
  testing_support::TempDir dir(L"空皮肤");
  BSTR folder = SysAllocString(dir.path().c_str());
  session.mgr->Init(LOADTYPE_FILES, folder);
  SysFreeString(folder);
  HANDLE h;
  // A bitmap of the table missing from the folder: the path it tried.
  EXPECT_EQ(std::vector<std::wstring>{dir / L"btn_ok.bmp"}, Load(0x10000013, &h));
  EXPECT_EQ(nullptr, h);
  // No row, or not a bitmap: no path was built.
  EXPECT_EQ(std::vector<std::wstring>{L""}, Load(0x10000016, &h));
  EXPECT_EQ(std::vector<std::wstring>{L""}, Load(0x70000001, &h));
  EXPECT_EQ(nullptr, h);
}

TEST_F(SkeldonBoxTest, LoadsThatWorkShowNoBox) {
  session.mgr->Init(LOADTYPE_MODULE, nullptr);
  HANDLE h;
  EXPECT_TRUE(Load(0x10000002, &h).empty());
  ASSERT_NE(nullptr, h);
  LONG w = 0, hh = 0;
  session.mgr->GetBmpSize(h, &w, &hh);
  EXPECT_EQ(150, w);
  EXPECT_EQ(18, hh);
  session.mgr->FreeRes(h);
}

}  // namespace
