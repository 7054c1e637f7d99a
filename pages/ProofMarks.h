#pragma once
// ProofMarks: the places marked in a text page's result box, kept in step
// with the box's text. Logic only; CProofEdit draws and drives them.
#include <string>
#include <vector>

#include "engine/TextPlaces.h"

class ProofMarks {
 public:
  // The places of a fresh result `text`, in order.
  void Reset(std::vector<TextPlace> places, const std::wstring& text);
  void Clear() { Reset({}, std::wstring()); }

  const std::vector<TextPlace>& Places() const { return places_; }
  int Count() const { return static_cast<int>(places_.size()); }
  const std::wstring& Text() const { return text_; }

  // The box's text is now `text`: the part that changed is found by what
  // stayed the same at both ends; a mark after it moves with its text, a
  // mark in it goes (its character was changed).
  void FollowEdit(const std::wstring& text);

  // The mark whose character is at `pos`, or -1.
  int At(int pos) const;
  // The first mark starting after `pos` (the first of all after the last),
  // and the last starting before it (the last after the first); -1 with
  // no marks.
  int Next(int pos) const;
  int Previous(int pos) const;
  // Drops mark `index`.
  void Remove(int index);

 private:
  std::vector<TextPlace> places_;
  std::wstring text_;
};

// A word list entry proposed for a place: the place's character in the
// source with up to one Han character on each side (two to three
// characters where it has neighbours), and what the result has there with
// `candidate` at the place. When the source text no longer holds the
// place's character where it was, the character alone.
struct WordProposal {
  std::wstring source;
  std::wstring result;
  int resultStart = 0;  // the part of the result the entry covers
  int resultLength = 0;
};
WordProposal ProposeWord(const std::wstring& sourceText, const std::wstring& resultText,
                         const TextPlace& place, const std::wstring& candidate);
