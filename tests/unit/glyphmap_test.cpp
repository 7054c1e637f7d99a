// glyphmap.dll itself: conversions through OpenCC, its error reports as
// std::runtime_error across the DLL boundary, thread safety, where it finds
// its dictionaries, and the output bound.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/ConvConfigs.h"
#include "glyphmap/ConverterCache.h"
#include "glyphmap/DictionaryCheck.h"
#include "glyphmap/NamedConfigs.h"
#include "glyphmap/glyphmap.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

// The three entry points, from the linked glyphmap.dll or from a copy
// loaded from another folder.
struct GlyphmapApi {
  decltype(&opencc_open_t2s) open = &opencc_open_t2s;
  decltype(&opencc_convert_utf8_to_buffer) convert = &opencc_convert_utf8_to_buffer;
  decltype(&opencc_close) close = &opencc_close;

  std::string Convert(int handle, const std::string& text) const {
    std::vector<char> out(GlyphmapOutputBound(text.size()) + 16, '\x7F');
    int n = convert(handle, text.data(), text.size(), out.data());
    // Nothing beyond the bound is touched, and the count excludes the NUL.
    size_t bound = GlyphmapOutputBound(text.size());
    for (size_t i = bound; i < out.size(); ++i) EXPECT_EQ(out[i], '\x7F') << "wrote past the bound";
    EXPECT_GE(n, 0);
    EXPECT_EQ(out[static_cast<size_t>(n)], '\0');
    return std::string(out.data(), static_cast<size_t>(n));
  }
};

// A copy of glyphmap.dll (with the runtime DLLs) in a folder of its own.
class GlyphmapCopy {
 public:
  GlyphmapCopy(const std::wstring& folderName, bool withDictionaries) : dir_(folderName) {
    std::wstring bin = ExeFolder();
    for (const wchar_t* f : {L"glyphmap.dll", L"libstdc++-6.dll", L"libgcc_s_seh-1.dll",
                             L"libwinpthread-1.dll"}) {
      CopyInto(bin + L"\\" + f, dir_.path());
    }
    if (withDictionaries) {
      for (const wchar_t* f : {L"STPhrases.txt", L"STCharacters.txt", L"TSPhrases.txt",
                               L"TSCharacters.txt", L"dictionaries.sha256"}) {
        CopyInto(bin + L"\\" + f, dir_.path());
      }
    }
  }
  // The copy stays loaded: a failing test may still unwind through it.
  ~GlyphmapCopy() = default;
  const TempDir& dir() const { return dir_; }

  // Loads the copy; false when it could not be loaded from its own folder.
  bool Load(GlyphmapApi& api) {
    module_ = LoadLibraryW((dir_ / L"glyphmap.dll").c_str());
    if (!module_) return false;
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module_, path, MAX_PATH);
    EXPECT_EQ(std::wstring(path), dir_ / L"glyphmap.dll");
    Resolve(api.open, "opencc_open_t2s");
    Resolve(api.convert, "opencc_convert_utf8_to_buffer");
    Resolve(api.close, "opencc_close");
    return api.open && api.convert && api.close;
  }

 private:
  template <typename Fn>
  void Resolve(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  TempDir dir_;
  HMODULE module_ = nullptr;
};

std::string Config(std::string_view text) { return std::string(text); }

// A minimal configuration over one character dictionary of our own.
const char* kOneDictConfig =
    R"({"name":"t","segmentation":{"type":"mmseg","dict":{"type":"text","file":"STPhrases.txt"}},)"
    R"("conversion_chain":[{"dict":{"type":"group","dicts":[{"type":"text","file":"STPhrases.txt"},)"
    R"({"type":"text","file":"STCharacters.txt"}]}}]})";

class Glyphmap : public ::testing::Test {
 protected:
  GlyphmapApi api;
};

