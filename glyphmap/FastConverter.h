#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "glyphmap/PlaceTable.h"
#include "glyphmap/Places.h"
#include "glyphmap/PrefixDict.h"

namespace opencc {
class Converter;
class Dict;
}

namespace glyphmap {

class ImageReader;
class ImageWriter;

// Converts text the way OpenCC's converter for our configurations does,
// without its per-call allocations: a normalization over the whole text
// where the configuration has one, maximum-match segmentation over the
// segmentation dictionary, then each segment through the conversion's
// dictionaries (the first that has a key at a position decides there,
// longest key first; a union of dictionaries is one lookup for the longest
// key of any), and through each later conversion step in turn, written
// straight into the caller's buffer.
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
  // `normalizer`, when not null, is a converter without segmentation whose
  // chain runs over the whole text first (a configuration's normalization).
  static std::unique_ptr<FastConverter> TryBuild(const opencc::Converter& converter,
                                                 const opencc::Converter* normalizer = nullptr);
  // For maximum-match segmentation over `segmentation` (may be null: no
  // segmentation) and one conversion step over `dicts` looked up in order.
  static std::unique_ptr<FastConverter> Build(const std::shared_ptr<opencc::Dict>& segmentation,
                                              const std::vector<std::shared_ptr<opencc::Dict>>& dicts);

  // The built converter as bytes, and back: Load gives a converter that
  // converts exactly as the saved one (ImageDamaged for bytes that do not
  // hold one).
  void Save(ImageWriter& out) const;
  static std::unique_ptr<FastConverter> Load(ImageReader& in);

  // Converts `length` bytes; returns the number of bytes written to `out`.
  // `out` must hold what the dictionaries' longest expansion allows.
  // Throws std::runtime_error for a byte where a character should start
  // (0x80-0xBF, 0xFE, 0xFF), as OpenCC rejects such a text; the caller
  // checks first unless ChecksItsInput().
  size_t Convert(const char* text, size_t length, char* out) const;
  bool ChecksItsInput() const { return onePass_; }

  // As Convert (the same result), and the places of the result where a
  // character entry with several values chose with no phrase deciding, in
  // order, their offsets counted from `base` (and in the text from
  // `sourceBase`): those whose character is PlaceTable::WorthALook, or
  // every one with `everyPlace`. A place stays one through the later steps of the chain, each candidate (and
  // hint) converted by them as a text of its own; a phrase of a later step
  // that takes the place in decides it. Checks nothing: the caller does.
  size_t ConvertWithPlaces(const char* text, size_t length, char* out, bool everyPlace, size_t base,
                           size_t sourceBase, std::vector<Place>& places) const;
  const PlaceTable& Places() const { return *placeTable_; }

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
  // The output is never longer than floor(n * num / den) for n input bytes.
  uint64_t ExpansionNumerator() const { return ratioNum_; }
  uint64_t ExpansionDenominator() const { return ratioDen_; }

 private:
  // A lookup unit: one dictionary, or the union of several.
  using Unit = std::vector<std::shared_ptr<opencc::Dict>>;
  // One conversion step: its units looked up in order, and the bytes that
  // start no key of any of them.
  struct Step {
    std::vector<const PrefixDict*> dicts;
    bool plain[256] = {};
    uint64_t num = 1, den = 1;  // its largest expansion
    // Its first dictionary is the segmentation's: over a segment that
    // reaches it unchanged, that dictionary's answer is known (the whole
    // key, or nothing anywhere in a run).
    bool firstIsSegmentation = false;
  };
  // A buffer for an intermediate text: on the stack for the short texts
  // that segments are, on the heap beyond. Reserve keeps no content.
  class Buffer {
   public:
    char* Reserve(size_t bytes) {
      if (bytes > capacity_) {
        heap_.reset(new char[bytes]);
        data_ = heap_.get();
        capacity_ = bytes;
      }
      return data_;
    }

   private:
    char small_[1024];
    std::unique_ptr<char[]> heap_;
    char* data_ = small_;
    size_t capacity_ = sizeof small_;
  };
  // Buffers for the intermediate texts of one call.
  struct Scratch {
    Buffer normalized[2];
    Buffer first, later[2];
  };

