// glyphmap's regional standards and the user's word lists, through the
// exported functions as the program and other callers use them.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ConvConfigs.h"
#include "glyphmap/OutputBound.h"
#include "glyphmap/glyphmap.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

// Opens, converts through the handle's own bound (guard bytes after it
// must stay), closes.
std::string ConvertWith(const char* name, const std::string& text, const std::wstring& list = {}) {
  const std::string listUtf8 = Utf8(list);
  int h = glyphmap_open(name, listUtf8.c_str());
  EXPECT_GE(h, 0) << name;
  if (h < 0) return {};
  const size_t bound = glyphmap_output_bound(h, text.size());
  std::vector<char> out(bound + 16, '\x7F');
  int n = glyphmap_convert(h, text.data(), text.size(), out.data(), bound);
  opencc_close(h);
  for (size_t i = bound; i < out.size(); ++i) EXPECT_EQ(out[i], '\x7F') << "wrote past the bound";
  EXPECT_LT(static_cast<size_t>(n), bound);
  return std::string(out.data(), static_cast<size_t>(n));
}

std::string Report(const std::wstring& list, const char* name = "s2t") {
  int h = glyphmap_open(name, Utf8(list).c_str());
  EXPECT_GE(h, 0);
  std::string report(glyphmap_word_list_report(h, nullptr, 0) + 1, '\0');
  report.resize(glyphmap_word_list_report(h, report.data(), report.size()));
  opencc_close(h);
  return report;
}

const char* const kAllNames[] = {"s2t",  "s2tw", "s2twp", "s2hk", "s2hkp",
                                 "t2s",  "tw2s", "tw2sp", "hk2s", "hk2sp"};

TEST(Standards, EachOpensByNameAndTheRegionalOnesUseTheirReadersWords) {
  const std::string text = "这个软件的鼠标和信息";
  EXPECT_EQ(ConvertWith("s2t", text), "這個軟件的鼠標和信息");
  EXPECT_EQ(ConvertWith("s2twp", text), "這個軟體的滑鼠和資訊");
  EXPECT_EQ(ConvertWith("s2hkp", text), "這個軟件的滑鼠和信息");
  EXPECT_EQ(ConvertWith("tw2sp", "這個軟體的滑鼠和資訊"), text);
  for (const char* name : kAllNames) EXPECT_FALSE(ConvertWith(name, "头发 頭髮").empty()) << name;
  EXPECT_EQ(glyphmap_open("s2jp", nullptr), -1);
  EXPECT_EQ(glyphmap_open(nullptr, nullptr), -1);
  EXPECT_EQ(glyphmap_open("", nullptr), -1);
}

TEST(Standards, CompatibilityIdeographsAreNormalizedAsOpenCCDoes) {
  // U+F900 (豈, compatibility) is U+8C48 once normalized, in every standard.
  EXPECT_EQ(ConvertWith("s2tw", "\xEF\xA4\x80"), "\xE8\xB1\x88");
  EXPECT_EQ(ConvertWith("s2t", "\xEF\xA4\x80"), "\xE8\xB1\x88");
}

TEST(Standards, TheGenericStandardIsOpenCCsOwnWhileAnOlderTextConvertsAsBefore) {
  // OpenCC 1.4.1's s2t takes the phrases it generates from the regional
  // lists (马里兰 → 馬里蘭, Maryland); the older two-dictionary text handed
  // over as text keeps its own results.
  EXPECT_EQ(ConvertWith("s2t", "马里兰州"), "馬里蘭州");
  EXPECT_EQ(ConvertWith("t2s", "馬里蘭州"), "马里兰州");
  const int h = opencc_open_t2s(std::string(kConvConfigSim2Tra).c_str(), "glyphmap");
  ASSERT_GE(h, 0);
  std::string out(GlyphmapOutputBound(12), '\0');
  out.resize(static_cast<size_t>(opencc_convert_utf8_to_buffer(h, "马里兰州", 12, out.data())));
  opencc_close(h);
  EXPECT_EQ(out, "馬裏蘭州");
}

class WordLists : public ::testing::Test {
 protected:
  TempDir dir{L"词汇"};
  std::wstring list = dir / L"Words-Sim2Tra.txt";
  void Write(const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(list, bytes)); }
};

