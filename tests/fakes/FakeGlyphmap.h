#pragma once
// Steers and watches the glyphmap stand-in. Tests reset it first.
#include <string>
#include <vector>

#ifdef FAKE_GLYPHMAP_BUILDING
#define FAKE_GLYPHMAP_API __declspec(dllexport)
#else
#define FAKE_GLYPHMAP_API __declspec(dllimport)
#endif

struct FakeGlyphmapState {
  // What the next calls do.
  int openResult = 0;
  std::string openThrows;     // non-empty: open throws std::runtime_error with it
  std::string output;         // what convert writes (its count is the size)
  std::string convertThrows;  // non-empty: convert writes `output`, then throws this
  std::string wordListReport;  // what glyphmap_word_list_report gives
  struct Place {
    size_t offset, length, sourceOffset, sourceLength;
    std::string source, candidates;
  };
  std::vector<Place> places;  // what glyphmap_convert_places reports
  // What the calls saw.
  int openCalls = 0;
  int convertCalls = 0;
  int closeCalls = 0;
  std::string lastConfig;
  std::string lastLibraryName;
  std::string lastName;      // glyphmap_open's configuration name
  std::string lastWordList;  // and word list (UTF-8)
  size_t lastCapacity = 0;   // glyphmap_convert's buffer
  std::string lastInput;
  size_t lastLength = 0;
  int lastClosed = -2;
  int lastPlaceFlags = -1;
};

extern "C" FAKE_GLYPHMAP_API FakeGlyphmapState* FakeGlyphmap();
