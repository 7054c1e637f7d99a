#pragma once
// The places of a text page's result where a character with several
// counterparts was converted by its character entry alone, as the page
// shows them: positions in UTF-16 units of the result and of the source.
#include <cstddef>
#include <string>
#include <vector>

struct TextCandidate {
  std::wstring text;
  std::vector<std::wstring> hints;  // words of the dictionaries' phrases that use it
};

struct TextPlace {
  int start = 0;  // in the result
  int length = 0;
  int sourceStart = 0;  // in the source
  int sourceLength = 0;
  std::wstring source;                  // the character looked up
  std::vector<TextCandidate> candidates;  // the chosen one first
};

// A place as glyphmap reports it: UTF-8 byte offsets, the candidates as
// lines of tab-separated fields.
struct Utf8Place {
  size_t offset = 0, length = 0, sourceOffset = 0, sourceLength = 0;
  std::string source;
  std::string candidates;
};

// The places in UTF-16 positions of `result` and `source` (the UTF-8 texts
// they were counted in); `places` in order of their offsets, as glyphmap
// reports them. A place outside its text is left out.
std::vector<TextPlace> ToTextPlaces(const std::string& result, const std::string& source,
                                    const std::vector<Utf8Place>& places);
