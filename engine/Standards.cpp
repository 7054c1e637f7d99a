#include "engine/Standards.h"

namespace {

struct Standard {
  const wchar_t* label;
  const char* sim2tra;
  const char* tra2sim;
};

constexpr Standard kStandards[kStandardCount] = {
    {L"通用繁体", "s2t", "t2s"},
    {L"台湾正体", "s2tw", "tw2s"},
    {L"台湾正体·常用词汇", "s2twp", "tw2sp"},
    {L"香港繁体", "s2hk", "hk2s"},
    {L"香港繁体·常用词汇", "s2hkp", "hk2sp"},
};

}  // namespace

std::int32_t ValidStandard(std::int32_t standard) {
  return standard >= 0 && standard < kStandardCount ? standard : kStandardGeneric;
}

const wchar_t* StandardLabel(std::int32_t standard) {
  return kStandards[ValidStandard(standard)].label;
}

const char* StandardConfigName(ConvDirection direction, std::int32_t standard) {
  const Standard& s = kStandards[ValidStandard(standard)];
  return direction == Sim2Tra ? s.sim2tra : direction == Tra2Sim ? s.tra2sim : nullptr;
}