TEST_F(Glyphmap, PhrasesWhoseCharactersHaveSeveralCounterparts) {
  int s2t = api.open(Config(kConvConfigSim2Tra).c_str(), "glyphmap");
  int t2s = api.open(Config(kConvConfigTra2Sim).c_str(), "glyphmap");
  ASSERT_GE(s2t, 0);
  ASSERT_GE(t2s, 0);
  ASSERT_NE(s2t, t2s);
  const std::pair<const char*, const char*> pairs[] = {
      {"头发", "頭髮"}, {"发展", "發展"}, {"干净", "乾淨"}, {"干部", "幹部"}, {"后来", "後來"},
      {"皇后", "皇后"}, {"面条", "麪條"}, {"面对", "面對"}, {"里面", "裏面"},
  };
  for (auto [sim, tra] : pairs) {
    EXPECT_EQ(api.Convert(s2t, sim), tra) << sim;
    EXPECT_EQ(api.Convert(t2s, tra), sim) << tra;
  }
  // Within a sentence the phrase decides each character.
  EXPECT_EQ(api.Convert(s2t, "她的头发后来长得很快，面条也吃完了。"),
            "她的頭髮後來長得很快，麪條也喫完了。");
  EXPECT_EQ(api.Convert(t2s, "皇后面對發展，乾淨的幹部在裏面。"),
            "皇后面对发展，干净的干部在里面。");
  api.close(s2t);
  api.close(t2s);
}

TEST_F(Glyphmap, TextPassesThroughAroundTheConversion) {
  int h = api.open(Config(kConvConfigSim2Tra).c_str(), "glyphmap");
  ASSERT_GE(h, 0);
  // Line ends, ASCII, characters without entries and supplementary
  // characters come back as they went in.
  EXPECT_EQ(api.Convert(h, "头发\r\n发展\r\n"), "頭髮\r\n發展\r\n");
  // A NUL passes through and the text after it is converted, nothing lost.
  EXPECT_EQ(api.Convert(h, std::string("abc\0", 4)), std::string("abc\0", 4));
  EXPECT_EQ(api.Convert(h, std::string("ab\0cd后\0\0头发ef", 17)),
            std::string("ab\0cd後\0\0頭髮ef", 17));
  EXPECT_EQ(api.Convert(h, "\xF0\xA0\x80\x80头"), "\xF0\xA0\x80\x80頭");
  EXPECT_EQ(api.Convert(h, ""), "");
  // The one kind of expansion: a BMP character to a supplementary one.
  EXPECT_EQ(api.Convert(h, "㓆"), "𠗣");
  std::string many;
  for (int i = 0; i < 300; ++i) many += "㓆";
  std::string expanded;
  for (int i = 0; i < 300; ++i) expanded += "𠗣";
  EXPECT_EQ(api.Convert(h, many), expanded);
  api.close(h);
}

TEST_F(Glyphmap, HandlesAndTheirMisuse) {
  EXPECT_EQ(api.open("", "glyphmap"), -1);
  EXPECT_EQ(api.open(nullptr, "glyphmap"), -1);
  int h = api.open(Config(kConvConfigTra2Sim).c_str(), nullptr);
  ASSERT_GE(h, 0);
  api.close(h);
  api.close(h);     // a second close is harmless
  api.close(9999);  // so is an unknown handle
  api.close(-1);
  char out[8] = "xxxxxxx";
  EXPECT_EQ(api.convert(h, "頭", 3, out), 0);
  EXPECT_EQ(out[0], '\0');
  // A freed slot is used again.
  int again = api.open(Config(kConvConfigTra2Sim).c_str(), "glyphmap");
  EXPECT_EQ(again, h);
  api.close(again);
}

TEST_F(Glyphmap, ErrorsArriveAsRuntimeErrorsInTheProgram) {
  try {
    api.open("{ this is not json", "glyphmap");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("JSON"), std::string::npos) << e.what();
  }
  try {
    api.open(R"({"name":"x","conversion_chain":[{"dict":{"type":"text","file":"NoSuch.txt"}}]})",
             "glyphmap");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuch.txt"), std::string::npos) << e.what();
  }
  int h = api.open(Config(kConvConfigSim2Tra).c_str(), "glyphmap");
  ASSERT_GE(h, 0);
  // A stray continuation byte where a character should start.
  std::string bad = "头发\x80";
  char out[32];
  EXPECT_THROW(api.convert(h, bad.data(), bad.size(), out), std::runtime_error);
  // A character cut off by the end of the input is not an error.
  std::string cut = "头\xE5\xA4";
  EXPECT_EQ(api.Convert(h, cut), "頭\xE5\xA4");
  api.close(h);
}

