#pragma once
#include <cstdint>

#include "engine/ConvDirection.h"

// The standards of Traditional Chinese the user chooses between. One choice
// applies to both directions: the target of Simplified to Traditional and
// the source of Traditional to Simplified. Stored as the index below.
constexpr std::int32_t kStandardGeneric = 0;  // 通用繁体 (OpenCC's generic standard)
constexpr std::int32_t kStandardCount = 5;

// "通用繁体", "台湾正体", "台湾正体·常用词汇", "香港繁体", "香港繁体·常用词汇";
// an index out of range is the generic standard.
const wchar_t* StandardLabel(std::int32_t standard);
// glyphmap's configuration for a direction and standard ("s2t", "s2tw",
// "s2twp", "s2hk", "s2hkp", "t2s", "tw2s", "tw2sp", "hk2s", "hk2sp"); null
// for a direction outside 0..1. A standard out of range is the generic one.
const char* StandardConfigName(ConvDirection direction, std::int32_t standard);
// A stored value made safe: out of range reads as the generic standard.
std::int32_t ValidStandard(std::int32_t standard);
