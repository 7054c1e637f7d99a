#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace glyphmap {

// A configuration text made ready for OpenCC.
struct PreparedConfig {
  // What OpenCC reads. Dictionary groups that name no match policy get the
  // historic one ("short_circuit") spelled out: OpenCC 1.4 reads them the
  // same way, but would warn on standard error about the missing field.
  std::string json;
  // The dictionary files the text names, in the order they appear.
  std::vector<std::string> dictionaryFiles;
};

// Throws std::runtime_error when the text is not a JSON object.
PreparedConfig PrepareConfig(std::string_view text);

}  // namespace glyphmap
