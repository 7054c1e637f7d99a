#pragma once
#include "textio/TReader.h"

// Reads UTF-16 little-endian data: lines end at the unit 0x000A.
// An odd last byte, and a surrogate without its partner, become U+FFFD
// (counted in Replacements).
class TReaderUtf16 : public TReader {
 public:
  TReaderUtf16() = default;
  ~TReaderUtf16() override = default;

  const BYTE* FindLineEnd() override;

 protected:
  ConvertedLine ConvertLine(const BYTE* start, std::uint64_t length) override;
  std::uint64_t LineEndBytes() const override { return 2; }
};

// Reads UTF-16 big-endian data: turned into little-endian order in place
// once loaded, then read as TReaderUtf16 does.
class TReaderUtf16be : public TReaderUtf16 {
 public:
  void OnLoaded() override;
};
