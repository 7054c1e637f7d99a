#include "glyphmap/PlaceTable.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Lexicon.hpp"
#include "glyphmap/ImageStream.h"
#include "glyphmap/PrefixDict.h"

namespace glyphmap {
namespace {

// A text's characters: code point and where each starts; false for a
// text that is not plain UTF-8 (such entries are left out).
struct Characters {
  std::vector<uint32_t> codePoints;
  std::vector<size_t> starts;  // one more than the characters: the end
};

bool Split(std::string_view text, Characters& out) {
  out.codePoints.clear();
  out.starts.clear();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = p[i];
    const size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                   : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    const uint32_t cp = n == 1 ? lead : DecodeCharacter(p + i, n);
    if (cp == kNoCodePoint) return false;
    out.codePoints.push_back(cp);
    out.starts.push_back(i);
    i += n;
  }
  out.starts.push_back(text.size());
  return true;
}

void SetBit(std::vector<uint64_t>& bits, uint32_t cp) {
  if (cp < bits.size() * 64) bits[cp >> 6] |= uint64_t{1} << (cp & 63);
}

// Characters past the bits count as set.
bool TestBit(const std::vector<uint64_t>& bits, uint32_t cp) {
  return cp >= bits.size() * 64 || (bits[cp >> 6] >> (cp & 63) & 1);
}

// The dictionaries of some units, each once, in order.
void AddDicts(const PlaceTable::Unit& unit, std::vector<const opencc::Dict*>& out) {
  for (const auto& dict : unit) {
    if (dict && std::find(out.begin(), out.end(), dict.get()) == out.end()) out.push_back(dict.get());
  }
}

// The step's multi-valued character entries: for each character, the
// first single-character entry of the step's units decides, as lookups do.
std::unordered_map<uint32_t, CharacterChoice> FindChoices(const std::vector<PlaceTable::Unit>& units) {
  std::unordered_map<uint32_t, CharacterChoice> choices;
  std::unordered_set<uint32_t> seen;
  Characters key;
  for (const auto& unit : units) {
    for (const auto& dict : unit) {
      if (!dict) continue;
      for (const auto& entry : *dict->GetLexicon()) {
        if (!Split(entry->KeyView(), key) || key.codePoints.size() != 1) continue;
        if (!seen.insert(key.codePoints[0]).second) continue;
        if (entry->NumValues() < 2) continue;
        CharacterChoice& choice = choices[key.codePoints[0]];
        choice.values = entry->Values();
        choice.hints.resize(choice.values.size());
      }
    }
  }
  return choices;
}

// Counts, over the phrases of `dicts`, which value each multi-valued
// character takes, ranks the characters, and keeps the most used two-
// character words of each value as its hints.
void RankFromPhrases(const std::vector<const opencc::Dict*>& dicts,
                     std::unordered_map<uint32_t, CharacterChoice>& choices) {
  struct Tally {
    uint32_t keep = 0, other = 0;
    std::vector<std::vector<std::string>> words;  // per value: two-character words using it
    std::vector<std::string> longer;              // per value: the shortest longer word
  };
  std::unordered_map<uint32_t, Tally> tallies;
  Characters key, value;
  for (const opencc::Dict* dict : dicts) {
    for (const auto& entry : *dict->GetLexicon()) {
      if (entry->NumValues() == 0) continue;
      const std::string_view v = entry->GetDefaultView();
      if (!Split(entry->KeyView(), key) || key.codePoints.size() < 2) continue;
      if (!Split(v, value) || value.codePoints.size() != key.codePoints.size()) continue;
      for (size_t i = 0; i < key.codePoints.size(); ++i) {
        auto found = choices.find(key.codePoints[i]);
        if (found == choices.end()) continue;
        const std::string_view taken = v.substr(value.starts[i], value.starts[i + 1] - value.starts[i]);
        const auto& values = found->second.values;
        const auto at = std::find(values.begin(), values.end(), taken);
        if (at == values.end()) continue;
        const size_t j = static_cast<size_t>(at - values.begin());
        Tally& tally = tallies[key.codePoints[i]];
        (j == 0 ? tally.keep : tally.other)++;
        tally.words.resize(values.size());
        tally.longer.resize(values.size());
        if (value.codePoints.size() == 2) {
          tally.words[j].emplace_back(v);
        } else if (tally.longer[j].empty() || v.size() < tally.longer[j].size()) {
          tally.longer[j] = std::string(v);
        }
      }
    }
  }
  // How common a two-character word is: how many phrases hold it.
  std::unordered_map<std::string, uint32_t> uses;
  for (const auto& [cp, tally] : tallies) {
    for (const auto& words : tally.words) {
      for (const auto& w : words) uses.emplace(w, 0);
    }
  }
  for (const opencc::Dict* dict : dicts) {
    for (const auto& entry : *dict->GetLexicon()) {
      if (entry->NumValues() == 0) continue;
      const std::string_view v = entry->GetDefaultView();
      if (!Split(v, value)) continue;
      for (size_t i = 0; i + 2 < value.starts.size(); ++i) {
        auto it = uses.find(std::string(v.substr(value.starts[i], value.starts[i + 2] - value.starts[i])));
        if (it != uses.end()) ++it->second;
      }
    }
  }
  for (auto& [cp, tally] : tallies) {
    CharacterChoice& choice = choices[cp];
    choice.rank = static_cast<int>(uint64_t{1000} * tally.other / (tally.keep + tally.other));
    choice.words = static_cast<int>(tally.other);
    for (size_t j = 0; j < tally.words.size() && j < choice.hints.size(); ++j) {
      auto& words = tally.words[j];
      std::sort(words.begin(), words.end(), [&](const std::string& a, const std::string& b) {
        const uint32_t ua = uses[a], ub = uses[b];
        return ua != ub ? ua > ub : a < b;
      });
      words.erase(std::unique(words.begin(), words.end()), words.end());
      for (size_t k = 0; k < words.size() && k < 2; ++k) choice.hints[j].push_back(words[k]);
      if (choice.hints[j].empty() && !tally.longer[j].empty()) choice.hints[j].push_back(tally.longer[j]);
    }
  }
}

}  // namespace

