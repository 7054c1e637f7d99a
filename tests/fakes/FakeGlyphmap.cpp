#include "tests/fakes/FakeGlyphmap.h"

#include <cstring>
#include <stdexcept>

#include "glyphmap/glyphmap.h"

extern "C" FakeGlyphmapState* FakeGlyphmap() {
  static FakeGlyphmapState state;
  return &state;
}

extern "C" int opencc_open_t2s(const char* config, const char* libraryName) {
  FakeGlyphmapState& s = *FakeGlyphmap();
  ++s.openCalls;
  s.lastConfig = config ? config : "<null>";
  s.lastLibraryName = libraryName ? libraryName : "<null>";
  if (!s.openThrows.empty()) throw std::runtime_error(s.openThrows);
  return s.openResult;
}

extern "C" int opencc_convert_utf8_to_buffer(int, const char* input, size_t length, char* output) {
  FakeGlyphmapState& s = *FakeGlyphmap();
  ++s.convertCalls;
  s.lastInput.assign(input, length);
  s.lastLength = length;
  std::memcpy(output, s.output.data(), s.output.size());
  output[s.output.size()] = '\0';
  if (!s.convertThrows.empty()) throw std::runtime_error(s.convertThrows);
  return static_cast<int>(s.output.size());
}

extern "C" void opencc_close(int handle) {
  FakeGlyphmapState& s = *FakeGlyphmap();
  ++s.closeCalls;
  s.lastClosed = handle;
}

// The stand-in knows no dictionary: it never offers a cut.
extern "C" size_t glyphmap_safe_cut(int, const char*, size_t) { return 0; }
