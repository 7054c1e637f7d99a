#include "tools/bench/PlaceJudge.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr size_t kLongest = 4;  // characters of a context

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CountCharacters(std::string_view text) {
  size_t n = 0;
  for (char c : text) n += IsContinuation(c) ? 0 : 1;
  return n;
}

// Where the characters of `text` start, and its end.
std::vector<size_t> Starts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuation(text[i])) starts.push_back(i);
  }
  starts.push_back(text.size());
  return starts;
}

// `keys`, `values`: which side of the list to take.
void AddWords(const std::string& path, bool keys, bool values, std::unordered_set<std::string>& words) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return;
  char line[4096];
  while (std::fgets(line, sizeof line, f)) {
    std::string_view rest(line);
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);
    // The key, then the values, one tab and spaces between them.
    for (size_t start = 0; start <= rest.size();) {
      size_t end = rest.find_first_of("\t ", start);
      if (end == std::string_view::npos) end = rest.size();
      const std::string_view word = rest.substr(start, end - start);
      if ((start == 0 ? keys : values) && CountCharacters(word) >= 2) words.emplace(word);
      start = end + 1;
    }
  }
  std::fclose(f);
}

}  // namespace

PlaceJudge::PlaceJudge(const std::string& folder, bool traditional) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*Phrases*.txt").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    // Simplified to Traditional lists (ST...) have Simplified keys,
    // Traditional to Simplified ones (TS...) Simplified values; the
    // regional lists hold Traditional forms on both sides.
    const std::string name = found.cFileName;
    const bool fromSimplified = name.rfind("ST", 0) == 0, toSimplified = name.rfind("TS", 0) == 0;
    const bool keys = traditional ? !fromSimplified : fromSimplified;
    const bool values = traditional ? !toSimplified : toSimplified;
    AddWords(folder + "\\" + name, keys, values, words_);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  for (const std::string& word : words_) {
    const std::vector<size_t> starts = Starts(word);
    const size_t n = starts.size() - 1;
    for (size_t i = 0; i < n; ++i) {
      for (size_t j = i + 2; j <= n && j - i <= kLongest; ++j) {
        parts_.emplace(word.substr(starts[i], starts[j] - starts[i]));
      }
    }
  }
}

bool PlaceJudge::Known(const std::unordered_set<std::string>& known, std::string_view before,
                       const std::string& candidate, std::string_view after) const {
  const std::vector<size_t> b = Starts(before), a = Starts(after);
  const size_t nBefore = b.size() - 1, nAfter = a.size() - 1;
  for (size_t i = 0; i <= nBefore && i < kLongest; ++i) {
    for (size_t j = 0; j <= nAfter && i + 1 + j <= kLongest; ++j) {
      if (i + j == 0) continue;
      std::string word(before.substr(b[nBefore - i]));
      word += candidate;
      word += after.substr(0, a[j]);
      if (known.count(word)) return true;
    }
  }
  return false;
}

PlaceJudge::Verdict PlaceJudge::Judge(std::string_view result, size_t offset, size_t length,
                                      const std::vector<std::string>& candidates, bool parts) const {
  // Up to three characters on either side.
  size_t from = offset;
  for (size_t n = 0; n < kLongest - 1 && from > 0; ++n) {
    do --from;
    while (from > 0 && IsContinuation(result[from]));
  }
  size_t to = offset + length;
  for (size_t n = 0; n < kLongest - 1 && to < result.size(); ++n) {
    do ++to;
    while (to < result.size() && IsContinuation(result[to]));
  }
  const std::string_view before = result.substr(from, offset - from);
  const std::string_view after = result.substr(offset + length, to - offset - length);
  bool keep = false, change = false;
  for (size_t c = 0; c < candidates.size(); ++c) {
    if (Known(parts ? parts_ : words_, before, candidates[c], after)) (c == 0 ? keep : change) = true;
  }
  if (keep && change) return Verdict::kSplit;
  return keep ? Verdict::kKeep : change ? Verdict::kChange : Verdict::kUnknown;
}
