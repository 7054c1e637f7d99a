// The clipboard's settings beside an older program's, and the Run entry.
#include <windows.h>
// After windows.h:
#include <gtest/gtest.h>

#include <string>

#include "clipconv/ClipboardOptions.h"
#include "clipconv/RunAtLogon.h"
#include "config/CfgStore.h"
#include "tests/support/TempDir.h"
#include "tests/unit/config_file_view.h"

using config_test::CfgFileView;

namespace {

CfgFileView ReadView(const std::wstring& path) {
  return CfgFileView{testing_support::ReadFileBytes(path)};
}

std::wstring RegistryRunValue() {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return L"<no Run key>";
  }
  const LONG result = RegQueryValueExW(key, kRunValueName, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? std::wstring(value) : L"<absent>";
}

}  // namespace

// A file an older program wrote (keys 1 to 9) reads the defaults; storing
// the clipboard's options adds their keys after the others and leaves every
// byte an older program reads where and as it was.
TEST(ClipboardOptions, StoredBesideOlderKeysWhichStayAsTheyWere) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"clipconv_test.cfg";
  DeleteFileW(path.c_str());
  {
    CfgStore store(path.c_str());
    store.EnsureCurrent(L"C:\\Out");
    for (std::int32_t key = 2; key <= 9; ++key) {
      const std::int32_t value = key == 4 ? 3 : key % 2;
      ASSERT_GT(store.WriteValue(key, &value, sizeof(value)), 0);
    }
  }
  const CfgFileView before = ReadView(path);
  ASSERT_TRUE(before.Sound());

  CfgStore store(path.c_str());
  const ClipboardOptions defaults = ReadClipboardOptions(store);
  EXPECT_TRUE(defaults.hotkeysOn);
  EXPECT_EQ(HotkeyName(defaults.sim2Tra), L"Ctrl+Alt+F");
  EXPECT_EQ(HotkeyName(defaults.tra2Sim), L"Ctrl+Alt+J");
  EXPECT_FALSE(defaults.keepInTray);

  ClipboardOptions chosen;
  chosen.hotkeysOn = false;
  chosen.sim2Tra = Hotkey{MOD_CONTROL | MOD_SHIFT, VK_F9};
  chosen.tra2Sim = Hotkey{MOD_ALT | MOD_SHIFT, '7'};
  chosen.keepInTray = true;
  EXPECT_EQ(WriteClipboardOptions(store, chosen), nullptr);

  const CfgFileView after = ReadView(path);
  ASSERT_TRUE(after.Sound());
  EXPECT_EQ(after.version(), before.version());
  EXPECT_EQ(after.count(), before.count() + 4);
  for (std::int32_t key = 1; key <= 9; ++key) {
    SCOPED_TRACE(key);
    const int i = before.Find(key);
    ASSERT_GE(i, 0);
    EXPECT_EQ(after.Find(key), i);
    EXPECT_EQ(after.entry(i).offset, before.entry(i).offset);
    EXPECT_EQ(after.entry(i).size, before.entry(i).size);
    EXPECT_EQ(after.value(i), before.value(i));
  }

  const ClipboardOptions read = ReadClipboardOptions(store);
  EXPECT_FALSE(read.hotkeysOn);
  EXPECT_EQ(HotkeyName(read.sim2Tra), L"Ctrl+Shift+F9");
  EXPECT_EQ(HotkeyName(read.tra2Sim), L"Alt+Shift+7");
  EXPECT_TRUE(read.keepInTray);

  // A hotkey the settings do not offer (no modifier; a key outside the
  // lists) reads as the default.
  const std::int32_t noModifier = 'K';
  const std::int32_t oddKey = (MOD_CONTROL | MOD_ALT) << 16 | VK_RETURN;
  store.WriteValue(CFGKEY_HOTKEY_SIM2TRA, &noModifier, sizeof(noModifier));
  store.WriteValue(CFGKEY_HOTKEY_TRA2SIM, &oddKey, sizeof(oddKey));
  EXPECT_EQ(ReadClipboardOptions(store).sim2Tra, kDefaultSim2TraHotkey);
  EXPECT_EQ(ReadClipboardOptions(store).tra2Sim, kDefaultTra2SimHotkey);
  DeleteFileW(path.c_str());
}

// Start with Windows: the current user's Run entry names this program in
// quotes while on, and is gone when off (off twice is still fine).
TEST(RunAtLogon, AddsAndRemovesTheCurrentUsersRunEntry) {
  ASSERT_EQ(SetRunAtLogon(false), ERROR_SUCCESS);
  EXPECT_FALSE(RunsAtLogon());
  ASSERT_EQ(SetRunAtLogon(true), ERROR_SUCCESS);
  EXPECT_TRUE(RunsAtLogon());
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  EXPECT_EQ(RegistryRunValue(), L"\"" + std::wstring(exe) + L"\"");
  ASSERT_EQ(SetRunAtLogon(false), ERROR_SUCCESS);
  EXPECT_FALSE(RunsAtLogon());
  EXPECT_EQ(RegistryRunValue(), L"<absent>");
  EXPECT_EQ(SetRunAtLogon(false), ERROR_SUCCESS);
}
