// The program's binding to the resource pack: registration, the one
// resource manager and the shutdown order, first against a recording
// stand-in for modgate, then through the real modgate and skeldon.dat.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "loader/ComponentApi.h"
#include "loader/ResMgrHolder.h"
#include "skeldon/ResIds.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::string> calls;
HRESULT createResult = S_OK;
std::wstring registeredPath;
CLSID registeredClass, createdClass;
IID createdIid;
unsigned long createdContext = 0;
IUnknown* createdOuter = reinterpret_cast<IUnknown*>(1);

// A resource manager that only notes Init and its last Release.
class FakeResMgr : public vek_IResMgr {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (--refs == 0) calls.push_back("release");
    return refs;
  }
  HRESULT STDMETHODCALLTYPE Init(LONG type, BSTR path) override {
    calls.push_back("resmgr-init " + std::to_string(type) + (path ? " path" : " null"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTxt(LONG, WCHAR**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMTxtItems(LONG, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMTxtItem(LONG, LONG, WCHAR*, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryTxt(LONG, WCHAR**, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryTxtInfo(void**, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryResById(LONG, stResInfo*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryResPathById(LONG, WCHAR**, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LoadRes(LONG, LONG, HANDLE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FreeRes(HANDLE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBmpSizeById(LONG, LONG*, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBmpSize(HANDLE, LONG*, LONG*) override { return E_NOTIMPL; }
  ULONG refs = 0;
};
FakeResMgr fake;

long WINAPI FakeInit() {
  calls.push_back("init");
  return S_OK;
}
long WINAPI FakeReg(const wchar_t* path, REFCLSID clsid) {
  calls.push_back("reg");
  registeredPath = path;
  registeredClass = clsid;
  return S_OK;
}
long WINAPI FakeCreate(REFCLSID clsid, IUnknown* outer, unsigned long context, REFIID iid,
                       void** out) {
  calls.push_back("create");
  createdClass = clsid;
  createdOuter = outer;
  createdContext = context;
  createdIid = iid;
  if (FAILED(createResult)) return createResult;
  fake.AddRef();
  *out = static_cast<vek_IResMgr*>(&fake);
  return S_OK;
}
long WINAPI FakeUnreg(REFCLSID clsid) {
  calls.push_back(IsEqualCLSID(clsid, CLSID_ResMgr) ? "unreg ResMgr" : "unreg other");
  return S_OK;
}
long WINAPI FakeUninit() {
  calls.push_back("uninit");
  return S_OK;
}
const ComponentApi kRecording = {FakeInit, FakeReg, FakeCreate, FakeUnreg, FakeUninit};

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    createResult = S_OK;
    SetComponentApiForTests(&kRecording);
  }
  void TearDown() override {
    ShutdownComponents();
    SetComponentApiForTests(nullptr);
  }
};

using Calls = std::vector<std::string>;

TEST_F(LoaderTest, FirstCallRegistersAndCreatesOnce) {
  ResMgrHolder* holder = GetResMgr();
  ASSERT_NE(nullptr, holder);
  EXPECT_EQ(static_cast<vek_IResMgr*>(&fake), holder->resMgr);
  EXPECT_EQ(holder, GetResMgr());
  RegisterComponents();  // already ran
  EXPECT_EQ((Calls{"init", "reg", "create", "resmgr-init 2 null"}), calls);
  EXPECT_EQ(testing_support::ExeFolder() + L"\\skeldon.dat", registeredPath);
  EXPECT_TRUE(IsEqualCLSID(CLSID_ResMgr, registeredClass));
  EXPECT_TRUE(IsEqualCLSID(CLSID_ResMgr, createdClass));
  EXPECT_TRUE(IsEqualIID(IID_vek_IResMgr, createdIid));
  EXPECT_EQ(nullptr, createdOuter);
  EXPECT_EQ(1u, createdContext);
}

TEST_F(LoaderTest, ShutdownReleasesThenUnregistersThenUninitialisesOnce) {
  GetResMgr();
  calls.clear();
  ShutdownComponents();
  EXPECT_EQ((Calls{"release", "unreg ResMgr", "uninit"}), calls);
  calls.clear();
  ShutdownComponents();  // nothing left to do
  EXPECT_TRUE(calls.empty());
}

TEST_F(LoaderTest, FailedCreationLeavesTheHolderEmpty) {
  createResult = REGDB_E_CLASSNOTREG;
  ResMgrHolder* holder = GetResMgr();
  ASSERT_NE(nullptr, holder);
  EXPECT_EQ(nullptr, holder->resMgr);
  EXPECT_EQ((Calls{"init", "reg", "create"}), calls);
  calls.clear();
  ShutdownComponents();
  EXPECT_EQ((Calls{"unreg ResMgr", "uninit"}), calls);
}

TEST_F(LoaderTest, RegistrationAloneIsUndoneAtShutdown) {
  RegisterComponents();
  EXPECT_EQ((Calls{"init", "reg"}), calls);
  calls.clear();
  ShutdownComponents();
  EXPECT_EQ((Calls{"unreg ResMgr", "uninit"}), calls);
}

TEST(LoaderRealPath, ServesThePackAndLetsItGoAtShutdown) {
  ResMgrHolder* holder = GetResMgr();
  ASSERT_NE(nullptr, holder);
  ASSERT_NE(nullptr, holder->resMgr);
  wchar_t title[260] = {};
  WCHAR* buf = title;
  LONG len = 260;
  EXPECT_EQ(S_OK, holder->resMgr->QueryTxt(TXT_PRODUCT_TITLE, &buf, &len));
  EXPECT_STREQ(L"Quorvane简体繁体字转换器", title);
  // Serving from the module: sizes come without the loose files' folder.
  LONG w = 0, h = 0;
  holder->resMgr->GetBmpSizeById(BMP_DLG_ABOUT, &w, &h);
  EXPECT_EQ(430, w);
  EXPECT_EQ(240, h);
  ASSERT_NE(nullptr, GetModuleHandleW(L"skeldon.dat"));
  ShutdownComponents();
  // Released before unregistering, so modgate could free the pack.
  EXPECT_EQ(nullptr, GetModuleHandleW(L"skeldon.dat"));
}

}  // namespace