TEST_F(WordLists, AnEntryBeatsPhrasesAndCharactersInEveryStandard) {
  // 头发 is a dictionary phrase, 干 a character with its own default (幹);
  // the results are taken as they are, never converted further.
  Write("# a comment\r\n头发\t头发丝\r\n\r\n干\t乾\r\n");
  for (const char* name : {"s2t", "s2tw", "s2twp", "s2hk", "s2hkp"}) {
    EXPECT_EQ(ConvertWith(name, "洗头发干净", list), "洗头发丝乾淨") << name;
  }
  Write("頭髮\tTOUFA\n");
  for (const char* name : {"t2s", "tw2s", "tw2sp", "hk2s", "hk2sp"}) {
    EXPECT_EQ(ConvertWith(name, "洗頭髮", list), "洗TOUFA") << name;
  }
}

TEST_F(WordLists, AnEntryInsideALongerPhraseIsNeverCut) {
  // 软件开发 is one dictionary phrase: the entry for 件开 still wins there,
  // and the text around it converts on its own.
  Write("件开\t[件開]\n");
  EXPECT_EQ(ConvertWith("s2twp", "软件开发", list), "軟[件開]發");
  EXPECT_EQ(ConvertWith("s2twp", "软件开发", L""), "軟體開發");
}

TEST_F(WordLists, ASafeCutNeverSplitsAnEntry) {
  // ASCII starts no dictionary key, so only the entry keeps a cut out of
  // "abc": every cut offered converts in two pieces as the whole does.
  Write("abc\t[ABC]\n");
  const std::string text = "xx abc yy abc zz";
  const std::string listUtf8 = Utf8(list);
  const int h = glyphmap_open("s2twp", listUtf8.c_str());
  ASSERT_GE(h, 0);
  const std::string whole = ConvertWith("s2twp", text, list);
  ASSERT_EQ(whole, "xx [ABC] yy [ABC] zz");
  int cuts = 0;
  for (size_t limit = 1; limit <= text.size(); ++limit) {
    const size_t cut = glyphmap_safe_cut(h, text.data(), limit);
    ASSERT_LE(cut, limit);
    if (cut == 0) continue;
    ++cuts;
    EXPECT_NE(text[cut - 1], 'a') << cut;
    EXPECT_NE(text[cut - 1], 'b') << cut;
    EXPECT_EQ(ConvertWith("s2twp", text.substr(0, cut), list) +
                  ConvertWith("s2twp", text.substr(cut), list),
              whole)
        << "cut at " << cut;
  }
  opencc_close(h);
  EXPECT_GT(cuts, 0);
}

TEST_F(WordLists, SupplementaryCharactersInSourcesAndResults) {
  Write("\xF0\xA0\x80\x80\t\xF0\xAA\x9A\xA5\n"   // U+20000 -> U+2A6A5
        "计\xF0\xA0\x80\x81\tX\xF0\xA0\x80\x81\n");  // a word that ends in U+20001
  EXPECT_EQ(ConvertWith("s2t", "\xF0\xA0\x80\x80计\xF0\xA0\x80\x81计算", list),
            "\xF0\xAA\x9A\xA5X\xF0\xA0\x80\x81計算");
}

TEST_F(WordLists, AChangedListIsUsedFromTheNextOpen) {
  Write("鼠标\t滑鼠\n");
  EXPECT_EQ(ConvertWith("s2t", "鼠标", list), "滑鼠");
  Write("鼠标\t老鼠的標\n");
  EXPECT_EQ(ConvertWith("s2t", "鼠标", list), "老鼠的標");
  ASSERT_TRUE(DeleteFileW(list.c_str()));
  EXPECT_EQ(ConvertWith("s2t", "鼠标", list), "鼠標");
}

