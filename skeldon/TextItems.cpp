#include "skeldon/TextItems.h"

#include <cwchar>

namespace skeldon {

namespace {

constexpr WCHAR kItemSeparator = L'\n';

// Calls visit(start, length) for each item in order; stops when it
// returns false.
template <typename Visit>
void WalkItems(const WCHAR* text, Visit visit) {
  const size_t n = wcslen(text);
  size_t begin = 0;
  for (size_t i = 0; i < n; ++i) {
    const bool separator = text[i] == kItemSeparator;
    if (!separator && i != n - 1) continue;
    const size_t end = separator ? i : i + 1;
    if (!visit(text + begin, end - begin)) return;
    begin = i + 1;
  }
}

}  // namespace

LONG CountTextItems(const WCHAR* text) {
  LONG count = 0;
  WalkItems(text, [&](const WCHAR*, size_t) {
    ++count;
    return true;
  });
  return count;
}

bool FindTextItem(const WCHAR* text, LONG index, const WCHAR** start, size_t* length) {
  if (index < 0) return false;
  LONG current = 0;
  bool found = false;
  WalkItems(text, [&](const WCHAR* s, size_t len) {
    if (current++ != index) return true;
    *start = s;
    *length = len;
    found = true;
    return false;
  });
  return found;
}

}  // namespace skeldon