PlaceTable::PlaceTable(const Unit* segmentation, const std::vector<std::vector<Unit>>& chain) {
  for (size_t s = 0; s < chain.size(); ++s) {
    steps_.push_back(FindChoices(chain[s]));
    if (steps_.back().empty()) continue;
    std::vector<const opencc::Dict*> dicts;
    if (s == 0 && segmentation) AddDicts(*segmentation, dicts);
    for (const Unit& unit : chain[s]) AddDicts(unit, dicts);
    RankFromPhrases(dicts, steps_.back());
  }
  for (const auto& step : steps_) {
    bits_.emplace_back(kBitLimit / 64);
    for (const auto& [cp, choice] : step) SetBit(bits_.back(), cp);
  }
  FindLeads(chain);
}

void PlaceTable::FindLeads(const std::vector<std::vector<Unit>>& chain) {
  Characters key, value;
  for (int every = 0; every < 2; ++every) {
    std::vector<uint64_t> need;  // what leads to a place from the step after the one in hand
    for (size_t s = steps_.size(); s-- > 0;) {
      std::vector<uint64_t> here(kBitLimit / 64);
      // The step's own entries (a later step's all: it may raise a place
      // an earlier one found).
      for (const auto& [cp, choice] : steps_[s]) {
        if (every || s > 0 || WorthALook(choice.rank, choice.words)) SetBit(here, cp);
      }
      if (!need.empty()) {
        // A character the later step takes as it is, and the first character
        // of a key whose value here writes one (a key is found where its
        // first character stands).
        for (size_t i = 0; i < here.size(); ++i) here[i] |= need[i];
        std::vector<const opencc::Dict*> dicts;
        for (const Unit& unit : chain[s]) AddDicts(unit, dicts);
        for (const opencc::Dict* dict : dicts) {
          for (const auto& entry : *dict->GetLexicon()) {
            if (entry->NumValues() == 0 || !Split(entry->GetDefaultView(), value)) continue;
            if (std::none_of(value.codePoints.begin(), value.codePoints.end(),
                             [&](uint32_t cp) { return TestBit(need, cp); })) {
              continue;
            }
            if (Split(entry->KeyView(), key) && !key.codePoints.empty()) SetBit(here, key.codePoints[0]);
          }
        }
      }
      need = std::move(here);
    }
    leads_[every] = std::move(need);
  }
}

namespace {

void PutStrings(ImageWriter& out, const std::vector<std::string>& strings) {
  out.PutSize(strings.size());
  for (const std::string& s : strings) out.PutString(s);
}

std::vector<std::string> GetStrings(ImageReader& in) {
  std::vector<std::string> strings(in.GetSize());
  for (std::string& s : strings) s = in.GetString();
  return strings;
}

}  // namespace

void PlaceTable::Save(ImageWriter& out) const {
  out.PutSize(steps_.size());
  for (size_t s = 0; s < steps_.size(); ++s) {
    out.PutSize(steps_[s].size());
    for (const auto& [cp, choice] : steps_[s]) {
      out.Put(cp);
      PutStrings(out, choice.values);
      out.PutSize(choice.hints.size());
      for (const auto& hints : choice.hints) PutStrings(out, hints);
      out.Put<int32_t>(choice.rank);
      out.Put<int32_t>(choice.words);
    }
    out.PutSparse(bits_[s]);
  }
  out.PutSparse(leads_[0]);
  out.PutSparse(leads_[1]);
}

std::unique_ptr<const PlaceTable> PlaceTable::Load(ImageReader& in) {
  std::unique_ptr<PlaceTable> table(new PlaceTable);
  const size_t steps = in.GetSize();
  for (size_t s = 0; s < steps; ++s) {
    auto& choices = table->steps_.emplace_back();
    const size_t n = in.GetSize();
    for (size_t i = 0; i < n; ++i) {
      CharacterChoice& choice = choices[in.Get<uint32_t>()];
      choice.values = GetStrings(in);
      choice.hints.resize(in.GetSize());
      for (auto& hints : choice.hints) hints = GetStrings(in);
      ImageCheck(!choice.values.empty() && choice.hints.size() == choice.values.size());
      choice.rank = in.Get<int32_t>();
      choice.words = in.Get<int32_t>();
    }
    table->bits_.push_back(in.GetSparse<uint64_t>());
    ImageCheck(table->bits_.back().size() == kBitLimit / 64);
  }
  for (auto& leads : table->leads_) {
    leads = in.GetSparse<uint64_t>();
    ImageCheck(leads.size() == kBitLimit / 64);
  }
  return table;
}

}  // namespace glyphmap
