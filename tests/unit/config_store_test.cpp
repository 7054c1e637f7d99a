// The settings file: its exact bytes, write-through, the table's limits,
// damaged files, and several threads and processes sharing it.
#include <gtest/gtest.h>
#include <windows.h>

#include <io.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "config/CfgStore.h"
#include "fw/Handle.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "tests/unit/config_file_view.h"

using config_test::CfgFileView;
using testing_support::ExeFolder;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}

std::string Header(std::uint32_t version, std::int32_t count, std::uint32_t total,
                   std::int32_t capacity, std::uint32_t next, const std::string& magic) {
  std::string h = Le32(version) + Le32(count) + Le32(total) + Le32(capacity) + Le32(next) + magic;
  h.resize(28, '\0');
  return h;
}

const std::string kMagic("vekcfg\0\0", 8);

// A sound store image with the given version and these 4-byte values.
std::string Image(std::uint32_t version, const std::vector<std::pair<int, int>>& values) {
  const auto n = static_cast<std::uint32_t>(values.size());
  std::string image = Header(version, static_cast<std::int32_t>(n), 1228 + 4 * n, 100,
                             1228 + 4 * n, kMagic);
  image.resize(1228, '\0');
  for (std::uint32_t i = 0; i < n; ++i) {
    std::string entry = Le32(values[i].first) + Le32(1228 + 4 * i) + Le32(4);
    image.replace(28 + 12 * i, 12, entry);
    image += Le32(values[i].second);
  }
  return image;
}

class StoreTest : public ::testing::Test {
 protected:
  CfgFileView View() const { return {ReadFileBytes(path_)}; }
  std::int32_t ReadInt(std::int32_t key) {
    std::int32_t v = -12345;
    EXPECT_EQ(store_.ReadValue(key, &v, 4), 4) << key;
    return v;
  }
  std::int32_t WriteInt(std::int32_t key, std::int32_t v) { return store_.WriteValue(key, &v, 4); }

  TempDir dir_{L"config-设置"};
  std::wstring path_ = dir_ / L"Tarnwell.cfg";
  CfgStore store_{path_.c_str()};
};

TEST_F(StoreTest, FreshStartWritesTheEmptyStoreThenTheThreeDefaults) {
  ASSERT_TRUE(store_.Reset());
  CfgFileView empty = View();
  ASSERT_EQ(empty.bytes.size(), 1228u);
  EXPECT_EQ(empty.version(), 0x00020001u);
  EXPECT_EQ(empty.count(), 0);
  EXPECT_EQ(empty.totalSize(), 1228u);
  EXPECT_EQ(empty.capacity(), 100);
  EXPECT_EQ(empty.nextOffset(), 1228u);
  EXPECT_EQ(empty.magic(), kMagic);
  EXPECT_EQ(empty.bytes.substr(28), std::string(1200, '\0'));

  ASSERT_EQ(DeleteFileW(path_.c_str()), TRUE);
  const std::wstring output = dir_ / L"文档\\Tarnwell";
  store_.EnsureCurrent(output.c_str());
  EXPECT_EQ(_waccess(output.c_str(), 0), 0) << "the default output folder is created";

  CfgFileView file = View();
  ASSERT_EQ(file.bytes.size(), 1756u);
  EXPECT_EQ(file.version(), 0x00020001u);
  EXPECT_EQ(file.count(), 3);
  EXPECT_EQ(file.totalSize(), 1756u);
  EXPECT_EQ(file.nextOffset(), 1756u);
  const CfgFileView::Entry expected[] = {{1, 1228, 520}, {2, 1748, 4}, {3, 1752, 4}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(file.entry(i).key, expected[i].key);
    EXPECT_EQ(file.entry(i).offset, expected[i].offset);
    EXPECT_EQ(file.entry(i).size, expected[i].size);
  }
  std::string slot(reinterpret_cast<const char*>(output.c_str()), output.size() * 2);
  slot.resize(520, '\0');
  EXPECT_EQ(file.value(0), slot);
  EXPECT_EQ(file.value(1), Le32(0));
  EXPECT_EQ(file.value(2), Le32(0));
  EXPECT_TRUE(store_.IsCurrent());

  // A current file is used as it is, whatever it holds.
  WriteInt(CFGKEY_ENCODING_MODE, 1);
  store_.EnsureCurrent(L"C:\\elsewhere");
  EXPECT_EQ(ReadInt(CFGKEY_ENCODING_MODE), 1);
  wchar_t dir[260];
  EXPECT_EQ(store_.ReadString(CFGKEY_OUTPUT_DIR, dir), 520);
  EXPECT_EQ(std::wstring(dir), output);
}

