#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "glyphmap/FastConverter.h"
#include "glyphmap/OutputBound.h"
#include "glyphmap/Places.h"
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

  std::unique_ptr<FastConverter> fast_;
  std::shared_ptr<const opencc::Converter> opencc_;  // kept only without fast_
  std::shared_ptr<const CompiledConversion> base_;   // with a word list
  std::shared_ptr<const WordList> words_;
  Expansion expansion_;
};

}  // namespace glyphmap
