#include "engine/ConvEngine.h"

#include <cstring>

#include "engine/ConvConfigs.h"
#include "glyphmap/glyphmap.h"

bool ConvEngine::Open(ConvDirection direction) {
  configurations_.emplace_back(kConvConfigSim2Tra);
  configurations_.emplace_back(kConvConfigTra2Sim);
  std::string config;
  if (direction >= 0 && static_cast<size_t>(direction) < configurations_.size()) {
    config = configurations_[static_cast<size_t>(direction)];
  }
  handle_ = opencc_open_t2s(config.c_str(), "glyphmap");
  return handle_ != -1;
}

void ConvEngine::Close() {
  if (handle_ != -1) {
    opencc_close(handle_);
    handle_ = -1;
  }
  configurations_.clear();
}

void ConvEngine::Convert(const char* utf8, size_t length, std::string& output) {
  output.clear();
  if (handle_ == -1) return;
  // glyphmap's bound, terminator included; the terminator is not kept.
  output.assign(GlyphmapOutputBound(length), '\0');
  int count = 0;
  try {
    count = opencc_convert_utf8_to_buffer(handle_, utf8, length, output.data());
  } catch (...) {
    output.resize(strnlen(output.data(), output.size()));
    throw;
  }
  output.resize(count > 0 ? static_cast<size_t>(count) : 0);
}
