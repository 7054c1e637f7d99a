#pragma once
// A global hotkey as the user chooses it: modifiers (MOD_ALT, MOD_CONTROL,
// MOD_SHIFT) and one key (A-Z, 0-9, F1-F12), stored in the settings file
// as one int32 (modifiers in the high 16 bits, the virtual key in the low).
#include <windows.h>

#include <cstdint>
#include <string>

struct Hotkey {
  UINT modifiers = 0;
  UINT key = 0;
  bool operator==(const Hotkey& o) const { return modifiers == o.modifiers && key == o.key; }
  bool operator!=(const Hotkey& o) const { return !(*this == o); }
};

// Ctrl+Alt+F and Ctrl+Alt+J.
constexpr Hotkey kDefaultSim2TraHotkey{MOD_CONTROL | MOD_ALT, 'F'};
constexpr Hotkey kDefaultTra2SimHotkey{MOD_CONTROL | MOD_ALT, 'J'};

// The modifier sets and keys the settings offer, in their lists' order.
constexpr int kModifierChoiceCount = 4;
constexpr int kKeyChoiceCount = 26 + 10 + 12;
UINT ModifierChoice(int index);  // 0 for an index out of range
UINT KeyChoice(int index);       // 0 for an index out of range
// The list index of a modifier set or key; -1 when not offered.
int ModifierChoiceIndex(UINT modifiers);
int KeyChoiceIndex(UINT key);

// True for modifiers and a key that the lists offer.
bool IsOfferedHotkey(const Hotkey& hotkey);
std::int32_t PackHotkey(const Hotkey& hotkey);
// A stored value; `fallback` when it is not an offered hotkey.
Hotkey UnpackHotkey(std::int32_t value, const Hotkey& fallback);

// "Ctrl+Alt", "F", "Ctrl+Alt+F".
std::wstring ModifiersName(UINT modifiers);
std::wstring KeyName(UINT key);
std::wstring HotkeyName(const Hotkey& hotkey);
