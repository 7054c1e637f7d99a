// CompiledConversion's proofreading pass: the same walk as Convert, NUL
// pieces and word list entries included, with the places of the result.
#include <cstring>
#include <stdexcept>
#include <string>

#include "glyphmap/CompiledConversion.h"
#include "glyphmap/Utf8Scan.h"

namespace glyphmap {

size_t CompiledConversion::ConvertWithPlaces(std::string_view text, char* out, bool everyPlace,
                                             std::vector<Place>& places) const {
  size_t written = 0;
  size_t read = 0;
  for (;;) {
    const size_t nul = FindNul(text);
    if (nul == std::string_view::npos) {
      return written + PieceWithPlaces(text, out + written, everyPlace, written, read, places);
    }
    written += PieceWithPlaces(text.substr(0, nul), out + written, everyPlace, written, read, places);
    out[written++] = '\0';
    text.remove_prefix(nul + 1);
    read += nul + 1;
  }
}

size_t CompiledConversion::PieceWithPlaces(std::string_view text, char* out, bool everyPlace,
                                           size_t base, size_t sourceBase,
                                           std::vector<Place>& places) const {
  if (text.empty()) return 0;
  if (base_) {
    if (!words_ || !words_->words) {
      return base_->PieceWithPlaces(text, out, everyPlace, base, sourceBase, places);
    }
    return WordsWithPlaces(text, out, everyPlace, base, sourceBase, places);
  }
  if (!fast_) return ConvertPiece(text, out);
  const size_t bad = FindInvalidUtf8Start(text);
  if (bad != std::string_view::npos) {
    throw std::runtime_error("文本不是有效的 UTF-8 / Invalid UTF-8 at byte " + std::to_string(bad));
  }
  return fast_->ConvertWithPlaces(text.data(), text.size(), out, everyPlace, base, sourceBase, places);
}

size_t CompiledConversion::WordsWithPlaces(std::string_view text, char* out, bool everyPlace,
                                           size_t base, size_t sourceBase,
                                           std::vector<Place>& places) const {
  // An entry's result is the user's own choice and holds no place; the
  // text between entries goes to the base.
  return WalkWords(text, out, [&](size_t from, size_t to, char* o) {
    return base_->PieceWithPlaces(text.substr(from, to - from), o, everyPlace,
                                  base + static_cast<size_t>(o - out), sourceBase + from, places);
  });
}

}  // namespace glyphmap
