#pragma once
// How the file pages write their results: the encoding, where each output
// goes, what happens to an output file that is already there, whether the
// name is converted too, and whether a dropped folder's sub-folders are
// queued. Kept in the settings file; a file without these keys (written by
// an older program) reads the defaults, which are how outputs were always
// written: UTF-8, appended, in the output folder, under the source's name.
#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/ConvDirection.h"
#include "pipeline/OutputRules.h"
#include "pipeline/RunSettings.h"

class CfgReader;
class CfgStore;

// The stored options; a missing key or a value out of range reads as its default.
OutputOptions ReadOutputOptions(const CfgReader& store);
// Stores every option; the name of the first one that could not be stored
// (for the user), or null when all were.
const wchar_t* WriteOutputOptions(CfgStore& store, const OutputOptions& options);

// "源文件所在文件夹" etc., for the settings dialog.
const wchar_t* OutputPlaceLabel(std::int32_t place);
const wchar_t* ExistingOutputLabel(std::int32_t rule);

// What a run of the file pages of `direction` carries: the standard and word
// list, the output options and the output folder, read now (on the user
// interface thread, when a run starts) with one open of the settings file.
// When it cannot be opened (another program holds it past the store's
// wait), *unreadable gets the system's reason and the result the defaults;
// ERROR_SUCCESS otherwise.
RunSettings ReadRunSettings(const CfgStore& store, ConvDirection direction,
                            DWORD* unreadable = nullptr);
