// glyphmap's compiled conversion held against OpenCC's own converter on
// the same configuration and dictionaries: every result must be
// byte-identical, and where OpenCC rejects a text, glyphmap must too
// (texts with a NUL: piece by piece, see Pair::Check).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "Config.hpp"
#include "Conversion.hpp"
#include "ConversionChain.hpp"
#include "Converter.hpp"
#include "Dict.hpp"
#include "DictEntry.hpp"
#include "Exception.hpp"
#include "Lexicon.hpp"
#include "glyphmap/CompiledConversion.h"
#include "glyphmap/ConfigText.h"
#include "glyphmap/ConverterCache.h"
#include "glyphmap/NamedConfigs.h"
#include "glyphmap/OutputBound.h"
#include "glyphmap/glyphmap.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

using namespace testing_support;

namespace {

// One configuration: OpenCC's converter, ours as glyphmap.dll builds it
// (from the dictionary files), and ours built from OpenCC's converter (the
// way configurations of other shapes go).
struct Pair {
  std::string name;
  std::shared_ptr<opencc::Converter> reference;
  std::shared_ptr<const glyphmap::CompiledConversion> compiled;
  std::unique_ptr<glyphmap::CompiledConversion> fromConverter;
  std::vector<std::string> keys, values;  // every entry of the conversion's dictionaries
  size_t compared = 0;
  testing_support::TempDir images_;

  explicit Pair(const std::string& configName) : name(configName) {
    std::string folder = Utf8(ExeFolder()) + "\\";
    opencc::Config loader;
    glyphmap::PreparedConfig prepared =
        glyphmap::PrepareConfig(glyphmap::ConfigTextByName(name, folder));
    reference = loader.NewFromString(prepared.json, folder);
    // Read back from its image, as later processes have it: the image
    // must convert exactly as the build it was saved from.
    const auto built = glyphmap::CompileConfiguration(prepared, folder);
    const glyphmap::ConversionImages images(images_.path() + L"\\");
    if (!built->Fast()) throw std::runtime_error(name + " is not compiled");
    images.Save(name, name, *built->Fast());
    auto loaded = images.Load(name, name);
    if (!loaded) throw std::runtime_error(name + "'s image does not load");
    compiled = std::make_shared<const glyphmap::CompiledConversion>(std::move(loaded));
    std::shared_ptr<opencc::Converter> normalizer;
    if (!prepared.normalizationJson.empty()) {
      opencc::Config normLoader;
      normalizer = normLoader.NewFromString(prepared.normalizationJson, folder);
      for (const auto& conversion : normalizer->GetConversionChain()->GetConversions()) {
        CollectEntries(conversion->GetDict());
      }
    }
    fromConverter = std::make_unique<glyphmap::CompiledConversion>(reference, normalizer);
    for (const auto& conversion : reference->GetConversionChain()->GetConversions()) {
      CollectEntries(conversion->GetDict());
    }
  }

  void CollectEntries(const opencc::DictPtr& dict) {
    if (const auto* items = dict->GetDictGroupItems()) {
      for (const auto& item : *items) CollectEntries(item);
      return;
    }
    for (const auto& entry : *dict->GetLexicon()) {
      keys.push_back(entry->Key());
      for (const auto& v : entry->Values()) values.push_back(v);
    }
  }

  // Converts with both; reports the first few differences. A text with
  // NULs must convert as its NUL-separated pieces do one by one (OpenCC
  // itself would lose text after a NUL), NULs kept between them.
  void Check(const std::string& text) {
    ++compared;
    std::string expected;
    bool referenceThrew = false;
    try {
      for (size_t start = 0;;) {
        const size_t nul = text.find('\0', start);
        expected += reference->Convert(text.substr(start, nul - start));
        if (nul == std::string::npos) break;
        expected += '\0';
        start = nul + 1;
      }
    } catch (const opencc::Exception&) {
      referenceThrew = true;
    }
    const glyphmap::CompiledConversion* both[] = {compiled.get(), fromConverter.get()};
    for (const glyphmap::CompiledConversion* ours : both) {
      // The converter's own bound, and guard bytes after it that must stay.
      const size_t bound = ours->OutputBound(text.size());
      std::string out(bound + 16, '\x7F');
      bool oursThrew = false;
      size_t n = 0;
      try {
        n = ours->Convert(text, out.data());
      } catch (const std::runtime_error&) {
        oursThrew = true;
      }
      ASSERT_EQ(oursThrew, referenceThrew) << name << ": " << Escape(text);
      ASSERT_EQ(out.substr(bound), std::string(16, '\x7F')) << name << ": " << Escape(text);
      if (!referenceThrew) {
        ASSERT_LT(n, bound) << name;
        ASSERT_EQ(out.substr(0, n), expected) << name << ": " << Escape(text);
      }
    }
  }