TEST_F(Glyphmap, InstancesWorkOnSeveralThreadsAtOnce) {
  const std::string sim = "她的头发后来长得很快，面条也吃完了。干部们在里面讨论发展。\r\n";
  const std::string tra = "她的頭髮後來長得很快，麪條也喫完了。幹部們在裏面討論發展。\r\n";
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) {
        int h = opencc_open_t2s(Config(t % 2 ? kConvConfigTra2Sim : kConvConfigSim2Tra).c_str(),
                                "glyphmap");
        if (h < 0) {
          ++failures[t];
          continue;
        }
        std::vector<char> out(GlyphmapOutputBound(sim.size()));
        for (int i = 0; i < 100; ++i) {
          const std::string& in = t % 2 ? tra : sim;
          int n = opencc_convert_utf8_to_buffer(h, in.data(), in.size(), out.data());
          std::string got(out.data(), static_cast<size_t>(n));
          if (got != (t % 2 ? sim : tra)) {
            if (failures[t] == 0) ADD_FAILURE() << got;
            ++failures[t];
          }
        }
        opencc_close(h);
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

TEST(GlyphmapInstalled, WorksFromAFolderWithAChineseNameAndStaysQuiet) {
  GlyphmapCopy copy(L"简繁 词典", true);
  GlyphmapApi api;
  ASSERT_TRUE(copy.Load(api));
  TempDir logs;
  std::wstring errLog = logs / L"stderr.txt";
  ASSERT_NE(_wfreopen(errLog.c_str(), L"w", stderr), nullptr);
  int h = api.open(Config(kConvConfigSim2Tra).c_str(), "glyphmap");
  int t = api.open(Config(kConvConfigTra2Sim).c_str(), "glyphmap");
  fflush(stderr);
  freopen("NUL", "w", stderr);
  ASSERT_GE(h, 0);
  ASSERT_GE(t, 0);
  EXPECT_EQ(api.Convert(h, "头发"), "頭髮");
  EXPECT_EQ(api.Convert(t, "頭髮"), "头发");
  api.close(h);
  api.close(t);
  // OpenCC 1.4 would warn about the missing match_policy; glyphmap says nothing.
  EXPECT_EQ(ReadFileBytes(errLog), "");
}

TEST(GlyphmapInstalled, AMissingDictionaryIsNamed) {
  GlyphmapCopy copy(L"no-dictionaries", false);
  GlyphmapApi api;
  ASSERT_TRUE(copy.Load(api));
  try {
    api.open(Config(kConvConfigSim2Tra).c_str(), "glyphmap");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("STPhrases.txt"), std::string::npos) << e.what();
  }
}

