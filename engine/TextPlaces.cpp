#include "engine/TextPlaces.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// Counts UTF-16 units along a UTF-8 text, forward only.
class UnitCounter {
 public:
  explicit UnitCounter(const std::string& text) : text_(&text) {}
  // The UTF-16 position of byte `offset`; offsets asked in rising order.
  int At(size_t offset) {
    offset = std::min(offset, text_->size());
    while (byte_ < offset) {
      const unsigned char lead = static_cast<unsigned char>((*text_)[byte_]);
      const size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                     : (lead & 0xF8) == 0xF0 ? 4 : 1;
      units_ += n == 4 ? 2 : 1;
      byte_ += n;
    }
    return units_;
  }

 private:
  const std::string* text_;
  size_t byte_ = 0;
  int units_ = 0;
};

std::vector<std::wstring> Fields(const std::wstring& line) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find(L'\t', start);
    fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
    if (tab == std::wstring::npos) return fields;
    start = tab + 1;
  }
}

std::vector<TextCandidate> Candidates(const std::string& lines) {
  std::vector<TextCandidate> candidates;
  const std::wstring wide = Wide(lines);
  size_t start = 0;
  while (start <= wide.size()) {
    size_t end = wide.find(L'\n', start);
    if (end == std::wstring::npos) end = wide.size();
    std::vector<std::wstring> fields = Fields(wide.substr(start, end - start));
    if (!fields.front().empty()) {
      candidates.push_back({fields.front(), {fields.begin() + 1, fields.end()}});
    }
    start = end + 1;
  }
  return candidates;
}

}  // namespace

std::vector<TextPlace> ToTextPlaces(const std::string& result, const std::string& source,
                                    const std::vector<Utf8Place>& places) {
  std::vector<TextPlace> out;
  UnitCounter inResult(result);
  // Source offsets rise with the result's; should one ever go back, the
  // count starts afresh.
  UnitCounter inSource(source);
  size_t lastSource = 0;
  for (const Utf8Place& p : places) {
    if (p.offset + p.length > result.size() || p.sourceOffset + p.sourceLength > source.size()) continue;
    if (p.sourceOffset < lastSource) inSource = UnitCounter(source);
    lastSource = p.sourceOffset;
    TextPlace place;
    place.start = inResult.At(p.offset);
    place.length = inResult.At(p.offset + p.length) - place.start;
    place.sourceStart = inSource.At(p.sourceOffset);
    place.sourceLength = inSource.At(p.sourceOffset + p.sourceLength) - place.sourceStart;
    place.source = Wide(p.source);
    place.candidates = Candidates(p.candidates);
    if (place.candidates.size() >= 2) out.push_back(std::move(place));
  }
  return out;
}
