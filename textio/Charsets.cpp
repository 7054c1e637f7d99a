#include "textio/Charsets.h"

#include <cstring>

#include "fw/Handle.h"

namespace {

struct CharsetCodePages {
  const char* name;
  UINT codePages[3];  // tried in order; the first the system has is taken
};

// uchardet's names. GB18030 falls back to GBK (936), its two-byte part,
// where the system lacks 54936.
constexpr CharsetCodePages kTable[] = {
    {"BIG5", {950}},
    {"GB18030", {54936, 936}},
    {"GB2312", {936}},
    {"GBK", {936}},
    {"HZ-GB-2312", {52936}},
    {"EUC-TW", {}},
    {"ISO-2022-CN", {50227}},
    {"SHIFT_JIS", {932}},
    {"EUC-JP", {20932, 51932}},
    {"ISO-2022-JP", {50220}},
    {"EUC-KR", {949, 51949}},
    {"UHC", {949}},
    {"CP949", {949}},
    {"ISO-2022-KR", {50225}},
    {"WINDOWS-1250", {1250}},
    {"WINDOWS-1251", {1251}},
    {"WINDOWS-1252", {1252}},
    {"WINDOWS-1253", {1253}},
    {"WINDOWS-1254", {1254}},
    {"WINDOWS-1255", {1255}},
    {"WINDOWS-1256", {1256}},
    {"WINDOWS-1257", {1257}},
    {"WINDOWS-1258", {1258}},
    {"ISO-8859-1", {28591}},
    {"ISO-8859-2", {28592}},
    {"ISO-8859-3", {28593}},
    {"ISO-8859-4", {28594}},
    {"ISO-8859-5", {28595}},
    {"ISO-8859-6", {28596}},
    {"ISO-8859-7", {28597}},
    {"ISO-8859-8", {28598}},
    {"ISO-8859-8-I", {38598, 28598}},
    {"ISO-8859-9", {28599}},
    {"ISO-8859-10", {28600}},
    {"ISO-8859-11", {874}},
    {"ISO-8859-13", {28603}},
    {"ISO-8859-15", {28605}},
    {"ISO-8859-16", {28606}},
    {"TIS-620", {874}},
    {"KOI8-R", {20866}},
    {"IBM852", {852}},
    {"IBM855", {855}},
    {"IBM866", {866}},
    {"MAC-CYRILLIC", {10007}},
    {"MAC-CENTRALEUROPE", {10029}},
};

bool SameName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
    char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

}  // namespace

UINT CodePageForCharset(const char* charset) {
  if (!charset) return kSystemCodePage;
  for (const auto& row : kTable) {
    if (!SameName(charset, row.name)) continue;
    for (UINT cp : row.codePages) {
      if (cp != 0 && IsValidCodePage(cp)) return cp;
    }
    return kSystemCodePage;
  }
  return kSystemCodePage;
}

UINT CodePageForDetectedFile(const wchar_t* path, const char* charset) {
  if (!charset || !SameName(charset, "UTF-32")) return CodePageForCharset(charset);
  fw::UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  unsigned char mark[4] = {};
  DWORD got = 0;
  if (!file || !ReadFile(file.get(), mark, 4, &got, nullptr) || got < 4) return kSystemCodePage;
  if (mark[0] == 0xFF && mark[1] == 0xFE && mark[2] == 0 && mark[3] == 0) return kCodePageUtf32Le;
  if (mark[0] == 0 && mark[1] == 0 && mark[2] == 0xFE && mark[3] == 0xFF) return kCodePageUtf32Be;
  return kSystemCodePage;
}
