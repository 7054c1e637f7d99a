#include "clipconv/HotkeyChoice.h"

namespace {

constexpr UINT kModifierSets[kModifierChoiceCount] = {
    MOD_CONTROL | MOD_ALT, MOD_CONTROL | MOD_SHIFT, MOD_ALT | MOD_SHIFT,
    MOD_CONTROL | MOD_ALT | MOD_SHIFT};

}  // namespace

UINT ModifierChoice(int index) {
  return index >= 0 && index < kModifierChoiceCount ? kModifierSets[index] : 0;
}

UINT KeyChoice(int index) {
  if (index < 0 || index >= kKeyChoiceCount) return 0;
  if (index < 26) return 'A' + index;
  if (index < 36) return '0' + (index - 26);
  return VK_F1 + (index - 36);
}

int ModifierChoiceIndex(UINT modifiers) {
  for (int i = 0; i < kModifierChoiceCount; ++i) {
    if (kModifierSets[i] == modifiers) return i;
  }
  return -1;
}

int KeyChoiceIndex(UINT key) {
  for (int i = 0; i < kKeyChoiceCount; ++i) {
    if (KeyChoice(i) == key) return i;
  }
  return -1;
}

bool IsOfferedHotkey(const Hotkey& hotkey) {
  return ModifierChoiceIndex(hotkey.modifiers) >= 0 && KeyChoiceIndex(hotkey.key) >= 0;
}

std::int32_t PackHotkey(const Hotkey& hotkey) {
  return static_cast<std::int32_t>((hotkey.modifiers & 0xFFFF) << 16 | (hotkey.key & 0xFFFF));
}

Hotkey UnpackHotkey(std::int32_t value, const Hotkey& fallback) {
  const auto bits = static_cast<std::uint32_t>(value);
  const Hotkey hotkey{bits >> 16, bits & 0xFFFF};
  return IsOfferedHotkey(hotkey) ? hotkey : fallback;
}

std::wstring ModifiersName(UINT modifiers) {
  std::wstring name;
  const auto add = [&name](const wchar_t* part) {
    if (!name.empty()) name += L'+';
    name += part;
  };
  if (modifiers & MOD_CONTROL) add(L"Ctrl");
  if (modifiers & MOD_ALT) add(L"Alt");
  if (modifiers & MOD_SHIFT) add(L"Shift");
  if (modifiers & MOD_WIN) add(L"Win");
  return name;
}

std::wstring KeyName(UINT key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    return std::wstring(1, static_cast<wchar_t>(key));
  }
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  return L"?";
}

std::wstring HotkeyName(const Hotkey& hotkey) {
  return ModifiersName(hotkey.modifiers) + L"+" + KeyName(hotkey.key);
}
