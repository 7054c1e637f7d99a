#pragma once
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "glyphmap/ConfigText.h"

#include "glyphmap/CompiledConversion.h"
#include "glyphmap/ConversionImage.h"
#include "glyphmap/WordList.h"
#include "glyphmap/DictionaryCheck.h"

namespace glyphmap {

using ConverterPtr = std::shared_ptr<const CompiledConversion>;

// Compiled conversions, shared by every instance opened with the same
// configuration. A converter is immutable once built, so instances on
// different threads may use one at the same time. An entry is rebuilt when
// one of its dictionary files changed (time of last write or size).
// Builds the conversion for a configuration, as glyphmap does on its first
// open. Throws std::runtime_error with the reason when building fails.
std::shared_ptr<const CompiledConversion> CompileConfiguration(const PreparedConfig& config,
                                                               const std::string& folder);

class ConverterCache {
 public:
  using Builder = std::function<ConverterPtr(const PreparedConfig&, const std::string&)>;
  // `images`: where a shipped configuration's compiled form is kept
  // between processes (none by default).
  explicit ConverterCache(Builder build = &CompileConfiguration, ConversionImages images = ConversionImages())
      : build_(std::move(build)), images_(std::move(images)) {}

  // Throws std::runtime_error with OpenCC's reason when building fails.
  // A shipped configuration whose image (ConversionImages) was saved from
  // the same program, configuration and dictionary stamps is read from it
  // instead of being built, and saved after a build.
  // The build runs outside the cache's lock, which is held only to look an
  // entry up and to publish one: a thread ended at any point of a build
  // (a worker terminated while opening) leaves the cache usable. An opener
  // that finds the same conversion being built by another thread waits for
  // that build (a job started while the program builds its conversions in
  // the background must not build a second copy beside it), and builds it
  // itself when that thread ends without publishing.
  ConverterPtr Get(const PreparedConfig& config, const std::string& folder);
  // `base` with the word list at `path` (UTF-8) in front of it. The list is
  // read again when its file changed (time of last write or size).
  ConverterPtr WithWordList(ConverterPtr base, const std::string& path);

 private:
  struct FileStamp {
    std::wstring path;
    unsigned long long writeTime = 0;
    unsigned long long size = 0;
    bool operator==(const FileStamp&) const = default;
  };
  struct Entry {
    std::vector<FileStamp> stamps;
    ConverterPtr converter;
  };
  // A build in hand: its thread, and its end once published.
  struct Building {
    std::vector<FileStamp> stamps;
    unsigned long thread = 0;  // its Windows thread id
    bool ended = false;
    ConverterPtr converter;  // null when the build failed
  };

  // Waits for `building` to end; false when its thread ended first.
  bool WaitFor(const std::shared_ptr<Building>& building, std::unique_lock<std::mutex>& lock);
  void Publish(const std::string& key, const std::shared_ptr<Building>& building,
               ConverterPtr converter);

  static std::vector<FileStamp> StampsOf(const PreparedConfig& config, const std::string& folder);
  static FileStamp StampOf(const std::string& pathUtf8);
  static FileStamp StampOf(std::wstring path);
  // What an image must have been built from to be served for `config`:
  // the program's build, the configuration, its dictionaries' stamps and
  // the stamp of their list.
  static std::string ImageIdentity(const PreparedConfig& config, const std::string& folder,
                                   const std::vector<FileStamp>& stamps);
  // Builds (after checking the dictionaries), or reads the image.
  ConverterPtr BuildOrLoad(const PreparedConfig& config, const std::string& folder,
                           const std::vector<FileStamp>& stamps);

  Builder build_;
  ConversionImages images_;
  std::mutex mutex_;
  std::map<std::string, Entry> entries_;
  std::map<std::string, std::shared_ptr<Building>> building_;
  std::condition_variable built_;
  std::mutex wordsMutex_;
  std::map<std::string, std::pair<FileStamp, std::shared_ptr<const WordList>>> wordLists_;
  // Shipped dictionaries are checked against their list before first use.
  DictionaryCheck dictionaryCheck_;
};

}  // namespace glyphmap
