#pragma once
#include <string>

namespace glyphmap {

// The configurations glyphmap opens by name, OpenCC 1.4.1's own as they
// ship beside glyphmap.dll ("<name>.json" in `folder`, naming text
// dictionaries): s2t (OpenCC's generic standard), s2tw, s2twp, s2hk, s2hkp
// and the reverse t2s, tw2s, tw2sp, hk2s, hk2sp.
bool IsConfigName(const std::string& name);
// The configuration text for a name. Throws std::runtime_error when the
// name is unknown or its file cannot be read.
std::string ConfigTextByName(const std::string& name, const std::string& folder);

}  // namespace glyphmap
