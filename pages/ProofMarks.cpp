#include "pages/ProofMarks.h"

#include <algorithm>

void ProofMarks::Reset(std::vector<TextPlace> places, const std::wstring& text) {
  places_ = std::move(places);
  text_ = text;
}

void ProofMarks::FollowEdit(const std::wstring& text) {
  if (text == text_) return;
  const size_t shorter = std::min(text.size(), text_.size());
  size_t same = 0;
  while (same < shorter && text[same] == text_[same]) ++same;
  size_t tail = 0;
  while (tail < shorter - same && text[text.size() - 1 - tail] == text_[text_.size() - 1 - tail]) ++tail;
  const int changedFrom = static_cast<int>(same);
  const int changedTo = static_cast<int>(text_.size() - tail);  // in the old text
  const int shift = static_cast<int>(text.size()) - static_cast<int>(text_.size());
  std::vector<TextPlace> kept;
  for (TextPlace& place : places_) {
    if (place.start + place.length <= changedFrom) {
      kept.push_back(std::move(place));
    } else if (place.start >= changedTo) {
      place.start += shift;
      kept.push_back(std::move(place));
    }
  }
  places_ = std::move(kept);
  text_ = text;
}

int ProofMarks::At(int pos) const {
  for (size_t i = 0; i < places_.size(); ++i) {
    if (pos >= places_[i].start && pos < places_[i].start + places_[i].length) return static_cast<int>(i);
    if (places_[i].start > pos) break;
  }
  return -1;
}

int ProofMarks::Next(int pos) const {
  if (places_.empty()) return -1;
  for (size_t i = 0; i < places_.size(); ++i) {
    if (places_[i].start > pos) return static_cast<int>(i);
  }
  return 0;
}

int ProofMarks::Previous(int pos) const {
  if (places_.empty()) return -1;
  for (size_t i = places_.size(); i-- > 0;) {
    if (places_[i].start < pos) return static_cast<int>(i);
  }
  return Count() - 1;
}

void ProofMarks::Remove(int index) {
  if (index >= 0 && index < Count()) places_.erase(places_.begin() + index);
}

namespace {

bool IsHan(wchar_t c) {
  return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF);
}

}  // namespace

WordProposal ProposeWord(const std::wstring& sourceText, const std::wstring& resultText,
                         const TextPlace& place, const std::wstring& candidate) {
  WordProposal word{place.source, candidate, place.start, place.length};
  const int s = place.sourceStart, sl = place.sourceLength, r = place.start, rl = place.length;
  if (s < 0 || r < 0 || s + sl > static_cast<int>(sourceText.size()) ||
      r + rl > static_cast<int>(resultText.size()) ||
      sourceText.compare(static_cast<size_t>(s), static_cast<size_t>(sl), place.source) != 0) {
    return word;
  }
  // A neighbour joins when it is a Han character on both sides: the
  // result then has its counterpart in the same place.
  const bool before = s > 0 && r > 0 && IsHan(sourceText[s - 1]) && IsHan(resultText[r - 1]);
  const bool after = s + sl < static_cast<int>(sourceText.size()) &&
                     r + rl < static_cast<int>(resultText.size()) && IsHan(sourceText[s + sl]) &&
                     IsHan(resultText[r + rl]);
  word.source = sourceText.substr(s - (before ? 1 : 0), sl + (before ? 1 : 0) + (after ? 1 : 0));
  word.result = (before ? resultText.substr(r - 1, 1) : std::wstring()) + candidate +
                (after ? resultText.substr(r + rl, 1) : std::wstring());
  word.resultStart = r - (before ? 1 : 0);
  word.resultLength = rl + (before ? 1 : 0) + (after ? 1 : 0);
  return word;
}
