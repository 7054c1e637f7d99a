#include "pipeline/OutputRules.h"

#include <windows.h>

#include <cwctype>

#include "engine/Standards.h"

std::wstring BesideSourceSuffix(ConvDirection direction, std::int32_t standard) {
  if (direction == Tra2Sim) return L"(简体)";
  if (ValidStandard(standard) == kStandardGeneric) return L"(繁體)";
  return std::wstring(L"(") + StandardLabel(standard) + L")";
}

std::wstring InsertBeforeExtension(const std::wstring& name, const std::wstring& suffix) {
  const size_t dot = name.find_last_of(L'.');
  if (dot == std::wstring::npos || dot == 0) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

std::wstring NumberedName(const std::wstring& name, int number) {
  return InsertBeforeExtension(name, L" (" + std::to_wstring(number) + L")");
}

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "a(繁體) (12)" without its " (12)".
std::wstring WithoutNumber(const std::wstring& stem) {
  if (stem.size() < 4 || stem.back() != L')') return stem;
  const size_t open = stem.rfind(L" (");
  if (open == std::wstring::npos || open + 3 > stem.size() - 1) return stem;
  for (size_t i = open + 2; i + 1 < stem.size(); ++i) {
    if (!std::iswdigit(stem[i])) return stem;
  }
  return stem.substr(0, open);
}

bool IsDeviceStem(std::wstring stem) {
  for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
         stem[3] >= L'0' && stem[3] <= L'9';
}

}  // namespace

bool IsBesideSourceOutputName(const std::wstring& name, ConvDirection direction) {
  const size_t dot = name.find_last_of(L'.');
  const std::wstring stem =
      WithoutNumber(dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot));
  for (std::int32_t standard = 0; standard < kStandardCount; ++standard) {
    if (EndsWith(stem, BesideSourceSuffix(direction, standard))) return true;
  }
  return false;
}

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
  for (wchar_t c : name) {
    if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
  }
  // "nul.txt" and "nul .txt" are the device as much as "nul" is.
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  return !IsDeviceStem(stem);
}
