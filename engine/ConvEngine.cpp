#include "engine/ConvEngine.h"

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
