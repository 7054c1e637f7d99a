#pragma once
// The one rule for zero bytes in a file's start, shared by the not-text
// check (SourceCheck.h) and the detection of UTF-16 without a mark
// (DetectFileEncoding.h).
//
// Text in an 8-bit encoding or UTF-8 holds no zero bytes, but for a few
// strays. UTF-16 holds one in every unit of a Latin character (line ends,
// spaces, digits) and in characters such as U+2500 or U+4E00; the reading
// as UTF-16 then decodes cleanly: surrogates in pairs, hardly a control
// character, hardly a U+0000. Anything else with many zero bytes (a
// program, a picture) is no text.
#include <cstddef>

// What a reading of the data as UTF-16 in one byte order shows.
struct Utf16Reading {
  std::size_t units = 0;
  std::size_t zeroUnits = 0;   // U+0000
  std::size_t latin = 0;       // U+0001..U+00FF: a zero byte on the high side
  std::size_t structural = 0;  // of them: line ends, tabs, spaces, digits, ASCII punctuation
  std::size_t lineEnds = 0;    // of them: CR and LF
  std::size_t controls = 0;    // of them: control characters other than tab, line ends, form feed, escape
  std::size_t lowZero = 0;     // U+xx00 beyond U+00FF: a zero byte on the low side
  std::size_t asciiPairs = 0;  // beyond U+00FF with both bytes printable ASCII
  std::size_t strayCrLf = 0;   // CR or LF bytes inside other units
  bool broken = false;         // a surrogate out of its pair, or U+FFFE/U+FFFF
};

Utf16Reading ReadAsUtf16(const unsigned char* data, std::size_t size, bool bigEndian);

// What the zero bytes of the data say.
enum class ZeroBytes {
  Stray,     // too few to tell anything: text in any encoding may hold them
  Utf16Le,   // many, and the data decodes cleanly as UTF-16 little-endian
  Utf16Be,   // many, and the data decodes cleanly as UTF-16 big-endian
  NotText,   // many, and no UTF-16 reading explains them
};

// Fewer zero bytes than this are strays whatever the size of the data: a
// short 8-bit file with a NUL or two is still text.
constexpr std::size_t kStrayZeroBytes = 32;
// One zero byte in this many bytes is more than any 8-bit text holds;
// UTF-16 Chinese text with a line end every 40 characters has one in 40.
constexpr std::size_t kZeroByteShare = 64;
// A clean UTF-16 reading has at most one control character (or U+0000)
// in this many units: text carries tabs and line ends, not controls.
constexpr std::size_t kControlShare = 64;

// Judges the zero bytes of the `size` bytes at `data`.
ZeroBytes JudgeZeroBytes(const unsigned char* data, std::size_t size);

// Whether a UTF-16 reading is clean text: no broken surrogate pair and few
// controls and U+0000 units (kControlShare).
bool IsCleanUtf16(const Utf16Reading& reading);