  static std::string Escape(const std::string& s) {
    std::string r;
    char buf[8];
    for (unsigned char c : s.substr(0, 200)) {
      if (c >= 0x20 && c < 0x7F) {
        r += static_cast<char>(c);
      } else {
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        r += buf;
      }
    }
    return r;
  }
};

std::string Corpus(const wchar_t* name) {
  return ReadFileBytes(ExeFolder() + L"\\..\\testdata\\" + name);
}

// OpenCC's configurations of the ten standards, as glyphmap opens them by name.
const char* const kConfigNames[] = {"s2t",  "t2s",  "s2tw", "s2twp", "s2hk",
                                    "s2hkp", "tw2s", "tw2sp", "hk2s", "hk2sp"};

class Differential : public ::testing::TestWithParam<int> {
 protected:
  // One configuration's structures at a time: all ten would hold memory for
  // nothing.
  Pair& pair() {
    static std::unique_ptr<Pair> current;
    const std::string name = kConfigNames[GetParam()];
    if (!current || current->name != name) {
      current.reset();
      current = std::make_unique<Pair>(name);
    }
    return *current;
  }
  ~Differential() override {
    std::printf("[ compared ] %zu texts so far with %s\n", pair().compared, pair().name.c_str());
  }
};

TEST_P(Differential, OurOwnStructureIsInUse) {
  EXPECT_TRUE(pair().compiled->IsCompiled());
  EXPECT_TRUE(pair().fromConverter->IsCompiled());
  std::printf("[ memory   ] compiled dictionaries: %.1f MiB\n",
              static_cast<double>(pair().compiled->MemoryBytes()) / 1048576.0);
}

TEST_P(Differential, ManualPagesInBothScriptsLineByLineAndInPieces) {
  for (const wchar_t* corpus : {L"manpages_zh_CN.txt", L"manpages_zh_TW.txt"}) {
    std::string text = Corpus(corpus);
    ASSERT_GT(text.size(), 1000000u) << "the manual pages corpus is missing";
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      pair().Check(text.substr(start, end - start));
      if (HasFatalFailure()) return;
      start = end;
    }
    for (size_t at = 0; at < text.size(); at += 1 << 20) pair().Check(text.substr(at, 1 << 20));
  }
}

TEST_P(Differential, ATextCutWhereSafeCutSaysConvertsAsTheWhole) {
  // Long lines of real text, cut in two where the conversion says it may
  // be, against OpenCC converting each line whole: the manual pages as they
  // are, and their Chinese alone (every ASCII byte taken out).
  const std::string pages = Corpus(GetParam() == 0 ? L"manpages_zh_CN.txt" : L"manpages_zh_TW.txt");
  ASSERT_GT(pages.size(), 1000000u) << "the manual pages corpus is missing";
  std::string chinese;
  for (char c : pages) {
    if (static_cast<unsigned char>(c) >= 0x80) chinese += c;
  }
  std::mt19937 rng(7 + GetParam());
  for (const std::string* text : std::vector<const std::string*>{&pages, &chinese}) {
    int cuts = 0;
    for (int i = 0; i < 400; ++i) {
      size_t at = rng() % (text->size() - 20000);
      while ((static_cast<unsigned char>((*text)[at]) & 0xC0) == 0x80) ++at;
      size_t end = at + 1000 + rng() % 15000;
      while ((static_cast<unsigned char>((*text)[end]) & 0xC0) == 0x80) ++end;
      const std::string line = text->substr(at, end - at);
      const size_t limit = 1 + rng() % line.size();
      const size_t cut = pair().compiled->SafeCut(line.substr(0, limit));
      ASSERT_LE(cut, limit);
      if (cut == 0) continue;
      ++cuts;
      const std::string whole = pair().reference->Convert(line);
      std::string pieces;
      for (const std::string& piece : {line.substr(0, cut), line.substr(cut)}) {
        std::string out(GlyphmapOutputBound(piece.size()), '\0');
        pieces += out.substr(0, pair().compiled->Convert(piece, out.data()));
      }
      ASSERT_EQ(pieces, whole) << "cut at " << cut << " of " << Pair::Escape(line);
    }
    std::printf("[ cuts     ] %d of 400 windows had a place to cut\n", cuts);
    EXPECT_GT(cuts, 300);
  }
}

TEST_P(Differential, EveryKeyAndValueAlone) {
  for (const auto& k : pair().keys) {
    pair().Check(k);
    if (HasFatalFailure()) return;
  }
  for (const auto& v : pair().values) {
    pair().Check(v);
    if (HasFatalFailure()) return;
  }
}

