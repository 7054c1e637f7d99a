#pragma once
// How the file pages write their results: the encoding, where each output
// goes, what happens to an output file that is already there, whether the
// name is converted too, and whether a dropped folder's sub-folders are
// queued. Kept in the settings file; a file without these keys (written by
// an older program) reads the defaults, which are how outputs were always
// written: UTF-8, appended, in the output folder, under the source's name.
#include <cstdint>
#include <string>

#include "engine/ConvDirection.h"

class CfgStore;

enum OutputPlace : std::int32_t { OUTPLACE_FOLDER = 0, OUTPLACE_BESIDE_SOURCE = 1, OUTPLACE_COUNT = 2 };
enum ExistingOutputRule : std::int32_t {
  EXISTING_APPEND = 0,
  EXISTING_REPLACE = 1,
  EXISTING_KEEP_BOTH = 2,  // the new output takes "name (2).ext", the next free number
  EXISTING_COUNT = 3
};

struct OutputOptions {
  std::int32_t encoding = 0;  // OutputEncodingChoice (textio/TextEncoder.h)
  std::int32_t place = OUTPLACE_FOLDER;
  std::int32_t existing = EXISTING_APPEND;
  bool convertNames = false;
  bool includeSubfolders = false;
};

// The stored options; a missing key or a value out of range reads as its default.
OutputOptions ReadOutputOptions(const CfgStore& store);
// Stores every option; the name of the first one that could not be stored
// (for the user), or null when all were.
const wchar_t* WriteOutputOptions(CfgStore& store, const OutputOptions& options);

// "源文件所在文件夹" etc., for the settings dialog.
const wchar_t* OutputPlaceLabel(std::int32_t place);
const wchar_t* ExistingOutputLabel(std::int32_t rule);

// What an output beside its source adds before the extension: "(繁體)" on
// the Simplified to Traditional side ("(台湾正体)" etc. for a regional
// standard), "(简体)" on the other.
std::wstring BesideSourceSuffix(ConvDirection direction, std::int32_t standard);
// `name` with `suffix` before its extension ("a.srt" + "(繁體)" gives
// "a(繁體).srt"; a name without one, or starting with its only dot, ends with it).
std::wstring InsertBeforeExtension(const std::wstring& name, const std::wstring& suffix);
// "name (n).ext" for keeping both.
std::wstring NumberedName(const std::wstring& name, int number);
