#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "glyphmap/FastConverter.h"
#include "glyphmap/OutputBound.h"
#include "glyphmap/Places.h"
#include "glyphmap/PrefixDict.h"
#include "glyphmap/WordList.h"

namespace opencc {
class Converter;
}

namespace glyphmap {

// One configuration, ready to convert: our own compiled form where it
// covers the configuration (it does for all the program's), else OpenCC's
// converter; optionally with a user's word list in front. Immutable, shared
// by every instance of the configuration.
class CompiledConversion {
 public:
  // `normalizer`: the configuration's normalization on its own, when it has
  // one (`converter` includes it).
  explicit CompiledConversion(std::shared_ptr<const opencc::Converter> converter,
                              std::shared_ptr<const opencc::Converter> normalizer = nullptr);
  explicit CompiledConversion(std::unique_ptr<FastConverter> fast);
  // `base` with the entries of `words` taking priority over every
  // dictionary: wherever an entry's source starts (the longest, where
  // several do), it is replaced by its result, and the text between
  // entries is converted by `base`. An entry is never cut by segmentation.
  CompiledConversion(std::shared_ptr<const CompiledConversion> base,
                     std::shared_ptr<const WordList> words);

  // Converts `text` into `out` and returns the byte count (no terminator).
  // `out` holds OutputBound(text.size()) bytes. Throws std::runtime_error
  // for text OpenCC would reject. A NUL passes through as itself, and the
  // text on either side converts on its own.
  size_t Convert(std::string_view text, char* out) const;
  // As Convert, and the places of the result where a character entry with
  // several values chose with no phrase nor word list entry deciding
  // (FastConverter::ConvertWithPlaces), appended to `places` in order.
  // Without our compiled form there are none.
  size_t ConvertWithPlaces(std::string_view text, char* out, bool everyPlace,
                           std::vector<Place>& places) const;
  // The bytes the output of `n` input bytes needs, its NUL included.
  size_t OutputBound(size_t n) const { return expansion_.Bound(n); }
  const Expansion& GetExpansion() const { return expansion_; }
  // The word list's report of skipped lines (UTF-8), empty without one.
  const std::string& WordListReport() const;

  // The largest k <= text.size() after which the text may be cut and its
  // two parts converted separately with the same result as the whole, or 0
  // (FastConverter::SafeCut, and never inside a word list's entry; only
  // after a NUL without our compiled form).
  size_t SafeCut(std::string_view text) const;

  // Our compiled form, when it is one without a word list.
  const FastConverter* Fast() const { return base_ ? nullptr : fast_.get(); }
  bool IsCompiled() const { return base_ ? base_->IsCompiled() : fast_ != nullptr; }
  size_t MemoryBytes() const { return base_ ? base_->MemoryBytes() : fast_ ? fast_->MemoryBytes() : 0; }

 private:
  // One piece of text without a NUL, the way OpenCC converts it.
  size_t ConvertPiece(std::string_view text, char* out) const;
  size_t ConvertWithWords(std::string_view text, char* out) const;
  // The same with places (ConversionPlaces.cpp), their offsets from `base`
  // in the result and from `sourceBase` in the text.
  size_t PieceWithPlaces(std::string_view text, char* out, bool everyPlace, size_t base,
                         size_t sourceBase, std::vector<Place>& places) const;
  size_t WordsWithPlaces(std::string_view text, char* out, bool everyPlace, size_t base,
                         size_t sourceBase, std::vector<Place>& places) const;
  // The word list's walk over `text` into `out`: wherever an entry's source
  // starts (the longest, where several do) its result is written, and each
  // stretch between entries goes to `between(from, to, out)`, which writes
  // it at `out` and returns the bytes written. Returns the bytes written.
  template <typename Between>
  size_t WalkWords(std::string_view text, char* out, Between&& between) const;

  std::unique_ptr<FastConverter> fast_;
  std::shared_ptr<const opencc::Converter> opencc_;  // kept only without fast_
  std::shared_ptr<const CompiledConversion> base_;   // with a word list
  std::shared_ptr<const WordList> words_;
  Expansion expansion_;
};

template <typename Between>
size_t CompiledConversion::WalkWords(std::string_view text, char* out, Between&& between) const {
  const PrefixDict& words = *words_->words;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  char* o = out;
  size_t pos = 0;
  size_t pieceStart = 0;  // the text since the last entry
  while (pos < n) {
    const unsigned char lead = p[pos];
    size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                  : (lead & 0xF8) == 0xF0 ? 4 : 1;
    if (length > n - pos) length = 1;
    const uint32_t cp = length == 1 ? (lead < 0x80 ? lead : kNoCodePoint) : DecodeCharacter(p + pos, length);
    if (cp == kNoCodePoint || !words.Starts(cp)) {
      pos += cp == kNoCodePoint ? 1 : length;
      continue;
    }
    PrefixDict::Match match = words.Longest(text.data() + pos, n - pos, cp, length);
    if (match.keyLength == 0) {
      pos += length;
      continue;
    }
    if (pos > pieceStart) o += between(pieceStart, pos, o);
    std::memcpy(o, match.value.data(), match.value.size());
    o += match.value.size();
    pos += match.keyLength;
    pieceStart = pos;
  }
  if (n > pieceStart) o += between(pieceStart, n, o);
  return static_cast<size_t>(o - out);
}

}  // namespace glyphmap
