// A text page's proofreading without windows: places in UTF-16 positions,
// marks that follow hand edits, moving between them, the word proposed for
// a place and its line in the word list.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/TextPlaces.h"
#include "pages/ProofMarks.h"
#include "pages/ProofWordDlg.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

TEST(TextPlaces, Utf8OffsetsBecomeUtf16PositionsInBothTexts) {
  // 𠀀 (four bytes) is two UTF-16 units: the place after it is at 3.
  const std::string source = "a\xF0\xA0\x80\x80发";
  const std::string result = "a\xF0\xA0\x80\x80發";
  const std::vector<TextPlace> places =
      ToTextPlaces(result, source, {{5, 3, 5, 3, "发", "發\t發展\t出發\n髮\t頭髮"}});
  ASSERT_EQ(places.size(), 1u);
  EXPECT_EQ(places[0].start, 3);
  EXPECT_EQ(places[0].length, 1);
  EXPECT_EQ(places[0].sourceStart, 3);
  EXPECT_EQ(places[0].source, L"发");
  ASSERT_EQ(places[0].candidates.size(), 2u);
  EXPECT_EQ(places[0].candidates[1].text, L"髮");
  EXPECT_EQ(places[0].candidates[0].hints, (std::vector<std::wstring>{L"發展", L"出發"}));
  EXPECT_TRUE(ToTextPlaces(result, source, {{7, 3, 5, 3, "发", "發\n髮"}}).empty()) << "outside the text";
}

std::vector<TextPlace> ThreePlaces() {
  std::vector<TextPlace> places(3);
  for (int i = 0; i < 3; ++i) {
    places[static_cast<size_t>(i)].start = 2 + 4 * i;  // "他理發。他理發。他理發。" style
    places[static_cast<size_t>(i)].length = 1;
  }
  return places;
}

TEST(ProofMarks, MarksMoveWithTheirTextAndGoWhenTheirCharacterChanges) {
  ProofMarks marks;
  marks.Reset(ThreePlaces(), L"他理發。他理發。他理發。");
  marks.FollowEdit(L"他X理發。他理發。他理發。");  // typed before all three
  ASSERT_EQ(marks.Count(), 3);
  EXPECT_EQ(marks.Places()[0].start, 3);
  marks.FollowEdit(L"他X理髮。他理發。他理發。");  // the first one changed by hand
  ASSERT_EQ(marks.Count(), 2);
  EXPECT_EQ(marks.Places()[0].start, 7);
  marks.FollowEdit(L"他X理髮。他理發。他理發。!");  // typed after the last
  EXPECT_EQ(marks.Places()[1].start, 11);
  marks.FollowEdit(L"");
  EXPECT_EQ(marks.Count(), 0);
}

TEST(ProofMarks, NextAndPreviousGoRoundAndAtFindsTheCharacter) {
  ProofMarks marks;
  marks.Reset(ThreePlaces(), L"他理發。他理發。他理發。");
  EXPECT_EQ(marks.Next(0), 0);
  EXPECT_EQ(marks.Next(2), 1);
  EXPECT_EQ(marks.Next(10), 0);
  EXPECT_EQ(marks.Previous(6), 0);  // from the second place selected
  EXPECT_EQ(marks.Previous(7), 1);
  EXPECT_EQ(marks.Previous(2), 2);
  EXPECT_EQ(marks.At(6), 1);
  EXPECT_EQ(marks.At(5), -1);
  marks.Clear();
  EXPECT_EQ(marks.Next(0), -1);
}

TEST(ProofMarks, TheWordProposedIsThePlaceWithItsHanNeighbours) {
  TextPlace place;
  place.start = 3;
  place.length = 1;
  place.sourceStart = 3;
  place.sourceLength = 1;
  place.source = L"发";
  WordProposal w = ProposeWord(L"他理了发型。", L"他理了發型。", place, L"髮");
  EXPECT_EQ(w.source, L"了发型");
  EXPECT_EQ(w.result, L"了髮型");
  EXPECT_EQ(w.resultStart, 2);
  EXPECT_EQ(w.resultLength, 3);
  w = ProposeWord(L"他理了发。", L"他理了發。", place, L"髮");
  EXPECT_EQ(w.source, L"了发");
  // A source edited since: the character alone.
  w = ProposeWord(L"你好", L"他理了發。", place, L"髮");
  EXPECT_EQ(w.source, L"发");
  EXPECT_EQ(w.result, L"髮");
}

TEST(ProofWordList, AnEntryIsAddedOnceInPlaceOfTheSameSourceAndTheRestIsKept) {
  TempDir dir{L"词汇"};
  const std::wstring list = dir / L"Words-Sim2Tra.txt";
  ASSERT_TRUE(AddWordListEntry(list, Sim2Tra, L"了发", L"了發"));
  ASSERT_TRUE(WriteFileBytes(list, ReadFileBytes(list) + "头\t頭頭"));  // no line end at the end
  ASSERT_TRUE(AddWordListEntry(list, Sim2Tra, L"了发", L"了髮"));
  const std::string bytes = ReadFileBytes(list);
  EXPECT_EQ(bytes.find("了发\t了發"), std::string::npos);
  EXPECT_NE(bytes.find("头\t頭頭\r\n了发\t了髮\r\n"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.front(), '#') << "the list's header is kept";
  EXPECT_FALSE(AddWordListEntry(dir / L"no such folder\\Words.txt", Sim2Tra, L"了发", L"了髮"));
}

}  // namespace
