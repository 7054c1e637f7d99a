#include "engine/ConvEngine.h"

#include <windows.h>

#include <cstring>
#include <mutex>
#include <set>

#include "engine/ConvConfigs.h"
#include "engine/Standards.h"
#include "glyphmap/glyphmap.h"

namespace {

std::string Utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// What glyphmap skipped in a word list, once per version of the file
// (every job opens the list again, and one message is enough): empty when
// nothing was skipped or this version was reported before.
std::string WordListReport(int handle, const std::wstring& path) {
  size_t size = glyphmap_word_list_report(handle, nullptr, 0);
  if (size == 0) return {};
  std::string report(size + 1, '\0');
  glyphmap_word_list_report(handle, report.data(), report.size());
  report.resize(size);
  WIN32_FILE_ATTRIBUTE_DATA info{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info);
  const std::string key = Utf8(path) + "\n" + std::to_string(info.ftLastWriteTime.dwHighDateTime) +
                          "." + std::to_string(info.ftLastWriteTime.dwLowDateTime) + "\n" +
                          std::to_string(info.nFileSizeLow) + "\n" + report;
  static std::mutex mutex;
  static std::set<std::string> reported;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!reported.insert(key).second) return {};
  }
  return report;
}

}  // namespace

bool ConvEngine::Open(ConvDirection direction) {
  configurations_.emplace_back(kConvConfigSim2Tra);
  configurations_.emplace_back(kConvConfigTra2Sim);
  std::string config;
  if (direction >= 0 && static_cast<size_t>(direction) < configurations_.size()) {
    config = configurations_[static_cast<size_t>(direction)];
  }
  handle_ = opencc_open_t2s(config.c_str(), "glyphmap");
  return handle_ != -1;
}

void ConvEngine::Close() {
  if (handle_ != -1 && owned_) {
    opencc_close(handle_);
    handle_ = -1;
  }
  configurations_.clear();
}

bool ConvEngine::Open(ConvDirection direction, const ConvOptions& options) {
  configurations_.emplace_back(kConvConfigSim2Tra);
  configurations_.emplace_back(kConvConfigTra2Sim);
  const char* name = StandardConfigName(direction, options.standard);
  if (name == nullptr) return false;
  const std::string wordList = Utf8(options.wordList);
  handle_ = glyphmap_open(name, wordList.c_str());
  if (handle_ != -1 && !options.wordList.empty()) {
    wordListReport_ = WordListReport(handle_, options.wordList);
  }
  return handle_ != -1;
}

void ConvEngine::Convert(const char* utf8, size_t length, std::string& output) {
  output.clear();
  if (handle_ == -1) return;
  // The bound glyphmap gives for the loaded dictionaries and word list,
  // terminator included; the terminator is not kept.
  output.assign(glyphmap_output_bound(handle_, length), '\0');
  if (output.empty()) return;
  int count = 0;
  try {
    count = glyphmap_convert(handle_, utf8, length, output.data(), output.size());
  } catch (...) {
    output.resize(strnlen(output.data(), output.size()));
    throw;
  }
  output.resize(count > 0 ? static_cast<size_t>(count) : 0);
}

size_t ConvEngine::Bound(size_t length) const {
  return handle_ == -1 ? 0 : glyphmap_output_bound(handle_, length);
}

size_t ConvEngine::ConvertInto(const char* utf8, size_t length, char* output, size_t capacity) {
  if (handle_ == -1 || output == nullptr || capacity == 0) return 0;
  const int count = glyphmap_convert(handle_, utf8, length, output, capacity);
  return count > 0 ? static_cast<size_t>(count) : 0;
}
