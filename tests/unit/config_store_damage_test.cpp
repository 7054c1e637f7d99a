// Thousands of damaged settings files: truncated, bytes flipped, header
// fields and entries set to wild values. The store must never crash, never
// read or write outside the file's image, and answer as the documented
// rules say.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <random>
#include <string>

#include "config/CfgStore.h"
#include "tests/support/TempDir.h"
#include "tests/unit/config_file_view.h"

using config_test::CfgFileView;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

class Damage {
 public:
  explicit Damage(std::uint32_t seed) : rng_(seed) {}

  std::string Apply(std::string bytes) {
    switch (Pick(5)) {
      case 0:  // cut short
        bytes.resize(Pick(bytes.size() + 1));
        break;
      case 1:  // a few bytes flipped, mostly in the header and table
        for (size_t n = 1 + Pick(8); n > 0 && !bytes.empty(); --n) {
          const size_t limit = Pick(2) ? bytes.size() : std::min<size_t>(bytes.size(), 28 + 12 * 16);
          bytes[Pick(limit)] ^= static_cast<char>(1 + Pick(255));
        }
        break;
      case 2:  // a header field set to a wild value
        Put(bytes, 4 * Pick(5), Wild(bytes.size()));
        break;
      case 3:  // an entry's key, offset or size set to a wild value
        Put(bytes, 28 + 12 * Pick(20) + 4 * Pick(3), Wild(bytes.size()));
        break;
      default:  // several of the above, and junk appended
        for (int i = 0; i < 3; ++i) Put(bytes, 4 * Pick(5 + 3 * 20), Wild(bytes.size()));
        bytes.append(Pick(64), static_cast<char>(Pick(256)));
        break;
    }
    return bytes;
  }

 private:
  size_t Pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
  std::uint32_t Wild(size_t fileSize) {
    const auto size = static_cast<std::uint32_t>(fileSize);
    const std::uint32_t values[] = {0,        1,          40,         1227,       1228,
                                    size - 4, size - 1,   size,       size + 1,   100,
                                    101,      0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFC};
    if (Pick(4) == 0) return static_cast<std::uint32_t>(rng_());
    return values[Pick(std::size(values))];
  }
  static void Put(std::string& bytes, size_t at, std::uint32_t v) {
    if (at + 4 <= bytes.size()) std::memcpy(bytes.data() + at, &v, 4);
  }

  std::mt19937 rng_;
};

TEST(StoreDamage, DamagedFilesNeverCrashAndAnswerByTheRules) {
  TempDir dir(L"config-damage");
  const std::wstring path = dir / L"Tarnwell.cfg";
  CfgStore store(path.c_str());

  // A realistic file: the three settings and keys of several sizes.
  ASSERT_TRUE(store.Reset());
  store.WriteString(CFGKEY_OUTPUT_DIR, L"C:\\users\\文档\\Tarnwell");
  for (std::int32_t key = 2; key <= 12; ++key) {
    const char value[16] = {static_cast<char>(key), 1, 2, 3, 4, 5, 6, 7, 8, 9};
    ASSERT_GT(store.WriteValue(key, value, 1 + key % 9), 0);
  }
  const std::string base = ReadFileBytes(path);
  ASSERT_TRUE(CfgFileView{base}.Sound());

  const std::uint32_t seed = 20261207;
  Damage damage(seed);
  int soundCount = 0;
  for (int iteration = 0; iteration < 3000; ++iteration) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", iteration " + std::to_string(iteration));
    const CfgFileView before{damage.Apply(base)};
    ASSERT_TRUE(WriteFileBytes(path, before.bytes));
    const bool sound = before.Sound();
    soundCount += sound;

    EXPECT_EQ(store.IsCurrent(), sound && (before.version() >> 16) == 2);

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    const int found = sound ? before.Find(4) : -1;
    const std::int32_t read = store.ReadValue(4, buffer, sizeof buffer);
    if (found >= 0 && before.entry(found).size <= sizeof buffer) {
      EXPECT_EQ(read, static_cast<std::int32_t>(before.entry(found).size));
      EXPECT_EQ(std::string(buffer, static_cast<size_t>(read)), before.value(found));
    } else {
      EXPECT_EQ(read, 0);
      EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));
    }

    wchar_t text[260];
    const std::int32_t textSize = store.ReadString(CFGKEY_OUTPUT_DIR, text);
    EXPECT_GE(textSize, 0);
    EXPECT_LT(wcsnlen(text, 260), 260u);

    const std::int32_t value = 0x5EED0000 + iteration;
    const std::int32_t written = store.WriteValue(77, &value, 4);
    const CfgFileView after{ReadFileBytes(path)};
    ASSERT_TRUE(after.Sound()) << "a write must leave a sound file";
    const int old77 = sound ? before.Find(77) : -1;
    if (!sound) {
      EXPECT_EQ(written, 1232) << "the empty store and the value";
      EXPECT_EQ(after.count(), 1);
    } else if (old77 >= 0 && before.entry(old77).size != 4) {
      EXPECT_EQ(written, static_cast<std::int32_t>(before.totalSize() + 4)) << "rewritten at 4 bytes";
      EXPECT_TRUE(store.TakeRepaired());
    } else if (old77 < 0 && before.count() >= 100) {
      EXPECT_EQ(written, 0) << "full table";
      EXPECT_EQ(after.bytes, before.bytes);
      continue;
    } else {
      EXPECT_EQ(written, static_cast<std::int32_t>(before.totalSize() + (old77 < 0 ? 4 : 0)));
    }
    std::int32_t back = 0;
    EXPECT_EQ(store.ReadValue(77, &back, 4), 4);
    EXPECT_EQ(back, value);
  }
  // The damage must leave a fair share of files sound (with odd but valid
  // fields) as well as plenty of broken ones, or half the rules go untried.
  EXPECT_GT(soundCount, 300);
  EXPECT_LT(soundCount, 2700);
}

}  // namespace
