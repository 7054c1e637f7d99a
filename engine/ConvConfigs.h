#pragma once
#include <string_view>

// The two conversion configurations ConvEngine::Open(direction) hands to
// glyphmap as text, in OpenCC's JSON form: maximum-match segmentation over
// the phrase dictionary, then the phrase dictionary and the character
// dictionary. Position = ConvDirection. The program's own conversions open
// glyphmap's configurations by name instead (engine/Standards.h).
// Other copies of the program pass exactly these bytes: keep them as they are.
extern const std::string_view kConvConfigSim2Tra;  // 368 bytes
extern const std::string_view kConvConfigTra2Sim;  // 348 bytes
