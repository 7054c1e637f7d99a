#include "textio/TextEncoder.h"

#include <algorithm>
#include <cstring>

#include "textio/Charsets.h"

namespace {

constexpr const wchar_t* kLabels[OUTENC_COUNT] = {
    L"UTF-8", L"UTF-8 (带 BOM)", L"UTF-16 LE (带 BOM)", L"GB18030", L"Big5", L"与源文件相同"};

constexpr UINT kCodePageGb18030 = 54936;
constexpr UINT kCodePageBig5 = 950;
constexpr wchar_t kMark = 0xFEFF;

bool Widen(const char* utf8, size_t n, std::wstring& wide) {
  wide.clear();
  if (n == 0) return true;
  if (n > 0x3FFFFFFF) return false;
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, static_cast<int>(n),
                                        nullptr, 0);
  if (units <= 0) return false;
  wide.resize(static_cast<size_t>(units));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, static_cast<int>(n), wide.data(),
                             units) == units;
}

void PutUnits(const std::wstring& wide, bool bigEndian, std::string& out) {
  out.resize(wide.size() * 2);
  for (size_t i = 0; i < wide.size(); ++i) {
    const auto u = static_cast<unsigned>(wide[i]);
    out[2 * i + (bigEndian ? 1 : 0)] = static_cast<char>(u & 0xFF);
    out[2 * i + (bigEndian ? 0 : 1)] = static_cast<char>(u >> 8);
  }
}

void PutUtf32(const std::wstring& wide, bool bigEndian, std::string& out) {
  out.clear();
  out.reserve(wide.size() * 4);
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    char b[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                 static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
    if (bigEndian) std::swap(b[0], b[3]), std::swap(b[1], b[2]);
    out.append(b, 4);
  }
}

// The code page's bytes for `wide`, and whether they read back as `wide`
// (a character the code page lacks comes back as '?' or as a look-alike).
bool ToCodePageChecked(UINT codePage, const wchar_t* wide, int units, std::string& out) {
  out.clear();
  if (units == 0) return true;
  const int n = WideCharToMultiByte(codePage, 0, wide, units, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(codePage, 0, wide, units, out.data(), n, nullptr, nullptr) != n) {
    return false;
  }
  const int back = MultiByteToWideChar(codePage, 0, out.data(), n, nullptr, 0);
  if (back != units) return false;
  std::wstring again(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(codePage, 0, out.data(), n, again.data(), back);
  return std::wmemcmp(again.data(), wide, static_cast<size_t>(units)) == 0;
}

// GB18030 where the system lacks code page 54936 (Wine): its two-byte part
// is GBK (936), the euro sign aside, and the characters beyond the BMP have
// four-byte codes that follow from their code points. A BMP character GBK
// lacks is refused rather than guessed.
bool ToGb18030ViaGbk(const wchar_t* wide, int units, std::string& out) {
  const bool plain = std::none_of(wide, wide + units, [](wchar_t c) {
    return c == 0x20AC || (c >= 0xD800 && c < 0xE000);
  });
  if (plain && ToCodePageChecked(936, wide, units, out)) return true;
  out.clear();
  std::string one;
  bool whole = true;
  for (int i = 0; i < units; ++i) {
    const wchar_t c = wide[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c == 0x20AC) {
      out += "\xA2\xE3";
    } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && wide[i + 1] >= 0xDC00 &&
               wide[i + 1] < 0xE000) {
      std::uint32_t index = 189000 + ((static_cast<std::uint32_t>(c) - 0xD800) << 10) +
                            (static_cast<std::uint32_t>(wide[i + 1]) - 0xDC00);
      char b[4];
      b[0] = static_cast<char>(0x81 + index / 12600), index %= 12600;
      b[1] = static_cast<char>(0x30 + index / 1260), index %= 1260;
      b[2] = static_cast<char>(0x81 + index / 10);
      b[3] = static_cast<char>(0x30 + index % 10);
      out.append(b, 4);
      ++i;
    } else if (ToCodePageChecked(936, &wide[i], 1, one) && one.size() == 2) {
      out += one;
    } else {
      whole = false;
    }
  }
  return whole;
}

bool ToTarget(UINT codePage, const wchar_t* wide, int units, std::string& out) {
  static const bool haveGb18030 = IsValidCodePage(kCodePageGb18030) != FALSE;
  if (codePage == kCodePageGb18030 && !haveGb18030) return ToGb18030ViaGbk(wide, units, out);
  return ToCodePageChecked(codePage, wide, units, out);
}

}  // namespace

std::int32_t ValidOutputEncoding(std::int32_t choice) {
  return choice >= 0 && choice < OUTENC_COUNT ? choice : OUTENC_UTF8;
}

const wchar_t* OutputEncodingLabel(std::int32_t choice) {
  return kLabels[ValidOutputEncoding(choice)];
}