TEST_F(StoreTest, WritesGoStraightToTheFileAndReadsComeFromIt) {
  ASSERT_TRUE(store_.Reset());
  EXPECT_EQ(WriteInt(CFGKEY_ENCODING_MODE, 5), 1232);
  EXPECT_EQ(View().value(0), Le32(5));
  EXPECT_EQ(WriteInt(CFGKEY_ENCODING_MODE, 7), 1232);
  CfgFileView file = View();
  EXPECT_EQ(file.count(), 1) << "the key keeps its one entry";
  EXPECT_EQ(file.entry(0).offset, 1228u);
  EXPECT_EQ(file.value(0), Le32(7));

  // Nothing is cached: a change made by someone else is read at once.
  file.bytes.replace(1228, 4, Le32(9));
  ASSERT_TRUE(WriteFileBytes(path_, file.bytes));
  EXPECT_EQ(ReadInt(CFGKEY_ENCODING_MODE), 9);

  // Too small a buffer, or an absent key: 0 and the buffer untouched.
  char buffer[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(store_.ReadValue(CFGKEY_ENCODING_MODE, buffer, 2), 0);
  EXPECT_EQ(store_.ReadValue(42, buffer, 4), 0);
  EXPECT_EQ(std::string(buffer, 4), "abcd");

  // A value of another size than the stored one (a damaged file): stored
  // anew at its right size after the others, and said once.
  const std::string before = ReadFileBytes(path_);
  const char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(store_.WriteValue(CFGKEY_ENCODING_MODE, eight, 8),
            static_cast<std::int32_t>(before.size() + 8));
  EXPECT_TRUE(store_.TakeRepaired());
  EXPECT_FALSE(store_.TakeRepaired()) << "said once";
  char back[8] = {};
  EXPECT_EQ(store_.ReadValue(CFGKEY_ENCODING_MODE, back, 8), 8);
  EXPECT_EQ(std::string(back, 8), std::string(eight, 8));
  EXPECT_TRUE(View().Sound());
  EXPECT_EQ(View().count(), 1) << "the key keeps its one slot";
  EXPECT_EQ(store_.WriteValue(CFGKEY_ENCODING_MODE, eight, 8),
            static_cast<std::int32_t>(before.size() + 8));
  EXPECT_FALSE(store_.TakeRepaired()) << "the right size now: no repair";
}

TEST_F(StoreTest, StringSlotsHold259UnitsAndAlwaysReadTerminated) {
  ASSERT_TRUE(store_.Reset());
  wchar_t dst[260];

  const std::wstring longest(259, L'路');
  EXPECT_EQ(store_.WriteString(CFGKEY_OUTPUT_DIR, longest.c_str()), 1228 + 520);
  EXPECT_EQ(store_.ReadString(CFGKEY_OUTPUT_DIR, dst), 520);
  EXPECT_EQ(std::wstring(dst), longest);

  // Too long for a path with its terminator: an all-zero slot.
  for (size_t units : {260u, 300u}) {
    store_.WriteString(CFGKEY_OUTPUT_DIR, std::wstring(units, L'x').c_str());
    EXPECT_EQ(View().value(0), std::string(520, '\0')) << units;
    wmemset(dst, L'#', 260);
    EXPECT_EQ(store_.ReadString(CFGKEY_OUTPUT_DIR, dst), 520);
    EXPECT_STREQ(dst, L"");
  }
  store_.WriteString(CFGKEY_OUTPUT_DIR, nullptr);
  EXPECT_EQ(View().value(0), std::string(520, '\0'));

  // A slot filled to its last unit by someone else still reads as a
  // terminated string.
  CfgFileView file = View();
  for (size_t i = 0; i < 520; i += 2) file.bytes.replace(1228 + i, 2, "y\0", 2);
  ASSERT_TRUE(WriteFileBytes(path_, file.bytes));
  EXPECT_EQ(store_.ReadString(CFGKEY_OUTPUT_DIR, dst), 520);
  EXPECT_EQ(std::wstring(dst), std::wstring(259, L'y'));

  wmemset(dst, L'#', 260);
  EXPECT_EQ(store_.ReadString(77, dst), 0);
  EXPECT_STREQ(dst, L"") << "cleared even when absent";
}

TEST_F(StoreTest, AFullTableRefusesANewKeyAndSaysSoAndASmallerTableGrows) {
  ASSERT_TRUE(store_.Reset());
  for (int key = 1; key <= 100; ++key) ASSERT_GT(WriteInt(key, key * 3), 0) << key;
  const std::string full = ReadFileBytes(path_);
  EXPECT_EQ(full.size(), 1228u + 400u);

  EXPECT_EQ(WriteInt(101, 1), 0) << "a new key that finds no slot is no success";
  EXPECT_EQ(store_.LastWriteFailure(), CfgWriteFailure::Full);
  EXPECT_EQ(ReadFileBytes(path_), full);
  std::int32_t v = 0;
  EXPECT_EQ(store_.ReadValue(101, &v, 4), 0);
  EXPECT_EQ(ReadInt(100), 300);
  EXPECT_EQ(WriteInt(100, 1), 1628) << "existing keys can still change";
  EXPECT_EQ(ReadInt(100), 1);

  // A table whose capacity is below the 100 slots the file has: it grows.
  ASSERT_TRUE(WriteFileBytes(path_, [] {
    std::string image = Image(0x00020001, {{1, 7}, {2, 8}});
    image.replace(12, 4, Le32(2));  // capacity 2, both slots taken
    return image;
  }()));
  EXPECT_EQ(WriteInt(CFGKEY_STANDARD, 3), 1228 + 12);
  EXPECT_EQ(ReadInt(CFGKEY_STANDARD), 3);
  EXPECT_EQ(View().capacity(), 100);
  EXPECT_EQ(ReadInt(1), 7);
}

TEST_F(StoreTest, MagicAndMajorVersionDecideWhetherAFileIsCurrent) {
  struct Case {
    const char* what;
    std::string bytes;
    bool current;
    bool readable;  // key 2 can be read: the loader looks at size and magic only
  };
  std::string otherLastMagicByte = Image(0x00020001, {{2, 1}});
  otherLastMagicByte[27] = 'X';
  std::string forty = Image(0x00020001, {{2, 1}}).substr(0, 40);
  const Case cases[] = {
      {"minor version 0xFFFF", Image(0x0002FFFF, {{2, 1}}), true, true},
      {"magic with any eighth byte", otherLastMagicByte, true, true},
      {"major version 3", Image(0x00030001, {{2, 1}}), false, true},
      {"major version 0", Image(0x00000001, {{2, 1}}), false, true},
      {"exactly 40 bytes", forty, false, false},
      {"no magic", std::string(2000, 'v'), false, false},
      {"empty", "", false, false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileBytes(path_, c.bytes));
    EXPECT_EQ(store_.IsCurrent(), c.current) << c.what;
    std::int32_t v = -1;
    EXPECT_EQ(store_.ReadValue(2, &v, 4), c.readable ? 4 : 0) << c.what;
  }
}

TEST_F(StoreTest, DamagedFilesReadEmptyAndAreRepairedAtTheNextStart) {
  const std::string good = Image(0x00020001, {{1, 11}, {2, 22}, {3, 33}});
  auto patched = [&](size_t at, std::uint32_t v) {
    std::string b = good;
    b.replace(at, 4, Le32(v));
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"totalSize beyond the file", patched(8, 5000)},
      {"totalSize below the table", patched(8, 1000)},
      {"totalSize 4 GiB - 1", patched(8, 0xFFFFFFFF)},
      {"count above capacity", patched(4, 101)},
      {"negative count", patched(4, 0xFFFFFFFF)},
      {"capacity beyond the table", patched(12, 1000)},
      {"nextOffset beyond the image", patched(16, 99999)},
      {"entry offset beyond the image", patched(28 + 12 + 4, 0x7FFFFFF0)},
      {"entry size beyond the image", patched(28 + 12 + 8, 0xFFFFFFF0)},
      {"entry offset inside the header", patched(28 + 4, 4)},
      {"cut short", good.substr(0, good.size() - 3)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileBytes(path_, c.bytes));
    std::int32_t v = -1;
    for (int key : {1, 2, 3}) EXPECT_EQ(store_.ReadValue(key, &v, 4), 0) << c.what;
    EXPECT_EQ(v, -1);
    EXPECT_FALSE(store_.IsCurrent()) << c.what;

    // A write stores the empty store and its value; the next start resets.
    EXPECT_EQ(WriteInt(9, 99), 1232) << c.what;
    EXPECT_EQ(ReadInt(9), 99) << c.what;
    EXPECT_FALSE(store_.IsCurrent()) << c.what;
    store_.EnsureCurrent(L"C:\\out");
    EXPECT_TRUE(store_.IsCurrent()) << c.what;
    EXPECT_EQ(View().count(), 3) << c.what;
    EXPECT_EQ(ReadInt(CFGKEY_ENCODING_MODE), 0) << c.what;
  }
}

