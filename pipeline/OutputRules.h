#pragma once
// How a run writes its outputs: the encoding, where each output goes, what
// happens to an output file that is already there, whether the name is
// converted too, and whether a folder's sub-folders are taken; and the
// names an output gets by them. The file pages keep these in the settings
// file (pages/OutputOptions.h), the command line takes them as options.
#include <cstdint>
#include <string>

#include "engine/ConvDirection.h"

enum OutputPlace : std::int32_t { OUTPLACE_FOLDER = 0, OUTPLACE_BESIDE_SOURCE = 1, OUTPLACE_COUNT = 2 };
enum ExistingOutputRule : std::int32_t {
  EXISTING_APPEND = 0,
  EXISTING_REPLACE = 1,
  EXISTING_KEEP_BOTH = 2,  // the new output takes "name (2).ext", the next free number
  EXISTING_COUNT = 3,
  // The command line's default, never stored: an output that is there
  // fails its file and stays as it is.
  EXISTING_REFUSE = 100
};

struct OutputOptions {
  std::int32_t encoding = 0;  // OutputEncodingChoice (textio/TextEncoder.h)
  std::int32_t place = OUTPLACE_FOLDER;
  std::int32_t existing = EXISTING_APPEND;
  bool convertNames = false;
  bool includeSubfolders = false;
};

// What an output beside its source adds before the extension: "(繁體)" on
// the Simplified to Traditional side ("(台湾正体)" etc. for a regional
// standard), "(简体)" on the other.
std::wstring BesideSourceSuffix(ConvDirection direction, std::int32_t standard);
// `name` with `suffix` before its extension ("a.srt" + "(繁體)" gives
// "a(繁體).srt"; a name without one, or starting with its only dot, ends with it).
std::wstring InsertBeforeExtension(const std::wstring& name, const std::wstring& suffix);
// "name (n).ext" for keeping both.
std::wstring NumberedName(const std::wstring& name, int number);
// True when `name` is what an output beside its source is called in
// `direction` under any standard ("a(繁體).srt", "a(台湾正体) (2).srt"):
// a folder's files of that kind are earlier outputs, not sources.
bool IsBesideSourceOutputName(const std::wstring& name, ConvDirection direction);
// True when `name` can be a file's name: not empty, no reserved or
// control character, no trailing dot or space, and no device name
// ("NUL", "COM1.txt", ...).
bool IsPlainFileName(const std::wstring& name);
