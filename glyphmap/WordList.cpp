#include <algorithm>
#include "glyphmap/WordList.h"

#include <windows.h>

#include <set>
#include <vector>

#include "glyphmap/Utf8.h"

namespace glyphmap {
namespace {

// Whether every character is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF) and none is a NUL.
bool IsCleanUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = p[i];
    if (c == 0) return false;
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = DecodeCharacter(p + i, n);
    if (cp == kNoCodePoint || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

std::string_view Trimmed(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return s.substr(a, b - a);
}

// The line at `pos`, without its end (LF, CR LF or a CR alone); moves
// `pos` past that end.
std::string_view NextLine(std::string_view bytes, size_t& pos) {
  size_t end = bytes.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) end = bytes.size();
  std::string_view line = bytes.substr(pos, end - pos);
  pos = end;
  if (pos < bytes.size()) {
    pos += bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n' ? 2 : 1;
  }
  return line;
}

}  // namespace

std::shared_ptr<const WordList> ParseWordList(std::string_view bytes, const std::string& name,
                                              unsigned long long truncatedFrom) {
  auto list = std::make_shared<WordList>();
  std::vector<PrefixDict::Entry> entries;
  std::set<std::string_view> sources;
  struct Bad {
    size_t line;
    const char* why;
  };
  std::vector<Bad> bad;
  auto skip = [&](size_t line, const char* why) {
    ++list->skipped;
    if (bad.size() < WordList::kLinesNamed) bad.push_back({line, why});
  };
  // A list cut at kMaxBytes ends at its last whole line.
  const bool cut = truncatedFrom > bytes.size();
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (cut) {
    size_t lastEnd = bytes.find_last_of("\r\n");
    bytes = bytes.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
  }
  size_t lineNo = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    std::string_view line = NextLine(bytes, pos);
    ++lineNo;
    std::string_view content = Trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    if (!IsCleanUtf8(line)) {
      skip(lineNo, "不是有效的 UTF-8 文本");
      continue;
    }
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
      skip(lineNo, "没有制表符分隔原文和译文");
      continue;
    }
    std::string_view source = line.substr(0, tab);
    std::string_view result = line.substr(tab + 1);
    if (source.empty()) {
      skip(lineNo, "原文为空");
      continue;
    }
    if (result.empty()) {
      skip(lineNo, "译文为空");
      continue;
    }
    if (result.find('\t') != std::string_view::npos) {
      skip(lineNo, "译文中含有制表符");
      continue;
    }
    if (result.size() > WordList::kMaxResultBytes ||
        result.size() > WordList::kMaxResultRatio * source.size()) {
      skip(lineNo, "译文过长 (超过 4 KiB 或原文的 64 倍)");
      continue;
    }
    if (entries.size() >= WordList::kMaxEntries) {
      skip(lineNo, "超出 100000 条的上限");
      continue;
    }
    if (!sources.insert(source).second) {
      skip(lineNo, "原文与前面的词条重复");
      continue;
    }
    entries.push_back({std::string(source), std::string(result)});
    const auto* u = reinterpret_cast<const unsigned char*>(source.data());
    for (size_t i = 0; i < source.size();) {
      const size_t n = u[i] < 0x80 ? 1 : (u[i] & 0xE0) == 0xC0 ? 2 : (u[i] & 0xF0) == 0xE0 ? 3 : 4;
      if (i + n >= source.size()) break;  // the last character
      list->inner.push_back(DecodeCharacter(u + i, n));
      i += n;
    }
  }
  std::sort(list->inner.begin(), list->inner.end());
  list->inner.erase(std::unique(list->inner.begin(), list->inner.end()), list->inner.end());
  list->entries = entries.size();
  if (!entries.empty()) list->words = std::make_shared<const PrefixDict>(entries);
  if (list->skipped > 0 || cut) {
    std::string& r = list->report;
    r = "自定义词汇文件 " + name + " 中有些内容未被采用，其余词条照常使用。\n";
    if (list->skipped > 0) {
      r += "跳过了 " + std::to_string(list->skipped) + " 行：\n";
      for (const Bad& b : bad) r += "  第 " + std::to_string(b.line) + " 行：" + b.why + "\n";
      if (list->skipped > bad.size()) r += "  ……\n";
    }
    if (cut) {
      r += "文件超过 16 MiB，第 " + std::to_string(lineNo) + " 行之后的内容未被读取。\n";
    }
  }
  return list;
}

std::shared_ptr<const WordList> LoadWordList(const std::string& path) {
  std::wstring wide = WideFromUtf8(path);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return std::make_shared<const WordList>();
    }
    auto list = std::make_shared<WordList>();
    list->report = "无法读取自定义词汇文件 " + path + "（错误 " + std::to_string(error) +
                   "），这次转换不使用其中的词汇。\n";
    return list;
  }
  LARGE_INTEGER size{};
  std::string bytes;
  bool ok = GetFileSizeEx(file, &size) != 0;
  if (ok) {
    const unsigned long long want =
        std::min<unsigned long long>(static_cast<unsigned long long>(size.QuadPart), WordList::kMaxBytes);
    bytes.resize(static_cast<size_t>(want));
    DWORD got = 0;
    ok = bytes.empty() ||
         (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) != 0);
    if (ok) bytes.resize(bytes.empty() ? 0 : got);
  }
  CloseHandle(file);
  if (!ok) {
    auto list = std::make_shared<WordList>();
    list->report = "无法读取自定义词汇文件 " + path + "，这次转换不使用其中的词汇。\n";
    return list;
  }
  return ParseWordList(bytes, path, static_cast<unsigned long long>(size.QuadPart));
}

}  // namespace glyphmap