TEST(GlyphmapInstalled, AShippedDictionaryThatWasDamagedIsRefusedByName) {
  const std::string whole = ReadFileBytes(ExeFolder() + L"\\STCharacters.txt");
  ASSERT_GT(whole.size(), 1000u);
  for (const std::string& damaged : {std::string(), whole.substr(0, whole.size() / 2)}) {
    GlyphmapCopy copy(L"损坏的词典", true);
    ASSERT_TRUE(WriteFileBytes(copy.dir() / L"STCharacters.txt", damaged));
    GlyphmapApi api;
    ASSERT_TRUE(copy.Load(api));
    try {
      api.open(Config(kConvConfigSim2Tra).c_str(), "glyphmap");
      FAIL() << "no exception for " << damaged.size() << " bytes";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("STCharacters.txt"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
  }
}

TEST(GlyphmapInstalled, ADamagedDictionaryListIsADamagedInstallation) {
  // s2t with its dictionaries, STPhrases.txt cut short, and the list that
  // would have caught it emptied, rewritten, removed or missing one line.
  const std::wstring bin = ExeFolder();
  const std::string list = ReadFileBytes(bin + L"\\dictionaries.sha256");
  const size_t line = list.find(" STPhrases.txt\n");
  ASSERT_NE(line, std::string::npos);
  const size_t lineStart = list.rfind('\n', line) == std::string::npos ? 0 : list.rfind('\n', line) + 1;
  std::string random(list.size(), '\0');
  for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>(i * 131 + 7);
  struct Case {
    const char* what;
    const std::string* list;  // null: no list
  };
  const std::string empty, withoutPhrases = list.substr(0, lineStart) + list.substr(line + 15);
  const Case cases[] = {{"sound", &list}, {"emptied", &empty}, {"random", &random},
                        {"missing", nullptr}, {"without STPhrases.txt", &withoutPhrases}};
  const std::string phrases = ReadFileBytes(bin + L"\\STPhrases.txt");
  for (const Case& c : cases) {
    GlyphmapCopy copy(L"清单", false);
    for (const wchar_t* f : {L"s2t.json", L"CJK_Compatibility_Ideographs.txt", L"STPhrases.txt",
                             L"STPhrases_GeneratedFromRegionalPhrases.txt", L"STCharacters.txt"}) {
      ASSERT_TRUE(CopyInto(bin + L"\\" + f, copy.dir().path()));
    }
    if (c.list) {
      ASSERT_TRUE(WriteFileBytes(copy.dir() / L"dictionaries.sha256", *c.list));
    }
    const bool sound = c.list == &list;
    if (!sound) {
      ASSERT_TRUE(WriteFileBytes(copy.dir() / L"STPhrases.txt", phrases.substr(0, phrases.size() / 2)));
    }
    GlyphmapApi api;
    ASSERT_TRUE(copy.Load(api));
    auto open = reinterpret_cast<decltype(&glyphmap_open)>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW((copy.dir() / L"glyphmap.dll").c_str()), "glyphmap_open")));
    ASSERT_TRUE(open);
    if (sound) {
      const int h = open("s2t", nullptr);
      ASSERT_GE(h, 0);
      EXPECT_EQ(api.Convert(h, "马里兰州"), "馬里蘭州");
      api.close(h);
      continue;
    }
    try {
      open("s2t", nullptr);
      ADD_FAILURE() << "opened with the list " << c.what;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("The installation is damaged"), std::string::npos)
          << c.what << ": " << e.what();
    }
  }
}

TEST(GlyphmapInstalled, ADictionaryThatLengthensTextRaisesTheBoundAndNothingIsOverrun) {
  GlyphmapCopy copy(L"long-values", false);
  WriteFileBytes(copy.dir() / L"STPhrases.txt", "头发\t頭髮\n");
  WriteFileBytes(copy.dir() / L"STCharacters.txt", "头\t頭\na\tabcdef\n");
  GlyphmapApi api;
  ASSERT_TRUE(copy.Load(api));
  HMODULE module = GetModuleHandleW((copy.dir() / L"glyphmap.dll").c_str());
  auto bound = reinterpret_cast<decltype(&glyphmap_output_bound)>(
      reinterpret_cast<void*>(GetProcAddress(module, "glyphmap_output_bound")));
  auto convert = reinterpret_cast<decltype(&glyphmap_convert)>(
      reinterpret_cast<void*>(GetProcAddress(module, "glyphmap_convert")));
  ASSERT_TRUE(bound && convert);
  int h = api.open(kOneDictConfig, "glyphmap");
  ASSERT_GE(h, 0);
  // "a" becomes six bytes: the handle's bound says so, and its buffer takes it.
  EXPECT_EQ(bound(h, 2), 13u);
  std::vector<char> out(13, '\x7F');
  EXPECT_EQ(convert(h, "aa", 2, out.data(), out.size()), 12);
  EXPECT_EQ(std::string(out.data()), "abcdefabcdef");
  // The older call's fixed bound cannot hold it: refused, nothing beyond the
  // empty result written. A text that fits still converts.
  std::vector<char> fixed(GlyphmapOutputBound(2) + 16, '\x7F');
  EXPECT_THROW(api.convert(h, "aa", 2, fixed.data()), std::runtime_error);
  EXPECT_EQ(fixed[0], '\0');
  for (size_t i = 1; i < fixed.size(); ++i) ASSERT_EQ(fixed[i], '\x7F');
  EXPECT_EQ(api.Convert(h, "头发"), "頭髮");
  api.close(h);
}

