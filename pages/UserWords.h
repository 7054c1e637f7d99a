#pragma once
// The user's own word lists, one per direction, in the settings folder
// (beside the settings file): UTF-8 text, "source TAB result" per line.
#include <windows.h>

#include <string>

#include "config/CfgStore.h"
#include "engine/ConvEngine.h"

// "Words-Sim2Tra.txt" or "Words-Tra2Sim.txt" in the folder of the store's
// file; empty for a direction outside 0..1 or a store without a path.
std::wstring WordListPath(const CfgStore& store, ConvDirection direction);
// What a job of the direction converts with now: the stored standard and
// the direction's word list.
ConvOptions CurrentConvOptions(const CfgStore& store, ConvDirection direction);
// "繁体标准：" and the standard's name, as a page shows it.
std::wstring StandardCaption(std::int32_t standard);
// The stored standard (the generic one when absent or out of range).
std::int32_t StoredStandard(const CfgReader& store);
// Creates the direction's list with a short explanatory header when it
// does not exist. False when it neither exists nor can be created.
bool EnsureWordList(const std::wstring& path, ConvDirection direction);
// "编辑自定义词汇": creates the list when needed and opens it in the
// system's editor for text files. A failure is told in a message box over
// `owner`. True when the editor was started.
bool EditWordList(HWND owner, const CfgStore& store, ConvDirection direction);
