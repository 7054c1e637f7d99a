#pragma once
#include <cstddef>
#include <cstdint>

// How common a character is in Chinese text: the negative natural logarithm
// of its frequency, in quarters (lower is more common). The table holds the
// most common characters of Simplified and of Traditional text, sorted by
// code point; it is generated (tools/charfreq/make_table.py).
struct CharCost {
  std::uint16_t codePoint;
  std::uint8_t cost;
};
extern const CharCost kCharCosts[];
extern const std::size_t kCharCostCount;
