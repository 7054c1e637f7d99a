#pragma once
// What glyphmap gives for a whole UTF-8 text in one call, with the generic
// standard (s2t or t2s, opened by name as the program opens it): the
// reference the tests hold the program's output against. For test programs that link
// glyphmap (directly or through the engine).
#include <gtest/gtest.h>

#include <string>

#include "engine/ConvDirection.h"
#include "glyphmap/glyphmap.h"

namespace testing_support {

// A failure of glyphmap fails the test (and gives a text no output equals),
// so that a broken reference cannot agree with a broken result.
inline std::string EngineConvert(const std::string& utf8, ConvDirection direction) {
  const int handle = glyphmap_open(direction == Sim2Tra ? "s2t" : "t2s", nullptr);
  if (handle < 0) {
    ADD_FAILURE() << "glyphmap cannot open the configuration";
    return "<glyphmap failed>";
  }
  std::string out(glyphmap_output_bound(handle, utf8.size()), '\0');
  const int n = glyphmap_convert(handle, utf8.data(), utf8.size(), out.data(), out.size());
  opencc_close(handle);
  if (n < 0) {
    ADD_FAILURE() << "glyphmap cannot convert a text of " << utf8.size() << " bytes";
    return "<glyphmap failed>";
  }
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace testing_support
