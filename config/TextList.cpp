#include "config/TextList.h"

#include <cstring>
#include <cwchar>

std::int32_t TextList::Load(const wchar_t* source) {
  count = 0;
  std::memset(text, 0, sizeof text);
  separator = L'\n';
  if (source) std::wcsncpy(text, source, kTextUnits - 1);
  const size_t n = std::wcslen(text);
  for (size_t i = 0; i < n; ++i) {
    if (text[i] == separator || i + 1 == n) ++count;
  }
  return count;
}

bool TextList::GetItem(std::int32_t index, wchar_t* destination,
                       std::int32_t destinationBytes) const {
  if (!destination || destinationBytes <= 0) return false;
  std::memset(destination, 0, static_cast<size_t>(destinationBytes));
  const size_t roomUnits = static_cast<size_t>(destinationBytes) / sizeof(wchar_t);
  const size_t n = wcsnlen(text, kTextUnits);
  size_t start = 0;
  std::int32_t item = 0;
  for (size_t i = 0; i < n; ++i) {
    if (text[i] != separator && i + 1 != n) continue;
    const size_t end = text[i] == separator ? i : i + 1;  // the end unit only if it is text
    if (item == index) {
      if (roomUnits == 0) return true;
      size_t units = end - start;
      if (units > roomUnits - 1) units = roomUnits - 1;
      std::wmemcpy(destination, text + start, units);
      return true;
    }
    ++item;
    start = i + 1;
  }
  return false;
}
