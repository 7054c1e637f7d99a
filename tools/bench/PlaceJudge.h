#pragma once
// Would a reader change a marked place? The phrase dictionaries of every
// standard stand in for the reader: a phrase that holds the place in a
// longer context and spells it with another candidate than the chosen one
// says yes (often a phrase that lost to a neighbour in the conversion's
// longest-match walk, or a Taiwan or Hong Kong list's word).
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class PlaceJudge {
 public:
  enum class Verdict {
    kUnknown,  // no phrase holds the place's context with any candidate
    kKeep,     // phrases spell the context with the chosen candidate only
    kChange,   // ... with another candidate only
    kSplit,    // with both
  };

  // Reads every "*Phrases*.txt" of `folder`: their keys and values of two
  // characters or more, in the script of the results judged (Traditional
  // or Simplified), are the known words.
  PlaceJudge(const std::string& folder, bool traditional);
  size_t Words() const { return words_.size(); }

  // The place of `result` at `offset` (`length` bytes, the chosen candidate)
  // with `candidates`, the chosen one first: each candidate put in, is any
  // stretch of two to four characters of the result around it a known word
  // (with `parts`: a known word or a part of a longer one)?
  Verdict Judge(std::string_view result, size_t offset, size_t length,
                const std::vector<std::string>& candidates, bool parts) const;

 private:
  bool Known(const std::unordered_set<std::string>& known, std::string_view before,
             const std::string& candidate, std::string_view after) const;
  std::unordered_set<std::string> words_;
  std::unordered_set<std::string> parts_;  // the words, and their stretches of 2 to 4 characters
};
