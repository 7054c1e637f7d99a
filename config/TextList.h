#pragma once
#include <cstdint>

// A multi-item text held by value: items separated by line feeds, as the
// resource pack stores its lists ("ANSI\nUnicode\nUnicode big endian\nUTF-8\n").
struct TextList {
  static constexpr int kTextUnits = 1024;

  wchar_t text[kTextUnits] = {};
  wchar_t separator = L'\n';
  std::int32_t count = 0;

  // Copies `source` (at most 1023 units; the rest is dropped) and returns
  // the number of items: one per line feed, plus one for a last item that
  // has none. An empty or missing text has none.
  std::int32_t Load(const wchar_t* source);

  // Copies item `index` (0-based) into `destination`, which holds
  // `destinationBytes` bytes and is zero-filled first; an item longer than
  // the destination is cut to fit with its terminator. False, leaving the
  // destination empty, when there is no such item.
  bool GetItem(std::int32_t index, wchar_t* destination, std::int32_t destinationBytes) const;
};
