#pragma once
#include "textio/TReader.h"

// Reads UTF-32 little-endian data: lines end at the unit 0x0000000A. Trailing bytes short of a unit, and a unit that is no
// character (a surrogate, or beyond U+10FFFF), become U+FFFD (counted in
// Replacements).
class TReaderUtf32 : public TReader {
 public:
  TReaderUtf32() = default;
  ~TReaderUtf32() override = default;

  const BYTE* FindLineEnd() override;

 protected:
  ConvertedLine ConvertLine(const BYTE* start, std::uint64_t length) override;
  std::uint64_t LineEndBytes() const override { return 4; }
};

// Reads UTF-32 big-endian data: turned into little-endian order in place
// once loaded, then read as TReaderUtf32 does.
class TReaderUtf32be : public TReaderUtf32 {
 public:
  void OnLoaded() override;
};
