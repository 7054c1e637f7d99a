#include "clipconv/ClipboardOptions.h"

#include "config/CfgStore.h"

namespace {

// The stored int32, or `fallback` when the key is absent or of another size.
std::int32_t ReadInt(const CfgReader& store, std::int32_t key, std::int32_t fallback) {
  std::int32_t value = 0;
  return store.ReadValue(key, &value, sizeof(value)) == sizeof(value) ? value : fallback;
}

}  // namespace

ClipboardOptions ReadClipboardOptions(const CfgReader& store) {
  ClipboardOptions o;
  o.hotkeysOn = ReadInt(store, CFGKEY_HOTKEYS_ON, 1) != 0;
  o.sim2Tra = UnpackHotkey(ReadInt(store, CFGKEY_HOTKEY_SIM2TRA, 0), kDefaultSim2TraHotkey);
  o.tra2Sim = UnpackHotkey(ReadInt(store, CFGKEY_HOTKEY_TRA2SIM, 0), kDefaultTra2SimHotkey);
  o.keepInTray = ReadInt(store, CFGKEY_KEEP_IN_TRAY, 0) == 1;
  return o;
}

const wchar_t* WriteClipboardOptions(CfgStore& store, const ClipboardOptions& o) {
  const std::int32_t on = o.hotkeysOn ? 1 : 0;
  const std::int32_t sim2Tra = PackHotkey(o.sim2Tra);
  const std::int32_t tra2Sim = PackHotkey(o.tra2Sim);
  const std::int32_t tray = o.keepInTray ? 1 : 0;
  const struct {
    std::int32_t key;
    const std::int32_t* value;
    const wchar_t* label;
  } items[] = {{CFGKEY_HOTKEYS_ON, &on, L"快捷键开关"},
               {CFGKEY_HOTKEY_SIM2TRA, &sim2Tra, L"简→繁快捷键"},
               {CFGKEY_HOTKEY_TRA2SIM, &tra2Sim, L"繁→简快捷键"},
               {CFGKEY_KEEP_IN_TRAY, &tray, L"关闭窗口时保留在通知区域"}};
  for (const auto& item : items) {
    if (store.WriteValue(item.key, item.value, sizeof(std::int32_t)) == 0) return item.label;
  }
  return nullptr;
}