TEST_F(WordLists, BadLinesAreSkippedNamedOnceAndTheRestIsUsed) {
  Write("好\t好!\n"          // 1 used
        "没有制表符\n"       // 2 no tab
        "\t空原文\n"         // 3 empty source
        "坏\xFF\t坏\n"       // 4 invalid UTF-8
        "空译文\t\n"         // 5 empty result
        "好\t又一个\n"       // 6 a source listed before
        "   # 注释\n"        // a comment
        "人\t人!\n");        // 8 used
  EXPECT_EQ(ConvertWith("s2t", "好人", list), "好!人!");
  const std::string report = Report(list);
  EXPECT_NE(report.find(Utf8(list)), std::string::npos) << report;
  for (const char* line : {"第 2 行", "第 3 行", "第 4 行", "第 5 行", "第 6 行"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  }
  EXPECT_EQ(report.find("第 1 行"), std::string::npos);
  EXPECT_EQ(report.find("第 8 行"), std::string::npos);
  Write("好\t好!\n");
  EXPECT_EQ(Report(list), "");
}

TEST_F(WordLists, ACarriageReturnAloneEndsALineAndAResultWithATabIsABadLine) {
  Write("鼠标\t滑鼠\r网络\t網路\r坏\t行\t多\r人\t人!");
  EXPECT_EQ(ConvertWith("s2t", "鼠标网络坏人", list), "滑鼠網路壞人!");
  const std::string report = Report(list);
  EXPECT_NE(report.find("第 3 行"), std::string::npos) << report;
  EXPECT_EQ(report.find("第 1 行"), std::string::npos) << report;
}

TEST_F(WordLists, AResultFarLongerThanItsSourceIsABadLineAndNoBoundWraps) {
  Write("x\t" + std::string(65, 'y') + "\n" +                          // over 64 times its source
        std::string(100, 'k') + "\t" + std::string(4097, 'v') + "\n" +  // over 4 KiB
        "z\t" + std::string(64, 'w') + "\n");
  EXPECT_EQ(ConvertWith("s2t", "xz", list), "x" + std::string(64, 'w'));
  const std::string report = Report(list);
  EXPECT_NE(report.find("第 1 行"), std::string::npos) << report;
  EXPECT_NE(report.find("第 2 行"), std::string::npos) << report;
  // A bound beyond what a size_t holds is refused, never wrapped round.
  EXPECT_THROW(glyphmap::Expansion({uint64_t{1} << 31, 1}).Bound(SIZE_MAX / 4), std::runtime_error);
  EXPECT_EQ(glyphmap::Expansion({64, 1}).Bound(1000), 64001u);
}

TEST_F(WordLists, TooManyEntriesAndTooManyBytesKeepTheFirstPart) {
  std::string many;
  for (int i = 0; i < 100003; ++i) {
    many += 'k';
    many += std::to_string(i);
    many += ".\tv\n";
  }
  Write(many);
  EXPECT_EQ(ConvertWith("s2t", "k99999.|k100000.|k100002.", list), "v|k100000.|k100002.");
  std::string report = Report(list);
  EXPECT_NE(report.find("100001"), std::string::npos) << report;  // the first line skipped

  std::string big = "甲\t一\n乙\t二\n";  // two entries, then a comment line of 17 MiB
  big.append(17u << 20, '#');
  big.append("\n丙\t三\n");
  Write(big);
  EXPECT_EQ(ConvertWith("s2t", "甲乙丙", list), "一二丙");
  report = Report(list);
  EXPECT_NE(report.find("16 MiB"), std::string::npos) << report;
}

TEST_F(WordLists, TheOutputBoundFollowsTheLongestEntry) {
  const std::string longResult(64, 'x');
  Write("a\t" + longResult + "\n");
  const std::string text = "aaaa";
  int h = glyphmap_open("s2t", Utf8(list).c_str());
  ASSERT_GE(h, 0);
  const size_t bound = glyphmap_output_bound(h, text.size());
  EXPECT_GE(bound, 4 * longResult.size() + 1);
  // Too small a buffer is refused with only an empty result written; the
  // fixed bound of the older call is never overrun either.
  std::vector<char> small(100, '\x7F');
  EXPECT_THROW(glyphmap_convert(h, text.data(), text.size(), small.data(), 50), std::runtime_error);
  EXPECT_EQ(small[0], '\0');
  for (size_t i = 1; i < small.size(); ++i) ASSERT_EQ(small[i], '\x7F');
  std::vector<char> legacy(GlyphmapOutputBound(text.size()) + 16, '\x7F');
  EXPECT_THROW(opencc_convert_utf8_to_buffer(h, text.data(), text.size(), legacy.data()),
               std::runtime_error);
  for (size_t i = 1; i < legacy.size(); ++i) ASSERT_EQ(legacy[i], '\x7F');
  opencc_close(h);
  EXPECT_EQ(ConvertWith("s2t", text, list), longResult + longResult + longResult + longResult);
}

}  // namespace
