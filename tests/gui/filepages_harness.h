#pragma once
// What the file pages' GUI tests share: COM, the common controls and the
// real resource pack for the whole run, a settings file of the test's own,
// and a modal run answered from a timer.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <functional>
#include <memory>
#include <string>

#include "config/CfgStore.h"
#include "loader/ResMgrHolder.h"
#include "tests/support/TempDir.h"

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
