#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace opencc {
class Dict;
}

namespace glyphmap {

class ImageReader;
class ImageWriter;

// A character entry with several values in one conversion step, and what
// the step's own phrases say about it.
struct CharacterChoice {
  std::vector<std::string> values;              // in the dictionary's order; the first is taken
  std::vector<std::vector<std::string>> hints;  // per value: up to two words of phrases using it
  // Per mille of the phrases holding the character (at a place where they
  // take one of its values) that take another value than the first. The
  // phrase lists exist to overrule the character entries, so a character
  // they often overrule is one whose first value is often wrong alone.
  int rank = 0;
  // How many of the step's phrases take another value than the first for
  // the character: how many words its other values have.
  int words = 0;
};

// The multi-valued character entries of each step of a conversion chain,
// ranked from the step's phrase dictionaries when the conversion is built.
class PlaceTable {
 public:
  using Unit = std::vector<std::shared_ptr<opencc::Dict>>;

  // Places whose character ranks at least this are marked by default. It
  // is the lowest rank among the characters every proofreader knows to be
  // ambiguous (后, at 90 from OpenCC 1.4.1's STPhrases: 89 of 985 phrases
  // choose 后 over 後), and above the characters whose first value is
  // practically always right (个 39, 了 20, 果 13, 它 0).
  static constexpr int kThreshold = 90;
  // ... and whose other values have at least this many words. A value that
  // only a handful of phrases take (逕 in 11 of STPhrases' 49,645, 霑 in 13,
  // 薹 in 6; in the other direction 於 in 25 of TSPhrases' 477, a list of
  // exceptions only) belongs to a closed set of words, which the phrase
  // lists spell out: alone, the character is practically always its first
  // value, however large that handful's share. A value taken in many
  // phrases (髮 in 366, 乾 in 727) is a word of its own that no list can
  // enumerate. The fewest among the well-known ambiguous characters are
  // 余's (餘 in 47). Together: about 4.7 marks per 1,000 Han characters on
  // Debian's Chinese manual pages (5.1 by the rank alone), 6.7 on classical
  // poems (14.6).
  static constexpr int kWords = 47;
  static bool WorthALook(int rank, int words) { return rank >= kThreshold && words >= kWords; }

  // `chain`: each step's lookup units in order; `segmentation`: the
  // segmentation's unit (null without one), whose phrases count for the
  // first step too.
  PlaceTable(const Unit* segmentation, const std::vector<std::vector<Unit>>& chain);
  // The table as bytes, and back (ImageDamaged for bytes that do not hold one).
  void Save(ImageWriter& out) const;
  static std::unique_ptr<const PlaceTable> Load(ImageReader& in);

  // The entry that decides `cp` alone in step `step`, when it has several
  // values; null otherwise.
  const CharacterChoice* Find(size_t step, uint32_t cp) const {
    if (step >= steps_.size()) return nullptr;
    // Most characters have no such entry: a bit says so before the lookup.
    if (cp < kBitLimit && !(bits_[step][cp >> 6] >> (cp & 63) & 1)) return nullptr;
    auto it = steps_[step].find(cp);
    return it == steps_[step].end() ? nullptr : &it->second;
  }
  size_t Count(size_t step) const { return step < steps_.size() ? steps_[step].size() : 0; }
  // Whether a text holding `cp` may hold a place (of those worth a look,
  // or any with `everyPlace`): `cp` has such an entry in the first step,
  // or may become a character that has one in a later step. A text without
  // any such character has no place.
  bool MayLead(uint32_t cp, bool everyPlace) const {
    return cp >= kBitLimit || (leads_[everyPlace ? 1 : 0][cp >> 6] >> (cp & 63) & 1);
  }

 private:
  PlaceTable() = default;
  void FindLeads(const std::vector<std::vector<Unit>>& chain);

  static constexpr uint32_t kBitLimit = 0x30000;  // the Han planes
  std::vector<std::unordered_map<uint32_t, CharacterChoice>> steps_;
  std::vector<std::vector<uint64_t>> bits_;  // per step: a bit per code point below kBitLimit with an entry
  std::vector<uint64_t> leads_[2];           // MayLead's bits: [0] by default, [1] for every place
};

}  // namespace glyphmap
