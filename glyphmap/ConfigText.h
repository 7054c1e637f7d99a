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
  // A configuration's normalization (a conversion chain run over the whole
  // text before anything else) as a configuration text of its own, or
  // empty: OpenCC's converter keeps it out of reach once built.
  std::string normalizationJson;
  // The dictionary files the text names, each once, in the order they
  // first appear.
  std::vector<std::string> dictionaryFiles;
  // A configuration that ships beside glyphmap.dll (opened by name): its
  // dictionaries are checked against their list, which must name them all.
  bool shipped = false;

  // The plain shape of the program's own configurations, when the text has
  // it and nothing else: maximum-match segmentation over one text
  // dictionary, then one conversion step over one text dictionary or a
  // group of them looked up in order. glyphmap then loads those
  // dictionaries itself through OpenCC's text-dictionary reader instead of
  // having OpenCC build its own lookup structures it would not use.
  bool plainShape = false;
  std::string segmentationFile;
  std::vector<std::string> conversionFiles;
};

// Throws std::runtime_error when the text is not a JSON object.
PreparedConfig PrepareConfig(std::string_view text);

}  // namespace glyphmap