TEST(GlyphmapInstalled, AChangedDictionaryIsReadAgain) {
  GlyphmapCopy copy(L"changing", false);
  WriteFileBytes(copy.dir() / L"STPhrases.txt", "头发\t頭髮\n");
  WriteFileBytes(copy.dir() / L"STCharacters.txt", "头\t頭\n");
  GlyphmapApi api;
  ASSERT_TRUE(copy.Load(api));
  int h = api.open(kOneDictConfig, "glyphmap");
  ASSERT_GE(h, 0);
  EXPECT_EQ(api.Convert(h, "头头发"), "頭頭髮");
  // A later open of the same configuration shares the parsed dictionaries.
  int h2 = api.open(kOneDictConfig, "glyphmap");
  EXPECT_EQ(api.Convert(h2, "头"), "頭");
  api.close(h2);

  WriteFileBytes(copy.dir() / L"STCharacters.txt", "头\t豆\n");
  int h3 = api.open(kOneDictConfig, "glyphmap");
  EXPECT_EQ(api.Convert(h3, "头头发"), "豆頭髮");
  // The instance opened before the change keeps what it had.
  EXPECT_EQ(api.Convert(h, "头"), "頭");
  api.close(h);
  api.close(h3);
}

// A worker terminated in the middle of a build (it was opening a
// conversion) must not leave every later open waiting for good.
struct CacheOpener {
  glyphmap::ConverterCache* cache;
  glyphmap::ConverterPtr got;
  static DWORD WINAPI Run(void* self) {
    auto* opener = static_cast<CacheOpener*>(self);
    opener->got = opener->cache->Get(glyphmap::PreparedConfig{}, "folder\\");
    return 0;
  }
};