  FastConverter() = default;
  static std::unique_ptr<FastConverter> BuildSteps(const Unit* segmentation,
                                                   const std::vector<std::vector<Unit>>& chain,
                                                   const std::vector<std::vector<Unit>>& normalization);
  // The normalization over the whole text, when it has anything to do:
  // `text` and `length` then name its result in `scratch`.
  void Normalize(const char*& text, size_t& length, Scratch& scratch) const;
  size_t ConvertMain(const char* text, size_t length, char* out, Scratch& scratch) const;
  // Maximum-match segmentation over `length` bytes (FastSegments.h), in
  // order: `run(start, n)` for each stretch that no key starts in, `key(at,
  // match)` for each key.
  template <typename Run, typename Key>
  void Segment(const char* text, size_t length, Run&& run, Key&& key) const;
  // A segmentation key's segment through the whole chain.
  char* ConvertKey(const char* key, const PrefixDict::Match& match, char* out, Scratch& scratch) const;
  // A segment through the whole chain: `key` is the segmentation's match
  // when the segment is one of its keys (null for a run).
  char* ConvertWholeSegment(const char* segment, size_t length, char* out, bool isRun,
                            const PrefixDict::Match* key, Scratch& scratch) const;
  // One step over `length` bytes, as a whole (no segment ends at a NUL),
  // its dictionaries from `firstDict` on.
  static char* ApplyStep(const Step& step, const char* text, size_t length, char* out,
                         size_t firstDict = 0);
  static void FillStep(Step& step);
  // A step's dictionaries by their place in owned_, and back.
  void SaveStep(const Step& step, ImageWriter& out) const;
  Step LoadStep(ImageReader& in) const;
  uint32_t IndexOf(const PrefixDict* dict) const;
  const PrefixDict* DictAt(uint32_t index) const;
  // `isRun`: the segment is a run of characters no segmentation key starts
  // at (else it is one key).
  char* ConvertSegment(const char* segment, size_t length, char* out, bool isRun) const;
  // One pass for the common shape: the segmentation dictionary is the
  // conversion's first, and the others hold single characters.
  size_t ConvertInOnePass(const char* text, size_t length, char* out) const;

  // The proofreading pass (PlaceTrace.cpp): a run of characters through
  // the chain one step at a time, the places found kept in hand.
  struct TraceState;
  void TraceRun(const char* run, size_t length, TraceState& state) const;
  // False for a run without any character that may lead to a place: it
  // converts as usual.
  bool MayHavePlaces(const char* run, size_t length, bool everyPlace) const;
  void TraceStep(size_t step, bool skipFirst, TraceState& state) const;
  std::string MapThroughStep(size_t step, const std::string& text) const;
  void MapPlace(size_t step, Place& place) const;
  std::unique_ptr<const PlaceTable> placeTable_;

  std::shared_ptr<const PrefixDict> segmentation_;     // null: the text is one segment
  std::vector<std::shared_ptr<const PrefixDict>> group_;  // the first step's, tried in order
  std::vector<std::shared_ptr<const PrefixDict>> owned_;  // every compiled dictionary
  std::vector<const PrefixDict*> groupRaw_;  // the same, for the hot loop
  bool skipFirstInRuns_ = false;  // the group's first dictionary is the segmentation's
  bool onePass_ = false;          // ConvertInOnePass applies
  // Bytes that are always copied as they are: in runs, and anywhere.
  void FindPlainBytes();
  bool plainInRuns_[256] = {};
  bool plainAnywhere_[256] = {};
  std::vector<Step> laterSteps_;     // the chain's steps after the first, per segment
  std::vector<Step> normalization_;  // over the whole text before segmentation
  std::vector<const PrefixDict*> normalizationStarts_;  // its dictionaries, for a quick scan
  bool normalizationLead_[256] = {};  // bytes that start a character some key of it starts with
  unsigned char normalizationLeast_ = 0xFF;  // the least of them
  bool NeedsNormalization(const char* text, size_t length) const;
  // Each segmentation key's whole result through the chain, by the key's
  // index: a key segment converts the same way wherever it stands. Empty
  // where a key segment is simply its value (one step over the
  // segmentation's own dictionary).
  void ConvertKeysAhead(const Unit& segmentation);
  std::string keyResults_;
  std::vector<uint32_t> keyResultEnds_;  // result i is keyResults_[ends[i-1], ends[i])
  uint64_t firstNum_ = 1, firstDen_ = 1;  // the first step's largest expansion
  uint64_t ratioNum_ = 1, ratioDen_ = 1;  // the whole conversion's
  // Bit per code point that some key of any dictionary holds before its end.
  // A character also counts when a later step (or, for the normalization,
  // any step after it) could see a key reach across the cut from the
  // output of a segment that ends with it.
  void FindInnerCharacters(const Unit* segmentation, const std::vector<std::vector<Unit>>& chain,
                           const std::vector<std::vector<Unit>>& normalization);
  bool Inner(uint32_t cp) const { return cp >= innerLimit_ || (inner_[cp >> 6] >> (cp & 63) & 1); }
  std::vector<uint64_t> inner_;
  uint32_t innerLimit_ = 0;  // code points at or above count as inner
};

}  // namespace glyphmap