TEST_P(Differential, EveryCharacterOfTheDictionariesAlone) {
  std::set<std::string> chars;
  for (const auto* list : {&pair().keys, &pair().values}) {
    for (const auto& word : *list) {
      for (size_t i = 0; i < word.size();) {
        unsigned char c = static_cast<unsigned char>(word[i]);
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        chars.insert(word.substr(i, n));
        i += n;
      }
    }
  }
  for (const auto& c : chars) pair().Check(c);
  std::printf("[ compared ] %zu distinct characters\n", chars.size());
}

TEST_P(Differential, RandomConcatenationsOfWordsAndTheirPieces) {
  // Overlapping phrases are where maximum matching decides.
  std::mt19937 rng(1234 + GetParam());
  const auto& keys = pair().keys;
  const auto& values = pair().values;
  for (int i = 0; i < 30000; ++i) {
    std::string text;
    int pieces = 1 + static_cast<int>(rng() % 6);
    for (int p = 0; p < pieces; ++p) {
      const std::string& w = (rng() % 3 == 0) ? values[rng() % values.size()] : keys[rng() % keys.size()];
      // Whole words, or a word cut at a character boundary on either side.
      size_t chars = w.size() / 3;
      if (rng() % 2 == 0 || chars < 2) {
        text += w;
      } else if (rng() % 2 == 0) {
        text += w.substr(3 * (1 + rng() % (chars - 1)));
      } else {
        text += w.substr(0, 3 * (1 + rng() % (chars - 1)));
      }
      if (rng() % 8 == 0) text += (rng() % 2) ? "\r\n" : " ";
    }
    pair().Check(text);
    if (HasFatalFailure()) return;
  }
}

TEST_P(Differential, RandomValidAndInvalidUtf8) {
  std::mt19937 rng(99 + GetParam());
  // OpenCC's lookup tables for dictionary groups (every standard's) key a
  // character by its last four bytes, so a lead byte of a 5- or 6-byte
  // form (F8-FD, not UTF-8 at all) may match another character's entry and
  // leave the text mid-character (its native build aborts). We copy such a
  // form as it is, as OpenCC does without groups: a separate test holds
  // that, and these texts keep to the other bytes.
  const unsigned highBytes = 0x78;
  const auto& keys = pair().keys;
  auto codePoint = [&](uint32_t cp) {
    std::string s;
    if (cp < 0x80) {
      s += static_cast<char>(cp);
    } else if (cp < 0x800) {
      s += static_cast<char>(0xC0 | (cp >> 6));
      s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      s += static_cast<char>(0xE0 | (cp >> 12));
      s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      s += static_cast<char>(0xF0 | (cp >> 18));
      s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    int parts = 1 + static_cast<int>(rng() % 12);
    for (int p = 0; p < parts; ++p) {
      switch (rng() % 10) {
        case 0: text += static_cast<char>(rng() % 0x20); break;               // controls, NUL
        case 1: text += codePoint(0x2FF0 + rng() % 16); break;                 // description operators
        case 2: text += codePoint(0x4E00 + rng() % 0x5200); break;             // CJK
        case 3: text += codePoint(0x20000 + rng() % 0x2A6E0); break;          // supplementary
        case 4: text += keys[rng() % keys.size()]; break;
        case 5: text += static_cast<char>(0x80 + rng() % highBytes); break;    // a high byte
        case 6: text += keys[rng() % keys.size()].substr(0, 1 + rng() % 2); break;  // cut character
        case 7: text += codePoint(rng() % 0x800); break;
        case 8: text += codePoint(0xFE00 + rng() % 16); break;                 // variation selectors
        default: text += static_cast<char>('a' + rng() % 26); break;
      }
    }
    pair().Check(text);
    if (HasFatalFailure()) return;
  }
}

TEST_P(Differential, FiveAndSixByteFormsAreCopiedAsTheyAre) {
  // F8-FD lead bytes: the sequence and the text around it stay as they are,
  // and conversion goes on after it.
  const std::string text = std::string("\xFB\xF0\xA5\xB8\xA0") + "\xFD\x03\xE4\xB8\xAD\x80" + "a";
  const size_t bound = pair().compiled->OutputBound(text.size());
  std::string out(bound, '\0');
  size_t n = pair().compiled->Convert(text, out.data());
  EXPECT_EQ(out.substr(0, n), text);
}

INSTANTIATE_TEST_SUITE_P(EveryConfiguration, Differential, ::testing::Range(0, 10),
                         [](const auto& info) { return std::string(kConfigNames[info.param]); });

}  // namespace