// A job that opens a conversion while the program builds it in the
// background waits for that build instead of building a second one.
TEST(ConverterCache, AnOpenerWaitsForTheBuildInHandInsteadOfBuildingAgain) {
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> builds{0};
  glyphmap::ConverterCache cache([&](const glyphmap::PreparedConfig&, const std::string&) {
    ++builds;
    SetEvent(entered);
    WaitForSingleObject(release, 60000);
    return std::make_shared<const glyphmap::CompiledConversion>(
        std::unique_ptr<glyphmap::FastConverter>{});
  });
  CacheOpener first{&cache, nullptr}, second{&cache, nullptr};
  HANDLE a = CreateThread(nullptr, 0, &CacheOpener::Run, &first, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(entered, 60000), WAIT_OBJECT_0) << "the build never began";
  HANDLE b = CreateThread(nullptr, 0, &CacheOpener::Run, &second, 0, nullptr);
  Sleep(300);  // long enough for the second to begin a build of its own, were it to
  SetEvent(release);
  EXPECT_EQ(WaitForSingleObject(a, 60000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(b, 60000), WAIT_OBJECT_0);
  EXPECT_EQ(builds.load(), 1);
  EXPECT_NE(first.got, nullptr);
  EXPECT_EQ(first.got, second.got);
  for (HANDLE h : {a, b, entered, release}) CloseHandle(h);
}

TEST(ConverterCache, AThreadEndedWhileBuildingLeavesTheCacheUsable) {
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  int builds = 0;
  glyphmap::ConverterCache cache([&](const glyphmap::PreparedConfig&, const std::string&) {
    if (++builds == 1) {
      SetEvent(entered);
      WaitForSingleObject(never, INFINITE);  // ended here from outside
    }
    return std::make_shared<const glyphmap::CompiledConversion>(
        std::unique_ptr<glyphmap::FastConverter>{});
  });
  CacheOpener first{&cache, nullptr};
  HANDLE a = CreateThread(nullptr, 0, &CacheOpener::Run, &first, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(entered, 60000), WAIT_OBJECT_0) << "the build never began";
  TerminateThread(a, 88);
  WaitForSingleObject(a, INFINITE);

  CacheOpener second{&cache, nullptr};
  HANDLE b = CreateThread(nullptr, 0, &CacheOpener::Run, &second, 0, nullptr);
  const DWORD ended = WaitForSingleObject(b, 60000);
  if (ended != WAIT_OBJECT_0) TerminateThread(b, 88);
  EXPECT_EQ(ended, WAIT_OBJECT_0) << "the next open waits for the ended one";
  EXPECT_NE(second.got, nullptr);
  EXPECT_EQ(builds, 2);
  for (HANDLE h : {a, b, entered, never}) CloseHandle(h);
}

// A shipped configuration is read back from the image a first open saved;
// an image that no longer matches its dictionaries, or was damaged, is
// never served: the conversion is built again, with the result the files
// give, and the user's word list still wins over it.
TEST(ConverterCache, AStaleOrDamagedImageIsBuiltAgain) {
  TempDir install(L"映像"), images(L"images");
  const std::wstring bin = ExeFolder();
  for (const wchar_t* f : {L"s2t.json", L"CJK_Compatibility_Ideographs.txt", L"STPhrases.txt",
                           L"STPhrases_GeneratedFromRegionalPhrases.txt", L"STCharacters.txt",
                           L"dictionaries.sha256"}) {
    ASSERT_TRUE(CopyInto(bin + L"\\" + f, install.path()));
  }
  const std::string folder = Utf8(install.path()) + "\\";
  int builds = 0;
  auto open = [&] {
    glyphmap::ConverterCache cache(
        [&](const glyphmap::PreparedConfig& config, const std::string& from) {
          ++builds;
          return glyphmap::CompileConfiguration(config, from);
        },
        glyphmap::ConversionImages(images.path() + L"\\"));
    glyphmap::PreparedConfig config =
        glyphmap::PrepareConfig(glyphmap::ConfigTextByName("s2t", folder));
    config.shipped = true;
    return cache.Get(config, folder);
  };
  auto convert = [](const glyphmap::ConverterPtr& c, const std::string& text) {
    std::string out(c->OutputBound(text.size()), '\0');
    out.resize(c->Convert(text, out.data()));
    return out;
  };
  const std::string text = "头发和后来的马里兰州，干燥的面条";
  const std::string built = convert(open(), text);
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(convert(open(), text), built);
  EXPECT_EQ(builds, 1) << "the image was not served";

  const std::wstring image =
      glyphmap::ConversionImages(images.path() + L"\\").PathOf(
          glyphmap::PrepareConfig(glyphmap::ConfigTextByName("s2t", folder)).json);
  std::string bytes = ReadFileBytes(image);
  ASSERT_GT(bytes.size(), 1000u);
  bytes[bytes.size() / 2] ^= 0x10;
  ASSERT_TRUE(WriteFileBytes(image, bytes));
  EXPECT_EQ(convert(open(), text), built);
  EXPECT_EQ(builds, 2) << "a damaged image was served";

  // A new edition of a dictionary (with its line in the list) changes the
  // result at once.
  std::string characters = ReadFileBytes(install / L"STCharacters.txt");
  const size_t line = characters.find("\n头\t");
  ASSERT_NE(line, std::string::npos);
  characters.replace(line + 1, characters.find('\n', line + 1) - line - 1, "头\t豆");
  ASSERT_TRUE(WriteFileBytes(install / L"STCharacters.txt", characters));
  std::string list = ReadFileBytes(install / L"dictionaries.sha256");
  const size_t at = list.find(" STCharacters.txt\n");
  ASSERT_NE(at, std::string::npos);
  const size_t start = list.rfind('\n', at) == std::string::npos ? 0 : list.rfind('\n', at) + 1;
  list.replace(start, at - start,
               glyphmap::Sha256Hex(characters) + " " + std::to_string(characters.size()));
  ASSERT_TRUE(WriteFileBytes(install / L"dictionaries.sha256", list));
  const glyphmap::ConverterPtr changed = open();
  EXPECT_EQ(builds, 3) << "a stale image was served";
  EXPECT_EQ(convert(changed, "头"), "豆");
  EXPECT_EQ(convert(open(), "头"), "豆");
  EXPECT_EQ(builds, 3);

  glyphmap::ConverterCache cache;
  ASSERT_TRUE(WriteFileBytes(install / L"words.txt", "头发\t頭发\n"));
  EXPECT_EQ(convert(cache.WithWordList(changed, Utf8(install / L"words.txt")), "头发头"), "頭发豆");
}

}  // namespace