TargetEncoding ResolveTarget(std::int32_t choice, FileEncoding encoding, UINT codePage) {
  using Form = TargetEncoding::Form;
  using Mark = TargetEncoding::Mark;
  switch (ValidOutputEncoding(choice)) {
    case OUTENC_UTF8_BOM: return {Form::Utf8, 0, Mark::Ensure};
    case OUTENC_UTF16LE_BOM: return {Form::Utf16Le, 0, Mark::Ensure};
    case OUTENC_GB18030: return {Form::CodePage, kCodePageGb18030, Mark::Drop};
    case OUTENC_BIG5: return {Form::CodePage, kCodePageBig5, Mark::Drop};
    case OUTENC_SAME_AS_SOURCE:
      switch (encoding) {
        case EncUtf16: return {Form::Utf16Le, 0, Mark::AsSource};
        case EncUtf16Be: return {Form::Utf16Be, 0, Mark::AsSource};
        case EncAnsi:
          if (codePage == kCodePageUtf32Le) return {Form::Utf32Le, 0, Mark::AsSource};
          if (codePage == kCodePageUtf32Be) return {Form::Utf32Be, 0, Mark::AsSource};
          return {Form::CodePage, codePage != 0 ? codePage : GetACP(), Mark::AsSource};
        default: return {Form::Utf8, 0, Mark::AsSource};
      }
    default: return {Form::Utf8, 0, Mark::AsSource};
  }
}

bool TextEncoder::Encode(const char* utf8, size_t n, std::string& out, std::string_view& encoded) {
  // Past the first chunk, UTF-8 is written as it comes; so is the first
  // when its mark is to stay as the source had it.
  if (target_.form == TargetEncoding::Form::Utf8 &&
      (started_ || target_.mark == TargetEncoding::Mark::AsSource)) {
    started_ = true;
    missing_.clear();
    out.clear();
    encoded = std::string_view(utf8, n);
    return true;
  }
  const bool ok = Encode(utf8, n, out);
  encoded = out;
  return ok;
}

bool TextEncoder::Encode(const char* utf8, size_t n, std::string& out) {
  out.clear();
  missing_.clear();
  const bool first = !started_;
  started_ = true;
  const std::uint64_t startLine = line_;
  // Lines are counted only to name where a character the target cannot
  // hold stands; UTF-8 holds every one.
  if (target_.form != TargetEncoding::Form::Utf8) {
    for (size_t i = 0; i < n; ++i) {
      if (utf8[i] == '\n') ++line_;
    }
  }
  if (target_.form == TargetEncoding::Form::Utf8) {
    // UTF-8 in, UTF-8 out: only a mark at the start may change.
    const bool marked = n >= 3 && std::memcmp(utf8, "\xEF\xBB\xBF", 3) == 0;
    if (first && target_.mark == TargetEncoding::Mark::Ensure && !marked) out = "\xEF\xBB\xBF";
    const size_t skip = first && target_.mark == TargetEncoding::Mark::Drop && marked ? 3 : 0;
    out.append(utf8 + skip, n - skip);
    return true;
  }
  std::wstring wide;
  if (!Widen(utf8, n, wide)) return false;
  if (first) {
    const bool marked = !wide.empty() && wide[0] == kMark;
    if (target_.mark == TargetEncoding::Mark::Ensure && !marked) wide.insert(wide.begin(), kMark);
    if (target_.mark == TargetEncoding::Mark::Drop && marked) wide.erase(0, 1);
  }
  switch (target_.form) {
    case TargetEncoding::Form::Utf16Le: PutUnits(wide, false, out); return true;
    case TargetEncoding::Form::Utf16Be: PutUnits(wide, true, out); return true;
    case TargetEncoding::Form::Utf32Le: PutUtf32(wide, false, out); return true;
    case TargetEncoding::Form::Utf32Be: PutUtf32(wide, true, out); return true;
    default: break;
  }
  if (ToTarget(target_.codePage, wide.data(), static_cast<int>(wide.size()), out)) return true;
  line_ = startLine;
  FindMissing(wide);
  for (size_t i = 0; i < n; ++i) {
    if (utf8[i] == '\n') ++line_;
  }
  return false;
}

void TextEncoder::FindMissing(const std::wstring& wide) {
  std::uint64_t line = line_;
  std::string bytes;
  for (size_t i = 0; i < wide.size() && missing_.size() < kNamedAtMost; ++i) {
    if (wide[i] == L'\n') {
      ++line;
      continue;
    }
    int units = 1;
    if (wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size()) units = 2;
    if (!ToTarget(target_.codePage, wide.data() + i, units, bytes)) {
      char32_t c = wide[i];
      if (units == 2) c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      missing_.push_back({c, line});
    }
    i += static_cast<size_t>(units - 1);
  }
}

std::wstring TextEncoder::DescribeMissing() const {
  std::wstring text;
  for (const Unrepresentable& m : missing_) {
    if (!text.empty()) text += L"、";
    text += L"“";
    if (m.character >= 0x10000) {
      const char32_t v = m.character - 0x10000;
      text += static_cast<wchar_t>(0xD800 + (v >> 10));
      text += static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
    } else {
      text += static_cast<wchar_t>(m.character);
    }
    text += L"” (第 " + std::to_wstring(m.line) + L" 行)";
  }
  return text;
}
