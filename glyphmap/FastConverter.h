#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "glyphmap/PrefixDict.h"

namespace opencc {
class Converter;
class Dict;
}

namespace glyphmap {

// Converts text the way OpenCC's converter for our configurations does,
// without its per-call allocations: maximum-match segmentation over the
// segmentation dictionary, then each segment through the conversion's
// dictionaries (the first that has a key at a position decides there,
// longest key first), written straight into the caller's buffer.
//
// It reproduces OpenCC's conventions too: a character without an entry,
// or a whole ideographic description sequence, is copied as it is; a
// character cut off by the end of the text is copied as far as it goes;
// OpenCC hands segments on as C strings, so a segment ends at its first NUL
// and the rest of that segment is not passed on (CompiledConversion keeps
// NULs out of its way: it converts the pieces between them one by one).
class FastConverter {
 public:
  // Null when the converter has a shape this class does not cover (a
  // segmentation other than maximum matching, more than one conversion
  // step, a union group or nested groups); OpenCC then converts itself.
  static std::unique_ptr<FastConverter> TryBuild(const opencc::Converter& converter);
  // For maximum-match segmentation over `segmentation` (may be null: no
  // segmentation) and one conversion step over `dicts` looked up in order.
  static std::unique_ptr<FastConverter> Build(const std::shared_ptr<opencc::Dict>& segmentation,
                                              const std::vector<std::shared_ptr<opencc::Dict>>& dicts);

  // Converts `length` bytes; returns the number of bytes written to `out`.
  // `out` must hold what the dictionaries' longest expansion allows.
  // Throws std::runtime_error for a byte where a character should start
  // (0x80-0xBF, 0xFE, 0xFF), as OpenCC rejects such a text; the caller
  // checks first unless ChecksItsInput().
  size_t Convert(const char* text, size_t length, char* out) const;
  bool ChecksItsInput() const { return onePass_; }

  // The largest k <= length (at a character boundary, walking from the
  // start of the text as Convert does) after which the text may be cut:
  // converting the text before k and the text from k on separately gives
  // exactly what converting it whole gives, whatever comes after `length`.
  // That holds after a character that no key holds anywhere but at its end
  // (so no key reaches across the cut) with no ideographic description
  // operator among the 64 characters before it (so no description sequence
  // does). 0 when there is no such place.
  size_t SafeCut(const char* text, size_t length) const;

  size_t MemoryBytes() const;

 private:
  FastConverter() = default;
  // `isRun`: the segment is a run of characters no segmentation key starts
  // at (else it is one key).
  char* ConvertSegment(const char* segment, size_t length, char* out, bool isRun) const;
  // One pass for the common shape: the segmentation dictionary is the
  // conversion's first, and the others hold single characters.
  size_t ConvertInOnePass(const char* text, size_t length, char* out) const;

  std::shared_ptr<const PrefixDict> segmentation_;     // null: the text is one segment
  std::vector<std::shared_ptr<const PrefixDict>> group_;  // tried in order
  std::vector<const PrefixDict*> groupRaw_;  // the same, for the hot loop
  bool skipFirstInRuns_ = false;  // the group's first dictionary is the segmentation's
  bool onePass_ = false;          // ConvertInOnePass applies
  // Bytes that are always copied as they are: in runs, and anywhere.
  void FindPlainBytes();
  bool plainInRuns_[256] = {};
  bool plainAnywhere_[256] = {};
  // Bit per code point that some key of any dictionary holds before its end.
  void FindInnerCharacters(const std::shared_ptr<opencc::Dict>& segmentation,
                           const std::vector<std::shared_ptr<opencc::Dict>>& dicts);
  bool Inner(uint32_t cp) const { return cp >= innerLimit_ || (inner_[cp >> 6] >> (cp & 63) & 1); }
  std::vector<uint64_t> inner_;
  uint32_t innerLimit_ = 0;  // code points at or above count as inner
};

}  // namespace glyphmap
