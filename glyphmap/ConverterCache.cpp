#include "glyphmap/ConverterCache.h"

#include <windows.h>

#include <chrono>
#include <map>
#include <stdexcept>

#include "Config.hpp"
#include "Converter.hpp"
#include "Exception.hpp"
#include "TextDict.hpp"
#include "fw/Handle.h"
#include "glyphmap/ModuleFolder.h"
#include "glyphmap/OutputBound.h"
#include "glyphmap/Utf8.h"
#include "glyphmap/WordList.h"

namespace glyphmap {
namespace {

// The bytes of a dictionary file beside glyphmap.dll.
std::string ReadDictionaryFile(const std::string& folder, const std::string& name) {
  std::wstring path = WideFromUtf8(folder + name);
  fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  LARGE_INTEGER size{};
  bool ok = file && GetFileSizeEx(file.get(), &size) && size.QuadPart < (1LL << 30);
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = bytes.empty() || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                    &got, nullptr) &&
                           got == bytes.size());
  }
  file.reset();
  if (!ok) {
    throw std::runtime_error("无法打开词典文件 / Cannot open a dictionary file: " + folder + name);
  }
  return bytes;
}

// The program's own shape of configuration: OpenCC reads each dictionary
// (its text-dictionary reader, as its own loader would) and we compile
// them, without the lookup structures OpenCC would build and never use.
ConverterPtr BuildPlain(const PreparedConfig& config, const std::string& folder) {
  std::map<std::string, opencc::DictPtr> loaded;
  auto load = [&](const std::string& name) {
    opencc::DictPtr& dict = loaded[name];
    if (!dict) {
      std::string bytes = ReadDictionaryFile(folder, name);
      try {
        dict = opencc::TextDict::NewFromBuffer(bytes.data(), bytes.size());
      } catch (const opencc::Exception& e) {
        throw std::runtime_error("词典文件无法读取 / Cannot read the dictionary file " + name + ": " +
                                 e.what());
      }
    }
    return dict;
  };
  opencc::DictPtr segmentation = load(config.segmentationFile);
  std::vector<opencc::DictPtr> dicts;
  for (const std::string& name : config.conversionFiles) dicts.push_back(load(name));
  return std::make_shared<const CompiledConversion>(FastConverter::Build(segmentation, dicts));
}

ConverterPtr Build(const PreparedConfig& config, const std::string& folder) {
  if (config.plainShape) return BuildPlain(config, folder);
  opencc::Config loader;
  // OpenCC may modify the text it is given: it gets its own copy.
  std::string json = config.json;
  std::shared_ptr<opencc::Converter> converter, normalizer;
  try {
    converter = loader.NewFromString(json, folder);
    if (!config.normalizationJson.empty()) {
      opencc::Config normLoader;
      std::string norm = config.normalizationJson;
      normalizer = normLoader.NewFromString(norm, folder);
    }
  } catch (const opencc::FileNotFound& e) {
    throw std::runtime_error(std::string("无法打开词典文件 / Cannot open a dictionary file: ") + e.what());
  } catch (const opencc::Exception& e) {
    throw std::runtime_error(std::string("转换配置无法载入 / Cannot load the conversion configuration: ") +
                             e.what());
  }
  return std::make_shared<const CompiledConversion>(std::move(converter), std::move(normalizer));
}

}  // namespace

ConverterPtr CompileConfiguration(const PreparedConfig& config, const std::string& folder) {
  return Build(config, folder);
}

ConverterCache::FileStamp ConverterCache::StampOf(const std::string& pathUtf8) {
  return StampOf(WideFromUtf8(pathUtf8));
}

