#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "glyphmap/PrefixDict.h"

namespace glyphmap {

// A user's own words for one direction: a UTF-8 text file, one entry per
// line (a line ends at LF, CR LF or a CR alone, as editors of every kind
// save them), the source, a tab, the result. Lines whose first non-blank
// character is '#' are comments; blank lines are ignored. An entry's result
// is taken whole (it may hold spaces).
//
// A bad line never stops the list: it is skipped and named in `report`
// (UTF-8, empty when every line was used): a line without a tab, an empty
// source or result, a result holding another tab, a result longer than
// kMaxResultRatio times its source or kMaxResultBytes (what one entry may
// make of a text stays bounded), invalid UTF-8, a source listed before,
// lines beyond kMaxEntries entries, or bytes beyond kMaxBytes.
struct WordList {
  static constexpr size_t kMaxEntries = 100000;
  static constexpr size_t kMaxBytes = 16u << 20;
  static constexpr size_t kMaxResultRatio = 64;
  static constexpr size_t kMaxResultBytes = 4096;
  static constexpr size_t kLinesNamed = 5;  // bad lines named in the report

  std::shared_ptr<const PrefixDict> words;  // null: no entries
  // The code points some source holds before its end, sorted, each once.
  std::vector<uint32_t> inner;
  size_t entries = 0;
  size_t skipped = 0;
  std::string report;
};

// Reads the list of `bytes` (a file's contents, or its first kMaxBytes and
// `truncatedFrom` its real size when larger). `name` is the file's name as
// the report shows it.
std::shared_ptr<const WordList> ParseWordList(std::string_view bytes, const std::string& name,
                                              unsigned long long truncatedFrom = 0);

// Reads the list at `path` (UTF-8). A missing file is an empty list; a
// file that cannot be read is an empty list whose report says so.
std::shared_ptr<const WordList> LoadWordList(const std::string& path);

}  // namespace glyphmap
