// modgate.dll: the per-process table from class id to server file, with
// skeldon.dat as the server.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "modgate/modgate.h"
#include "skeldon/Skeldon.h"
#include "tests/support/TempDir.h"
#include "tests/unit/skeldon_client.h"

using skeldon_test::SkeldonPath;

namespace {

HRESULT Create(vek_IResMgr** mgr, DWORD context = CLSCTX_INPROC_SERVER) {
  *mgr = reinterpret_cast<vek_IResMgr*>(1);
  return ComCreateInst(CLSID_ResMgr, nullptr, context, IID_vek_IResMgr,
                       reinterpret_cast<void**>(mgr));
}

bool SkeldonLoaded() { return GetModuleHandleW(L"skeldon.dat") != nullptr; }

TEST(Modgate, CallsBeforeInitFailCleanly) {
  EXPECT_EQ(E_UNEXPECTED, ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr));
  vek_IResMgr* mgr;
  EXPECT_EQ(E_UNEXPECTED, Create(&mgr));
  EXPECT_EQ(nullptr, mgr);
  EXPECT_EQ(E_UNEXPECTED, ComUnregSvr(CLSID_ResMgr));
  EXPECT_EQ(E_UNEXPECTED, ComMgrUninit());
}

TEST(Modgate, InitAndUninitPairUp) {
  EXPECT_EQ(S_OK, ComMgrInit());
  EXPECT_EQ(S_FALSE, ComMgrInit());
  ASSERT_EQ(S_OK, ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr));
  EXPECT_EQ(S_OK, ComMgrUninit());
  // Still running after the first of two uninits: the mapping holds.
  vek_IResMgr* mgr;
  ASSERT_EQ(S_OK, Create(&mgr));
  mgr->Release();
  EXPECT_EQ(S_OK, ComMgrUninit());
  EXPECT_EQ(E_UNEXPECTED, ComMgrUninit());
  EXPECT_FALSE(SkeldonLoaded());
}

TEST(Modgate, CreatesOnlyWhatIsRegistered) {
  ComMgrInit();
  vek_IResMgr* mgr;
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(&mgr));
  EXPECT_EQ(nullptr, mgr);
  EXPECT_EQ(E_INVALIDARG, ComRegSvr(nullptr, CLSID_ResMgr));
  EXPECT_EQ(E_INVALIDARG, ComRegSvr(L"", CLSID_ResMgr));
  ASSERT_EQ(S_OK, ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr));
  // In-process servers only.
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(&mgr, CLSCTX_LOCAL_SERVER));
  EXPECT_EQ(nullptr, mgr);
  ASSERT_EQ(S_OK, Create(&mgr, CLSCTX_ALL));
  WCHAR* text = nullptr;
  EXPECT_EQ(S_OK, mgr->GetTxt(0x70000004, &text));
  EXPECT_STREQ(L"设置", text);
  mgr->Release();
  // The server refuses interfaces it does not have.
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE,
            ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &other));
  EXPECT_EQ(nullptr, other);
  EXPECT_EQ(E_POINTER,
            ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr));
  EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, ComUnregSvr(CLSID_ResMgr));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(&mgr));
  ComMgrUninit();
}

TEST(Modgate, BadServerFilesFail) {
  ComMgrInit();
  testing_support::TempDir dir;
  vek_IResMgr* mgr;
  ComRegSvr((dir / L"missing.dat").c_str(), CLSID_ResMgr);
  EXPECT_TRUE(FAILED(Create(&mgr)));
  EXPECT_EQ(nullptr, mgr);
  // A DLL that is no COM server.
  std::wstring plain = testing_support::ExeFolder() + L"\\libwinpthread-1.dll";
  ComRegSvr(plain.c_str(), CLSID_ResMgr);
  EXPECT_EQ(CO_E_ERRORINDLL, Create(&mgr));
  EXPECT_EQ(nullptr, mgr);
  // Registering again replaces the file.
  ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr);
  ASSERT_EQ(S_OK, Create(&mgr));
  mgr->Release();
  ComUnregSvr(CLSID_ResMgr);
  ComMgrUninit();
  EXPECT_FALSE(SkeldonLoaded());
}

TEST(Modgate, UnregisteringFreesTheServerOnceItsObjectsAreGone) {
  ComMgrInit();
  ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr);
  EXPECT_FALSE(SkeldonLoaded());  // loaded on first creation only
  vek_IResMgr* mgr;
  ASSERT_EQ(S_OK, Create(&mgr));
  EXPECT_TRUE(SkeldonLoaded());
  mgr->Release();
  EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
  EXPECT_FALSE(SkeldonLoaded());
  ComMgrUninit();
}

TEST(Modgate, ALiveObjectKeepsItsServerLoaded) {
  ComMgrInit();
  ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr);
  vek_IResMgr* mgr;
  ASSERT_EQ(S_OK, Create(&mgr));
  ComUnregSvr(CLSID_ResMgr);
  ComMgrUninit();
  ASSERT_TRUE(SkeldonLoaded());
  WCHAR* text = nullptr;
  EXPECT_EQ(S_OK, mgr->GetTxt(0x60000003, &text));
  EXPECT_STREQ(L"关闭", text);
  mgr->Release();
  // modgate let go of the module without freeing it; give it back here so
  // that later tests start clean.
  FreeLibrary(GetModuleHandleW(L"skeldon.dat"));
  EXPECT_FALSE(SkeldonLoaded());
}

TEST(Modgate, ThreadsCreateAtTheSameTime) {
  ComMgrInit();
  ComRegSvr(SkeldonPath().c_str(), CLSID_ResMgr);
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 40; ++i) {
        vek_IResMgr* mgr = nullptr;
        if (Create(&mgr) != S_OK || !mgr) {
          ++failures;
          continue;
        }
        WCHAR* text = nullptr;
        if (mgr->GetTxt(0x20000001, &text) != S_OK) ++failures;
        mgr->Release();
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(0, failures.load());
  ComUnregSvr(CLSID_ResMgr);
  ComMgrUninit();
  EXPECT_FALSE(SkeldonLoaded());
}

}  // namespace
