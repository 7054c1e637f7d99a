// ConvEngine's conversion with the places of its result.
#include <cstring>

#include "engine/ConvEngine.h"
#include "glyphmap/glyphmap.h"

namespace {

void KeepPlace(void* context, const glyphmap_place* place) {
  Utf8Place p;
  p.offset = place->offset;
  p.length = place->length;
  p.sourceOffset = place->sourceOffset;
  p.sourceLength = place->sourceLength;
  p.source = place->source;
  p.candidates = place->candidates;
  static_cast<std::vector<Utf8Place>*>(context)->push_back(std::move(p));
}

}  // namespace

void ConvEngine::ConvertMarked(const char* utf8, size_t length, bool everyPlace, std::string& output,
                               std::vector<Utf8Place>& places) {
  output.clear();
  places.clear();
  if (handle_ == -1) return;
  output.assign(glyphmap_output_bound(handle_, length), '\0');
  if (output.empty()) return;
  int count = 0;
  try {
    count = glyphmap_convert_places(handle_, utf8, length, output.data(), output.size(),
                                    everyPlace ? GLYPHMAP_EVERY_PLACE : 0, &KeepPlace, &places);
  } catch (...) {
    output.resize(strnlen(output.data(), output.size()));
    places.clear();
    throw;
  }
  output.resize(count > 0 ? static_cast<size_t>(count) : 0);
}