ConverterCache::FileStamp ConverterCache::StampOf(std::wstring path) {
  FileStamp stamp;
  stamp.path = std::move(path);
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (GetFileAttributesExW(stamp.path.c_str(), GetFileExInfoStandard, &info)) {
    stamp.writeTime = (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                      info.ftLastWriteTime.dwLowDateTime;
    stamp.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  }
  return stamp;
}

ConverterPtr ConverterCache::WithWordList(ConverterPtr base, const std::string& pathUtf8) {
  FileStamp stamp = StampOf(pathUtf8);
  std::shared_ptr<const WordList> words;
  {
    std::lock_guard<std::mutex> lock(wordsMutex_);
    auto found = wordLists_.find(pathUtf8);
    if (found != wordLists_.end() && found->second.first == stamp) words = found->second.second;
  }
  if (!words) {
    words = LoadWordList(pathUtf8);
    std::lock_guard<std::mutex> lock(wordsMutex_);
    wordLists_[pathUtf8] = {stamp, words};
  }
  return std::make_shared<const CompiledConversion>(std::move(base), std::move(words));
}

std::vector<ConverterCache::FileStamp> ConverterCache::StampsOf(const PreparedConfig& config,
                                                                const std::string& folder) {
  std::vector<FileStamp> stamps;
  for (const std::string& name : config.dictionaryFiles) stamps.push_back(StampOf(folder + name));
  return stamps;
}

std::string ConverterCache::ImageIdentity(const PreparedConfig& config, const std::string& folder,
                                          const std::vector<FileStamp>& stamps) {
  std::string identity;
  auto add = [&identity](const FileStamp& stamp) {
    identity += Utf8FromWide(stamp.path) + '\n' + std::to_string(stamp.writeTime) + ' ' +
                std::to_string(stamp.size) + '\n';
  };
  // The build that saved it: another build may compile otherwise.
  add(StampOf(OwnModulePath()));
  identity += folder + '\n' + config.json + '\n';
  for (const FileStamp& stamp : stamps) add(stamp);
  add(StampOf(folder + kDictionaryListName));
  return identity;
}

ConverterPtr ConverterCache::BuildOrLoad(const PreparedConfig& config, const std::string& folder,
                                         const std::vector<FileStamp>& stamps) {
  // The image holds what these very files compiled to after they were
  // checked, so it needs no second check while they keep their stamps.
  std::string identity;
  if (config.shipped && images_.Enabled()) {
    identity = ImageIdentity(config, folder, stamps);
    if (std::unique_ptr<FastConverter> fast = images_.Load(config.json, identity)) {
      return std::make_shared<const CompiledConversion>(std::move(fast));
    }
  }
  for (size_t i = 0; i < stamps.size(); ++i) {
    dictionaryCheck_.Verify(folder, config.dictionaryFiles[i], stamps[i].writeTime, stamps[i].size);
  }
  ConverterPtr converter = build_(config, folder);
  if (!identity.empty() && converter && converter->Fast()) {
    images_.Save(config.json, identity, *converter->Fast());
  }
  return converter;
}

namespace {

// Whether the thread of this id is gone (ended, or terminated mid-build).
bool ThreadEnded(unsigned long id) {
  const fw::UniqueHandle thread(OpenThread(SYNCHRONIZE, FALSE, id));
  return !thread || WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
}

}  // namespace

bool ConverterCache::WaitFor(const std::shared_ptr<Building>& building,
                             std::unique_lock<std::mutex>& lock) {
  // Looked at every tenth of a second: a builder that was ended never
  // publishes, and its waiters must not wait for good.
  while (!building->ended) {
    if (built_.wait_for(lock, std::chrono::milliseconds(100)) == std::cv_status::timeout &&
        !building->ended && ThreadEnded(building->thread)) {
      return false;
    }
  }
  return true;
}

void ConverterCache::Publish(const std::string& key, const std::shared_ptr<Building>& building,
                             ConverterPtr converter) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (converter) {
      Entry& entry = entries_[key];
      if (!(entry.converter && entry.stamps == building->stamps)) {
        entry = Entry{building->stamps, converter};
      }
      building->converter = entry.converter;
    }
    building->ended = true;
    auto found = building_.find(key);
    if (found != building_.end() && found->second == building) building_.erase(found);
  }
  built_.notify_all();
}

ConverterPtr ConverterCache::Get(const PreparedConfig& config, const std::string& folder) {
  if (config.shipped) dictionaryCheck_.VerifyShipped(folder, config.dictionaryFiles);
  std::vector<FileStamp> stamps = StampsOf(config, folder);
  std::string key = folder + '\n' + config.json;
  auto mine = std::make_shared<Building>();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    auto found = entries_.find(key);
    if (found != entries_.end() && found->second.stamps == stamps) {
      return found->second.converter;
    }
    auto other = building_.find(key);
    if (other != building_.end() && other->second->stamps == stamps) {
      const std::shared_ptr<Building> building = other->second;
      // A build that failed is tried again here, to be told its reason.
      if (WaitFor(building, lock) && building->converter) return building->converter;
    }
    mine->stamps = stamps;
    mine->thread = GetCurrentThreadId();
    building_[key] = mine;
  }
  // Checking and building take a while, and run outside the lock.
  ConverterPtr converter;
  try {
    converter = BuildOrLoad(config, folder, stamps);
  } catch (...) {
    Publish(key, mine, nullptr);
    throw;
  }
  Publish(key, mine, converter);
  return mine->converter;
}

}  // namespace glyphmap
