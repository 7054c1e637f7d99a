#pragma once
// What the file pages' GUI tests share: COM, the common controls and the
// real resource pack for the whole run, a settings file of the test's own,
// a file page on a host window with its message boxes recorded, and a modal
// run answered from a timer. For test programs that link the pages library.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "fw/Controls.h"
#include "fw/MessageBox.h"
#include "loader/ResMgrHolder.h"
#include "pages/FilePagesIds.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowPixels.h"

namespace filepages_test {

// Brings COM, the common controls and the resource pack up once.
class PagesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    ASSERT_NE(GetResMgr(), nullptr);
    ASSERT_NE(GetResMgr()->resMgr, nullptr) << "skeldon.dat could not be loaded";
  }
  void TearDown() override {
    ShutdownComponents();
    CoUninitialize();
  }
};

// Registered once per test program.
inline const ::testing::Environment* const kPagesEnvironment =
    ::testing::AddGlobalTestEnvironment(new PagesEnvironment);

// A settings file in a fresh folder, with the defaults start-up writes
// (output folder `out` created, mode 0, index 0).
struct TestSettings {
  testing_support::TempDir dir{L"设置测试"};
  std::wstring outDir = dir / L"输出";
  std::unique_ptr<CfgStore> store;

  TestSettings() {
    store = std::make_unique<CfgStore>((dir / L"Tarnwell.cfg").c_str());
    store->EnsureCurrent(outDir.c_str());
  }
  std::wstring Folder() const {
    wchar_t folder[260] = {};
    store->ReadString(CFGKEY_OUTPUT_DIR, folder);
    return folder;
  }
  std::int32_t Value(std::int32_t key) const {
    std::int32_t value = 0x7777;
    store->ReadValue(key, &value, sizeof(value));
    return value;
  }
  void SetValue(std::int32_t key, std::int32_t value) {
    store->WriteValue(key, &value, sizeof(value));
  }
};

// A file page of class `Page` (made with a null parent) on a host window
// of the file pages' size, with a settings file of its own, a folder for
// source files, and every message box recorded and answered: `answer` for
// a Yes/No question, OK for the others.
template <class Page>
class PageFixture : public ::testing::Test {
 protected:
  explicit PageFixture(const std::wstring& sourceFolder) : src(sourceFolder) {}

  TestSettings settings;
  testing_support::TempDir src;
  fw::CStatic host;
  Page page{nullptr};
  std::vector<fw::MessageBoxCall> boxes;
  int answer = IDNO;
  fw::ScopedMessageBoxHook hook{[this](const fw::MessageBoxCall& call) {
    boxes.push_back(call);
    return (call.type & MB_YESNO) != 0 ? answer : IDOK;
  }};

  void SetUp() override {
    ASSERT_TRUE(host.Create(L"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 780, 520}, HWND{}));
    page.SetStore(settings.store.get());
    ASSERT_TRUE(page.Create(IDD_FILEPAGE_S2T, &host));
    page.SetWindowPos(nullptr, 7, 66, 766, 443, SWP_NOZORDER | SWP_SHOWWINDOW);
    testing_support::PumpMessages();
  }
  void TearDown() override {
    page.DestroyWindow();
    host.DestroyWindow();
  }

  // Writes a source file; returns its path.
  std::wstring Write(const std::wstring& name, const std::string& bytes) {
    testing_support::WriteFileBytes(src / name, bytes);
    return src / name;
  }
};

// The action a modal run's timer is to take (one at a time).
inline std::function<void()>*& PendingAction() {
  static std::function<void()>* pending = nullptr;
  return pending;
}

inline void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (PendingAction() != nullptr) {
    auto call = *PendingAction();
    PendingAction() = nullptr;
    call();
  }
}

// Runs `modal` (which shows a modal window and returns its result) while
// `act` is called once from a timer inside its loop.
inline INT_PTR RunModalWith(const std::function<INT_PTR()>& modal, std::function<void()> act,
                            UINT delayMs = 100) {
  PendingAction() = &act;
  UINT_PTR timer = SetTimer(nullptr, 0, delayMs, RunPendingAction);
  INT_PTR result = modal();
  KillTimer(nullptr, timer);
  PendingAction() = nullptr;
  return result;
}

// Sends a button click to `dialog` as the button itself would.
inline void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace filepages_test