TEST_F(StoreTest, UnopenableFileMakesReadsAndWritesDoNothing) {
  CfgStore nowhere((dir_ / L"missing-folder\\Tarnwell.cfg").c_str());
  CfgStore tooLong((dir_ / std::wstring(300, L'l')).c_str());
  CfgStore empty(L"");
  for (CfgStore* store : {&nowhere, &tooLong, &empty}) {
    char buffer[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(store->ReadValue(2, buffer, 4), 0);
    EXPECT_EQ(std::string(buffer, 4), "keep");
    const std::int32_t one = 1;
    EXPECT_EQ(store->WriteValue(2, &one, 4), 0);
    EXPECT_FALSE(store->IsCurrent());
    EXPECT_FALSE(store->Reset());
    wchar_t dst[260];
    wmemset(dst, L'#', 260);
    EXPECT_EQ(store->ReadString(1, dst), 0);
    EXPECT_STREQ(dst, L"");
  }
  EXPECT_STREQ(tooLong.Path(), L"");
}

TEST_F(StoreTest, ABusyFileIsWaitedForNotTakenForAStaleOne) {
  ASSERT_TRUE(WriteFileBytes(path_, Image(0x00020001, {{2, 1}})));

  // Another reader holds it: readers share.
  {
    fw::UniqueHandle reader(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_TRUE(store_.IsCurrent());
    EXPECT_EQ(ReadInt(2), 1);
  }

  // A writer holds it alone for a while: the check waits and still finds
  // the file current, so start-up does not wipe the user's settings.
  for (int round = 0; round < 2; ++round) {
    fw::UniqueHandle writer(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    std::thread release([&] {
      Sleep(700);
      writer.reset();
    });
    if (round == 0) {
      EXPECT_TRUE(store_.IsCurrent());
    } else {
      EXPECT_EQ(WriteInt(2, 8), 1232);
    }
    release.join();
  }
  EXPECT_EQ(ReadInt(2), 8);
}

TEST_F(StoreTest, ComposesThePerUserPath) {
  wchar_t folder[260], file[260];
  ASSERT_TRUE(CfgStore::ComposeSettingsPath(L"C:\\users\\张\\AppData\\Roaming", folder, file));
  EXPECT_STREQ(folder, L"C:\\users\\张\\AppData\\Roaming\\Quorvane\\Tarnwell\\");
  EXPECT_STREQ(file, L"C:\\users\\张\\AppData\\Roaming\\Quorvane\\Tarnwell\\Tarnwell.cfg");
  const std::wstring deep = L"C:\\" + std::wstring(230, L'a');
  EXPECT_FALSE(CfgStore::ComposeSettingsPath(deep.c_str(), folder, file));
  EXPECT_STREQ(file, L"");
}

// Adds keys first..first+count-1 (value key*7), reading each back; returns
// the number of writes or reads that went wrong. Each key is written once:
// a write lost to a concurrent one cannot be mended by a later round.
int WriteKeys(CfgStore& store, int first, int count) {
  int failures = 0;
  for (int key = first; key < first + count; ++key) {
    const std::int32_t value = key * 7;
    if (store.WriteValue(key, &value, 4) == 0) ++failures;
    std::int32_t back = -1;
    if (store.ReadValue(key, &back, 4) != 4 || back != value) ++failures;
  }
  return failures;
}

void ExpectAllKeys(const CfgFileView& file, int first, int count) {
  for (int key = first; key < first + count; ++key) {
    int i = file.Find(key);
    ASSERT_GE(i, 0) << "write of key " << key << " was lost";
    EXPECT_EQ(file.value(i), Le32(key * 7)) << key;
  }
}

TEST_F(StoreTest, TwoThreadsWritingAtOnceLoseNothing) {
  // A few runs: each has a fair chance of catching a write that is not
  // atomic, and all of them together a near certain one.
  for (int run = 0; run < 4; ++run) {
    DeleteFileW(path_.c_str());
    ASSERT_TRUE(store_.Reset());
    std::atomic<int> ready{0};
    int failures[2] = {};
    std::thread other([&] {
      CfgStore mine(path_.c_str());
      ++ready;
      while (ready < 2) Sleep(0);
      failures[1] = WriteKeys(mine, 400, 45);
    });
    ++ready;
    while (ready < 2) Sleep(0);
    failures[0] = WriteKeys(store_, 300, 45);
    other.join();
    EXPECT_EQ(failures[0], 0);
    EXPECT_EQ(failures[1], 0);
    CfgFileView file = View();
    EXPECT_TRUE(file.Sound());
    EXPECT_EQ(file.count(), 90);
    ExpectAllKeys(file, 300, 45);
    ExpectAllKeys(file, 400, 45);
  }
}

TEST_F(StoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  ASSERT_TRUE(store_.Reset());
  const std::wstring eventName = L"tarnwell-cfg-test-" + std::to_wstring(GetCurrentProcessId());
  fw::UniqueHandle go(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
  fw::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, (eventName + L"-ready").c_str()));
  ASSERT_TRUE(go);
  ASSERT_TRUE(ready);
  std::wstring cmd = L"\"" + ExeFolder() + L"\\config_store_writer.exe\" \"" + path_ +
                     L"\" 200 45 " + eventName;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  fw::UniqueHandle process(pi.hProcess);
  fw::UniqueHandle thread(pi.hThread);
  // The other process says when it is about to wait for the event; then
  // both go.
  const HANDLE either[2] = {ready.get(), process.get()};
  ASSERT_EQ(WaitForMultipleObjects(2, either, FALSE, 240000), WAIT_OBJECT_0)
      << "the other process ended or never got ready";
  SetEvent(go.get());
  EXPECT_EQ(WriteKeys(store_, 100, 45), 0);

  ASSERT_EQ(WaitForSingleObject(process.get(), 240000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process.get(), &code);
  EXPECT_EQ(code, 0u) << "the other process saw a write fail or not read back";
  CfgFileView file = View();
  EXPECT_TRUE(file.Sound());
  EXPECT_EQ(file.count(), 90);
  ExpectAllKeys(file, 100, 45);
  ExpectAllKeys(file, 200, 45);
}

}  // namespace

TEST_F(StoreTest, AStoreAboveOneMebibyteCountsAsDamaged) {
  // Sound in every other way: one value of 1 MiB.
  std::string image = Header(0x00020001, 1, 1228 + 1048576, 100, 1228 + 1048576, kMagic);
  image.resize(1228, '\0');
  image.replace(28, 12, Le32(7) + Le32(1228) + Le32(1048576));
  image += std::string(1048576, 'x');
  ASSERT_TRUE(WriteFileBytes(path_, image));
  char byte = 0;
  EXPECT_EQ(store_.ReadValue(7, &byte, 1), 0);
  EXPECT_FALSE(store_.IsCurrent());
}

TEST_F(StoreTest, AnOutputFolderThatIsNotAbsoluteReadsAsTheDefault) {
  store_.EnsureCurrent(L"C:\\默认输出");
  const wchar_t* refused[] = {L"..", L"输出", L"C:相对", L"\\根下", L"\\\\.\\COM1", L""};
  for (const wchar_t* folder : refused) {
    ASSERT_GT(store_.WriteString(CFGKEY_OUTPUT_DIR, folder), 0);
    wchar_t got[260] = {};
    store_.ReadString(CFGKEY_OUTPUT_DIR, got);
    EXPECT_STREQ(got, L"C:\\默认输出") << testing_support::Utf8(folder);
  }
  for (const wchar_t* folder : {L"D:\\转换", L"\\\\服务器\\共享\\输出", L"c:/out"}) {
    ASSERT_GT(store_.WriteString(CFGKEY_OUTPUT_DIR, folder), 0);
    wchar_t got[260] = {};
    store_.ReadString(CFGKEY_OUTPUT_DIR, got);
    EXPECT_STREQ(got, folder);
  }
}

TEST_F(StoreTest, AFileHeldByAnotherProgramAtStartIsLeftAloneAndTheSessionKeepsItsOwn) {
  const std::string sound = Image(0x00020001, {{2, 1}, {3, 5}});
  ASSERT_TRUE(WriteFileBytes(path_, sound));
  {
    fw::UniqueHandle held(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
    ASSERT_TRUE(held);
    store_.EnsureCurrent(L"C:\\out");
    EXPECT_TRUE(store_.Unreachable());
    EXPECT_EQ(store_.UnreachableError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // The defaults, in memory; changes stay in memory.
    EXPECT_EQ(ReadInt(CFGKEY_ENCODING_MODE), 0);
    EXPECT_GT(WriteInt(CFGKEY_ENCODING_MODE, 1), 0);
    EXPECT_EQ(ReadInt(CFGKEY_ENCODING_MODE), 1);
  }
  EXPECT_EQ(ReadFileBytes(path_), sound);
  EXPECT_EQ(ReadInt(CFGKEY_ENCODING_MODE), 1);
}
