#include "clipconv/ClipboardJob.h"

#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

bool ToUtf8(const std::wstring& text, std::string& utf8) {
  if (text.size() > INT_MAX / 4) return false;
  const int units = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  utf8.resize(static_cast<size_t>(n));
  return WideCharToMultiByte(CP_UTF8, 0, text.data(), units, utf8.data(), n, nullptr, nullptr) == n;
}

bool FromUtf8(const std::string& utf8, std::wstring& text) {
  text.clear();
  if (utf8.empty()) return true;
  if (utf8.size() > INT_MAX) return false;
  const int bytes = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
  if (n <= 0) return false;
  text.resize(static_cast<size_t>(n));
  return MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, text.data(), n) == n;
}

}  // namespace

void ConvertClipboardJob(ClipboardJob& job) {
  job.converted = false;
  job.result.clear();
  try {
    std::string input;
    // Unpaired surrogates have no UTF-8 form: such a text is left alone.
    if (!ToUtf8(job.source, input)) {
      job.problem = "剪贴板中的文字含有无效字符";
      return;
    }
    ConvEngine engine;
    if (!engine.Open(job.direction, job.options)) {
      job.problem = "转换引擎未能启动";
      return;
    }
    job.wordListReport = engine.TakeWordListReport();
    std::string output;
    // With its terminator, as the text pages hand text over; the source
    // holds no NUL (it was read up to the first), so the result ends at one.
    engine.Convert(input.c_str(), input.size() + 1, output);
    output.resize(strnlen(output.data(), output.size()));
    if (!FromUtf8(output, job.result)) {
      job.problem = "转换结果无法读取";
      return;
    }
    job.converted = true;
  } catch (const std::runtime_error& e) {
    job.problem = e.what();
  } catch (const std::bad_alloc&) {
    job.problem = "内存不足";
  }
}

size_t CountCharacters(const std::wstring& text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') continue;
    if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) ++i;
    ++count;
  }
  return count;
}
