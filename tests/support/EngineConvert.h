#pragma once
// What glyphmap gives for a whole UTF-8 text in one call: the reference
// the tests hold the program's output against. For test programs that link
// glyphmap (directly or through the engine).
#include <gtest/gtest.h>

#include <string>

#include "engine/ConvConfigs.h"
#include "engine/ConvDirection.h"
#include "glyphmap/glyphmap.h"

namespace testing_support {

// A failure of glyphmap fails the test (and gives a text no output equals),
// so that a broken reference cannot agree with a broken result.
inline std::string EngineConvert(const std::string& utf8, ConvDirection direction) {
  const std::string config(direction == Sim2Tra ? kConvConfigSim2Tra : kConvConfigTra2Sim);
  const int handle = opencc_open_t2s(config.c_str(), "glyphmap");
  if (handle < 0) {
    ADD_FAILURE() << "glyphmap cannot open the configuration";
    return "<glyphmap failed>";
  }
  std::string out(GlyphmapOutputBound(utf8.size()), '\0');
  const int n = opencc_convert_utf8_to_buffer(handle, utf8.data(), utf8.size(), out.data());
  opencc_close(handle);
  if (n < 0) {
    ADD_FAILURE() << "glyphmap cannot convert a text of " << utf8.size() << " bytes";
    return "<glyphmap failed>";
  }
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace testing_support
