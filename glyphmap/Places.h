#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace glyphmap {

// One value a proofreader may pick for a place, with up to two words of
// the phrase dictionaries that use it there (as the result writes them).
struct PlaceCandidate {
  std::string text;
  std::vector<std::string> hints;
};

// A place in a result where a character dictionary entry with several
// values chose, with no phrase (nor word list entry) deciding it.
struct Place {
  size_t offset = 0;  // bytes into the result
  size_t length = 0;  // bytes of the chosen character there
  size_t sourceOffset = 0;  // bytes into the converted text: the text the place came from
  size_t sourceLength = 0;
  std::string source;  // the character the entry was looked up for
  std::vector<PlaceCandidate> candidates;  // the chosen one first, then the others
  int rank = 0;   // per mille, PlaceTable's ranking of the entry's character
  int words = 0;  // the phrases that take another value for it (PlaceTable)
};

}  // namespace glyphmap
