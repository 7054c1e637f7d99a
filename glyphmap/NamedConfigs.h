#pragma once
#include <string>

namespace glyphmap {

// The configurations glyphmap opens by name: "s2t" and "t2s" are the
// program's own (OpenCC's phrases and characters, unchanged), the others
// OpenCC's regional standards, read from "<name>.json" in `folder`:
// s2tw, s2twp, s2hk, s2hkp and the reverse tw2s, tw2sp, hk2s, hk2sp.
bool IsConfigName(const std::string& name);
// The configuration text for a name. Throws std::runtime_error when the
// name is unknown or its file cannot be read.
std::string ConfigTextByName(const std::string& name, const std::string& folder);

}  // namespace glyphmap
