#pragma once
// The settings of converting the clipboard from anywhere: whether the two
// global hotkeys are on and which they are, and whether the close button
// leaves the program in the notification area. Kept in the settings file
// beside the other options under keys of their own; a file without them
// (written by an older program) reads the defaults, and the keys older
// programs read are never touched.
#include "clipconv/HotkeyChoice.h"
#include "engine/ConvDirection.h"

class CfgReader;
class CfgStore;

struct ClipboardOptions {
  bool hotkeysOn = true;
  Hotkey sim2Tra = kDefaultSim2TraHotkey;
  Hotkey tra2Sim = kDefaultTra2SimHotkey;
  bool keepInTray = false;  // off: the close button ends the program, as it always did

  const Hotkey& HotkeyFor(ConvDirection direction) const {
    return direction == Tra2Sim ? tra2Sim : sim2Tra;
  }
};

// The stored options; a missing key or a value out of range reads as its default.
ClipboardOptions ReadClipboardOptions(const CfgReader& store);
// Stores every option; the name of the first one that could not be stored
// (for the user), or null when all were.
const wchar_t* WriteClipboardOptions(CfgStore& store, const ClipboardOptions& options);
