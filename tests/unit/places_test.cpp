// glyphmap's proofreading export: the places of a result where a character
// with several counterparts was converted by its character entry alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "glyphmap/glyphmap.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

struct MarkedPlace {
  size_t offset = 0, length = 0, sourceOffset = 0, sourceLength = 0;
  std::string source;
  std::vector<std::string> candidates;
  std::vector<std::vector<std::string>> hints;
  int rank = 0, words = 0;
};

struct Marked {
  std::string result;
  std::vector<MarkedPlace> places;
};

std::vector<std::string> Split(const std::string& text, char at) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(at, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

void Collect(void* context, const glyphmap_place* place) {
  MarkedPlace p;
  p.offset = place->offset;
  p.length = place->length;
  p.sourceOffset = place->sourceOffset;
  p.sourceLength = place->sourceLength;
  p.source = place->source;
  p.rank = place->rank;
  p.words = place->words;
  for (const std::string& line : Split(place->candidates, '\n')) {
    std::vector<std::string> fields = Split(line, '\t');
    p.candidates.push_back(fields.front());
    p.hints.emplace_back(fields.begin() + 1, fields.end());
  }
  static_cast<std::vector<MarkedPlace>*>(context)->push_back(std::move(p));
}

Marked ConvertMarked(const char* name, const std::string& text, int flags = 0,
                     const std::wstring& list = {}) {
  Marked marked;
  const int h = glyphmap_open(name, Utf8(list).c_str());
  EXPECT_GE(h, 0) << name;
  if (h < 0) return marked;
  std::vector<char> out(glyphmap_output_bound(h, text.size()));
  const int n = glyphmap_convert_places(h, text.data(), text.size(), out.data(), out.size(), flags,
                                        &Collect, &marked.places);
  marked.result.assign(out.data(), static_cast<size_t>(n));
  opencc_close(h);
  return marked;
}

std::string ConvertPlain(const char* name, const std::string& text) {
  const int h = glyphmap_open(name, nullptr);
  std::vector<char> out(glyphmap_output_bound(h, text.size()));
  const int n = glyphmap_convert(h, text.data(), text.size(), out.data(), out.size());
  opencc_close(h);
  return std::string(out.data(), static_cast<size_t>(n));
}

TEST(Places, APhraseDecidesAndACharacterAloneIsMarkedWithItsCandidatesInOrder) {
  EXPECT_TRUE(ConvertMarked("s2t", "头发").places.empty());
  const Marked m = ConvertMarked("s2t", "头发，发");
  EXPECT_EQ(m.result, "頭髮，發");
  ASSERT_EQ(m.places.size(), 1u);
  EXPECT_EQ(m.places[0].offset, 9u);
  EXPECT_EQ(m.places[0].length, 3u);
  EXPECT_EQ(m.places[0].source, "发");
  EXPECT_EQ(m.places[0].sourceOffset, 9u);
  EXPECT_EQ(m.places[0].sourceLength, 3u);
  EXPECT_EQ(m.places[0].candidates, (std::vector<std::string>{"發", "髮"}));
  // Hints come from the phrases and hold their candidate: nothing invented.
  for (size_t i = 0; i < 2; ++i) {
    ASSERT_FALSE(m.places[0].hints[i].empty()) << m.places[0].candidates[i];
    for (const std::string& hint : m.places[0].hints[i]) {
      EXPECT_NE(hint.find(m.places[0].candidates[i]), std::string::npos) << hint;
    }
  }
}

TEST(Places, NoneWhereAWordListEntryApplied) {
  TempDir dir{L"校对"};
  const std::wstring list = dir / L"Words-Sim2Tra.txt";
  ASSERT_TRUE(WriteFileBytes(list, "干\t乾\n发\t髮\n"));
  const std::string text = "干，发，后";
  const Marked without = ConvertMarked("s2t", text);
  ASSERT_EQ(without.places.size(), 3u);
  const Marked with = ConvertMarked("s2t", text, 0, list);
  EXPECT_EQ(with.result, "乾，髮，後");
  ASSERT_EQ(with.places.size(), 1u);
  EXPECT_EQ(with.places[0].offset, 12u);
  EXPECT_EQ(with.places[0].sourceOffset, 12u);
  EXPECT_EQ(with.places[0].source, "后");
}

TEST(Places, TheClassicCasesAreMarkedAloneAndTheSafeOnesOnlyWhenEveryPlaceIsAsked) {
  for (const char* name : {"s2t", "s2tw", "s2twp", "s2hk", "s2hkp"}) {
    for (const char* c : {"发", "干", "后", "里", "面", "台", "复", "系", "松", "只", "历", "钟", "冲",
                          "斗", "制", "征", "余"}) {
      const Marked m = ConvertMarked(name, std::string("。") + c + "。");
      ASSERT_EQ(m.places.size(), 1u) << name << " " << c;
      EXPECT_EQ(m.places[0].offset, 3u);
      EXPECT_EQ(m.result.substr(3, m.places[0].length), m.places[0].candidates.front()) << c;
      EXPECT_GE(m.places[0].candidates.size(), 2u) << c;
    }
    EXPECT_TRUE(ConvertMarked(name, "个").places.empty()) << name;
    const Marked every = ConvertMarked(name, "个", GLYPHMAP_EVERY_PLACE);
    ASSERT_EQ(every.places.size(), 1u) << name;
    EXPECT_EQ(every.places[0].candidates.front(), "個");
    // 霑 wins most of the few phrases that hold 沾, but only those few: a
    // closed set of words, and 沾 alone is left unmarked.
    EXPECT_TRUE(ConvertMarked(name, "沾").places.empty()) << name;
    const Marked rare = ConvertMarked(name, "沾", GLYPHMAP_EVERY_PLACE);
    ASSERT_EQ(rare.places.size(), 1u) << name;
    EXPECT_GT(rare.places[0].rank, 500) << name;
    EXPECT_LT(rare.places[0].words, 47) << name;
  }
}

TEST(Places, BothDirectionsThroughTheWholeChain) {
  // 乾 alone is 干 or 乾 the other way.
  for (const char* name : {"t2s", "tw2s", "tw2sp", "hk2s", "hk2sp"}) {
    const Marked m = ConvertMarked(name, "乾");
    EXPECT_EQ(m.result, ConvertPlain(name, "乾")) << name;
    ASSERT_EQ(m.places.size(), 1u) << name;
    EXPECT_EQ(m.places[0].candidates, (std::vector<std::string>{"干", "乾"})) << name;
  }
  // A place the later step finds: 线 has one counterpart, 線, which Hong
  // Kong's step writes 線 or 綫.
  const Marked hk = ConvertMarked("s2hk", "。线。", GLYPHMAP_EVERY_PLACE);
  ASSERT_EQ(hk.places.size(), 1u);
  EXPECT_EQ(hk.places[0].candidates, (std::vector<std::string>{"線", "綫"}));
  // Taiwan's later step writes 裡 for 裏: the candidates are what the chain
  // makes of each, the chosen one as the result has it.
  const Marked tw = ConvertMarked("s2twp", "里");
  ASSERT_EQ(tw.places.size(), 1u);
  EXPECT_EQ(tw.result, "裡");
  EXPECT_EQ(tw.places[0].candidates.front(), "裡");
}

TEST(Places, OnRealTextTheResultIsTheConversionAndEveryPlaceHoldsItsFirstCandidate) {
  const std::string pages = ReadFileBytes(ExeFolder() + L"\\..\\testdata\\manpages_zh_CN.txt");
  ASSERT_GT(pages.size(), 300000u) << "the manual pages corpus is missing";
  std::string text = pages.substr(0, 300000);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  text.pop_back();
  for (const char* name : {"s2t", "s2twp", "s2hk", "t2s", "tw2sp"}) {
    const Marked m = ConvertMarked(name, text, GLYPHMAP_EVERY_PLACE);
    ASSERT_EQ(m.result, ConvertPlain(name, text)) << name;
    size_t end = 0;
    for (const MarkedPlace& p : m.places) {
      ASSERT_GE(p.offset, end) << name;
      end = p.offset + p.length;
      ASSERT_LE(end, m.result.size());
      ASSERT_EQ(m.result.substr(p.offset, p.length), p.candidates.front()) << name << " " << p.source;
      ASSERT_LE(p.sourceOffset + p.sourceLength, text.size());
      // Without a normalization or a later step the place's source is
      // the character looked up.
      if (std::string(name).size() == 3) {
        ASSERT_EQ(text.substr(p.sourceOffset, p.sourceLength), p.source);
      }
    }
    if (name[0] == 's') {
      EXPECT_GT(m.places.size(), 100u) << name;
    }
    EXPECT_LT(ConvertMarked(name, text).places.size(), m.places.size()) << name;
  }
}

}  // namespace
