#include "tests/fakes/FakeGlyphmap.h"

#include <cstring>
#include <stdexcept>

#include "engine/ConvConfigs.h"
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

// Opening by name records the name and list; the program's own two names
// also record their configuration text, as opencc_open_t2s would see it.
extern "C" int glyphmap_open(const char* name, const char* wordList) {
  FakeGlyphmapState& s = *FakeGlyphmap();
  ++s.openCalls;
  s.lastName = name ? name : "<null>";
  s.lastWordList = wordList ? wordList : "<null>";
  s.lastConfig = s.lastName == "s2t"   ? std::string(kConvConfigSim2Tra)
                 : s.lastName == "t2s" ? std::string(kConvConfigTra2Sim)
                                       : s.lastName;
  s.lastLibraryName = "glyphmap";
  if (!s.openThrows.empty()) throw std::runtime_error(s.openThrows);
  return s.openResult;
}

extern "C" size_t glyphmap_output_bound(int, size_t length) {
  const FakeGlyphmapState& s = *FakeGlyphmap();
  size_t bound = GlyphmapOutputBound(length);
  return s.output.size() + 1 > bound ? s.output.size() + 1 : bound;
}

extern "C" int glyphmap_convert(int handle, const char* input, size_t length, char* output,
                                size_t capacity) {
  FakeGlyphmap()->lastCapacity = capacity;
  if (FakeGlyphmap()->output.size() + 1 > capacity) throw std::runtime_error("fake: buffer too small");
  return opencc_convert_utf8_to_buffer(handle, input, length, output);
}

extern "C" size_t glyphmap_word_list_report(int, char* buffer, size_t size) {
  const std::string& r = FakeGlyphmap()->wordListReport;
  if (buffer && size > 0) {
    size_t n = r.size() < size ? r.size() : size - 1;
    std::memcpy(buffer, r.data(), n);
    buffer[n] = '\0';
  }
  return r.size();
}

// The stand-in knows no dictionary: it never offers a cut.
extern "C" size_t glyphmap_safe_cut(int, const char*, size_t) { return 0; }

// Converts as glyphmap_convert does and reports the scripted places.
extern "C" int glyphmap_convert_places(int handle, const char* input, size_t length, char* output,
                                       size_t capacity, int flags, glyphmap_place_sink sink,
                                       void* context) {
  FakeGlyphmapState& s = *FakeGlyphmap();
  s.lastPlaceFlags = flags;
  const int n = glyphmap_convert(handle, input, length, output, capacity);
  for (const FakeGlyphmapState::Place& p : s.places) {
    const glyphmap_place place{p.offset,         p.length,
                               p.sourceOffset,   p.sourceLength,
                               p.source.c_str(), p.candidates.c_str(), 1000,
                               1000};
    if (sink) sink(context, &place);
  }
  return n;
}
