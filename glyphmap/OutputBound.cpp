#include "glyphmap/OutputBound.h"

#include <cstdint>
#include <stdexcept>
#include <unordered_set>

#include "Conversion.hpp"
#include "ConversionChain.hpp"
#include "Converter.hpp"
#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Lexicon.hpp"

namespace glyphmap {
namespace {

void Collect(const opencc::DictPtr& dict, std::unordered_set<const opencc::Dict*>& seen,
             Expansion& step) {
  if (!dict || !seen.insert(dict.get()).second) return;
  if (const auto* group = dict->GetDictGroupItems()) {
    for (const auto& item : *group) Collect(item, seen, step);
    return;
  }
  opencc::LexiconPtr lexicon = dict->GetLexicon();
  for (const auto& entry : *lexicon) {
    const size_t keyBytes = entry->KeyView().size();
    if (keyBytes == 0) continue;
    for (const std::string& value : entry->Values()) step = step.Max({value.size(), keyBytes});
  }
}

}  // namespace

size_t Expansion::Bound(size_t n) const {
  // floor(n * num / den) + 1, in whole and remainder parts, none of them
  // allowed to wrap.
  const uint64_t v = static_cast<uint64_t>(n);
  uint64_t whole = 0, part = 0, total = 0;
  if (__builtin_mul_overflow(v / den, num, &whole) ||
      __builtin_mul_overflow(v % den, num, &part) ||
      __builtin_add_overflow(whole, part / den + 1, &total) ||
      total > static_cast<uint64_t>(SIZE_MAX)) {
    throw std::runtime_error(
        "文本过长, 转换结果超出可用的内存 / The text is too long: its converted form would not "
        "fit in memory");
  }
  return static_cast<size_t>(total);
}

Expansion ExpansionOf(const opencc::Converter& converter) {
  Expansion total;
  if (auto chain = converter.GetConversionChain()) {
    for (const auto& conversion : chain->GetConversions()) {
      std::unordered_set<const opencc::Dict*> seen;
      Expansion step;
      Collect(conversion->GetDict(), seen, step);
      total.num *= step.num;
      total.den *= step.den;
      if (total.num > (uint64_t{1} << 31) || total.den > (uint64_t{1} << 31)) {
        throw std::runtime_error("词典条目的译文过长 / The dictionaries lengthen a text beyond any bound");
      }
    }
  }
  return total;
}

}  // namespace glyphmap
