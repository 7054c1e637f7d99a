#include "textio/LegacyCodePage.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "textio/CharFrequency.h"
#include "textio/Charsets.h"

namespace {

constexpr UINT kGbk = 936;
constexpr UINT kGb18030 = 54936;
constexpr UINT kBig5 = 950;

bool IsDoubleByteSystem(UINT cp) { return cp == 936 || cp == 950 || cp == 932 || cp == 949; }

bool IsSingleByte(UINT cp) {
  CPINFO info{};
  return GetCPInfo(cp, &info) && info.MaxCharSize == 1;
}

bool IsChinese(UINT cp) { return cp == kGbk || cp == kGb18030 || cp == kBig5; }

const char* SystemCharsetName(UINT cp) {
  switch (cp) {
    case 936: return "GBK";
    case 950: return "BIG5";
    case 932: return "SHIFT_JIS";
    case 949: return "UHC";
    default: return "";
  }
}

bool AllAscii(const unsigned char* bytes, std::size_t size) {
  return std::all_of(bytes, bytes + size, [](unsigned char b) { return b < 0x80; });
}

std::wstring Decode(UINT cp, const unsigned char* bytes, std::size_t size) {
  const auto* text = reinterpret_cast<const char*>(bytes);
  const int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, text, static_cast<int>(size),
                                    nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), out.data(), n);
  return out;
}

int UnknownCost() {
  static const int cost = [] {
    int highest = 0;
    for (std::size_t i = 0; i < kCharCostCount; ++i) highest = std::max<int>(highest, kCharCosts[i].cost);
    return highest + 8;
  }();
  return cost;
}

}  // namespace

bool DecodesCleanly(UINT codePage, const unsigned char* bytes, std::size_t size) {
  if (size == 0) return true;
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                             static_cast<int>(size), nullptr, 0) > 0;
}

long UncommonCharacterCost() { return UnknownCost(); }

long ChineseTextCost(const wchar_t* text, std::size_t length) {
  long total = 0;
  const CharCost* begin = kCharCosts;
  const CharCost* end = kCharCosts + kCharCostCount;
  for (std::size_t i = 0; i < length; ++i) {
    const wchar_t c = text[i];
    if (c < 0x80) continue;
    const CharCost* found = std::lower_bound(
        begin, end, c, [](const CharCost& e, wchar_t v) { return e.codePoint < v; });
    total += found != end && found->codePoint == c ? found->cost : UnknownCost();
  }
  return total;
}

std::string ChooseLegacyCharset(const unsigned char* sample, std::size_t size, bool whole,
                                const char* detected, UINT systemCodePage) {
  const std::string name = detected ? detected : "";
  if (!sample || size == 0 || AllAscii(sample, size)) return name;
  // A sample cut from a longer file may end inside a character: it is cut
  // back after its last byte below 0x40, which is never the second byte of
  // a double-byte character in these code pages.
  if (!whole) {
    std::size_t end = size;
    while (end > 0 && sample[end - 1] >= 0x40) --end;
    if (end > 0) size = end;
  }
  auto clean = [&](UINT cp) { return cp != 0 && IsValidCodePage(cp) && DecodesCleanly(cp, sample, size); };

  UINT chosen = CodePageForCharset(name.c_str());
  std::string chosenName = name;
  // A name the bytes contradict is not taken.
  if (chosen != 0 && !clean(chosen)) {
    chosen = 0;
    chosenName.clear();
  }
  // A single-byte name does not override a double-byte system code page
  // that reads the bytes.
  if (IsDoubleByteSystem(systemCodePage) && clean(systemCodePage) &&
      (chosen == 0 || IsSingleByte(chosen))) {
    chosen = systemCodePage;
    chosenName = SystemCharsetName(systemCodePage);
  }
  if (!IsChinese(chosen)) return chosenName;

  // GBK or Big5: the reading whose characters are the common ones.
  const std::wstring gbk = clean(kGbk) ? Decode(kGbk, sample, size) : std::wstring();
  const std::wstring big5 = clean(kBig5) ? Decode(kBig5, sample, size) : std::wstring();
  bool gbkWins;
  if (gbk.empty() && big5.empty()) return chosenName;  // e.g. GB18030's four-byte characters
  if (gbk.empty() || big5.empty()) {
    gbkWins = !gbk.empty();
  } else {
    const long gbkCost = ChineseTextCost(gbk.data(), gbk.size());
    const long big5Cost = ChineseTextCost(big5.data(), big5.size());
    gbkWins = gbkCost != big5Cost ? gbkCost < big5Cost : chosen != kBig5;
  }
  // The detector's own spelling stays where it named the winner.
  if (!gbkWins) return chosen == kBig5 ? chosenName : std::string("BIG5");
  return chosen != kBig5 ? chosenName : std::string("GBK");
}
