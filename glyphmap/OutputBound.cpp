#include "glyphmap/OutputBound.h"

#include <stdexcept>
#include <unordered_set>

#include "Conversion.hpp"
#include "ConversionChain.hpp"
#include "Converter.hpp"
#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Lexicon.hpp"
#include "MaxMatchSegmentation.hpp"

namespace glyphmap {
namespace {

void CheckDict(const opencc::DictPtr& dict, std::unordered_set<const opencc::Dict*>& seen) {
  if (!dict || !seen.insert(dict.get()).second) return;
  if (const auto* group = dict->GetDictGroupItems()) {
    for (const auto& item : *group) CheckDict(item, seen);
    return;
  }
  opencc::LexiconPtr lexicon = dict->GetLexicon();
  for (const auto& entry : *lexicon) {
    const size_t keyBytes = entry->KeyView().size();
    for (const std::string& value : entry->Values()) {
      if (3 * value.size() > 4 * keyBytes) {
        throw std::runtime_error("词典条目的译文过长 / A dictionary value is too long for its key: " +
                                 entry->Key() + " -> " + value);
      }
    }
  }
}

}  // namespace

void CheckOutputBound(const std::vector<std::shared_ptr<opencc::Dict>>& dicts) {
  std::unordered_set<const opencc::Dict*> seen;
  for (const auto& dict : dicts) CheckDict(dict, seen);
}

void CheckOutputBound(const opencc::Converter& converter) {
  std::unordered_set<const opencc::Dict*> seen;
  if (auto chain = converter.GetConversionChain()) {
    for (const auto& conversion : chain->GetConversions()) CheckDict(conversion->GetDict(), seen);
  }
}

}  // namespace glyphmap
