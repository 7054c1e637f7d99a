// The small shared routines: the program's folder, folder creation, file
// sizes as text and multi-item texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <io.h>

#include <string>

#include "config/FormatSize.h"
#include "config/MakeDirs.h"
#include "config/ModuleFolder.h"
#include "config/TextList.h"
#include "tests/support/TempDir.h"

using testing_support::ExeFolder;
using testing_support::TempDir;

namespace {

bool Exists(const std::wstring& path) { return _waccess(path.c_str(), 0) == 0; }

TEST(ModuleFolder, IsTheExecutablesFolderWithItsBackslash) {
  wchar_t folder[260];
  wmemset(folder, L'#', 260);
  const std::int32_t n = ModuleFolder(folder);
  EXPECT_EQ(std::wstring(folder), ExeFolder() + L"\\");
  EXPECT_EQ(n, static_cast<std::int32_t>(ExeFolder().size() + 1));
}

TEST(ModuleFolder, CutsAtTheLastBackslashEvenWhenAFolderCarriesTheFilesName) {
  wchar_t folder[260] = {};
  EXPECT_EQ(FolderOfPath(L"C:\\tarnwell.exe.d\\程序\\tarnwell.exe", folder), 21);
  EXPECT_STREQ(folder, L"C:\\tarnwell.exe.d\\程序\\");

  // A folder longer than the old 130-unit limit still fits the buffer.
  std::wstring deep = L"C:\\" + std::wstring(200, L'd') + L"\\";
  EXPECT_EQ(FolderOfPath((deep + L"x.exe").c_str(), folder), static_cast<int>(deep.size()));
  EXPECT_EQ(std::wstring(folder), deep);

  // Too long for 260 units: the length only, the buffer untouched.
  std::wstring tooDeep = L"C:\\" + std::wstring(300, L'd') + L"\\";
  wmemset(folder, L'#', 260);
  EXPECT_EQ(FolderOfPath((tooDeep + L"x.exe").c_str(), folder), static_cast<int>(tooDeep.size()));
  EXPECT_EQ(folder[0], L'#');
  EXPECT_EQ(FolderOfPath(L"no-folder.exe", folder), 0);
}

TEST(MakeDirs, CreatesEveryMissingFolderOfAnAbsolutePath) {
  TempDir dir(L"config-dirs");
  EXPECT_EQ(MakeDirs(L"C:\\"), 0);

  const std::wstring deep = dir / L"输出\\第二层\\three";
  EXPECT_EQ(MakeDirs(deep.c_str()), 0);
  EXPECT_TRUE(Exists(deep));
  EXPECT_EQ(MakeDirs(deep.c_str()), 0) << "an existing path is fine";

  const std::wstring trailing = dir / L"a\\b\\";
  EXPECT_EQ(MakeDirs(trailing.c_str()), 0);
  EXPECT_TRUE(Exists(dir / L"a\\b"));
}

TEST(MakeDirs, RefusesPathsThatAreNotPlainAbsoluteFolders) {
  TempDir dir(L"config-baddirs");
  EXPECT_EQ(MakeDirs(nullptr), 2);
  EXPECT_EQ(MakeDirs(L""), 2);
  EXPECT_EQ(MakeDirs(L"\\\\server\\share\\x"), 2);
  EXPECT_EQ(MakeDirs(L"relative\\x"), 2);
  EXPECT_EQ(MakeDirs(L"C:relative"), 2);
  EXPECT_EQ(MakeDirs(L"1:\\x"), 2);

  // The checks run component by component: folders before the bad one are
  // made, the bad one and those after it are not.
  for (const wchar_t* bad : {L".hidden", L"trail.", L" lead", L"tab\t", L"a*b", L"a?b", L"a|b",
                             L"a<b", L"a>b", L"a\"b", L"a:b", L"a/b"}) {
    const std::wstring path = dir / L"ok\\" + bad + L"\\after";
    EXPECT_EQ(MakeDirs(path.c_str()), 2) << Exists(path);
    EXPECT_TRUE(Exists(dir / L"ok"));
    EXPECT_FALSE(Exists(dir / L"ok\\" + bad));
  }
  const std::wstring doubled = dir / L"x\\\\y";
  EXPECT_EQ(MakeDirs(doubled.c_str()), 2);
  EXPECT_FALSE(Exists(dir / L"x\\y"));

  const std::wstring tooLong = dir / std::wstring(260, L'z');
  EXPECT_EQ(MakeDirs(tooLong.c_str()), 2);
}

std::wstring Size(std::uint64_t size) {
  wchar_t text[260];
  wmemset(text, L'#', 260);
  EXPECT_EQ(FormatSize(text, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(size >> 32)),
            1);
  return text;
}

TEST(FormatSize, PicksTheUnitOnlyAboveOneOfIt) {
  EXPECT_EQ(Size(0), L"0.00Bytes");
  EXPECT_EQ(Size(1024), L"1024.00Bytes");
  EXPECT_EQ(Size(1025), L"1.00KB");
  EXPECT_EQ(Size(1536), L"1.50KB");
  EXPECT_EQ(Size(1048576), L"1024.00KB");
  EXPECT_EQ(Size(1073741824), L"1024.00MB");
  EXPECT_EQ(Size(5ull << 30), L"5.00GB");
  EXPECT_EQ(Size(0xFFFFFFFFull), L"4.00GB");
  EXPECT_EQ(Size(3ull << 40), L"3072.00GB");
}

TEST(TextList, CountsAndCopiesLineFeedSeparatedItems) {
  TextList list;
  EXPECT_EQ(list.Load(L"ANSI\nUnicode\nUnicode big endian\nUTF-8\n"), 4);
  wchar_t item[64];
  EXPECT_TRUE(list.GetItem(2, item, sizeof item));
  EXPECT_STREQ(item, L"Unicode big endian");
  EXPECT_TRUE(list.GetItem(3, item, sizeof item));
  EXPECT_STREQ(item, L"UTF-8");
  EXPECT_FALSE(list.GetItem(4, item, sizeof item));
  EXPECT_STREQ(item, L"");
  EXPECT_FALSE(list.GetItem(-1, item, sizeof item));

  // No final line feed: the last unit closes the last item.
  EXPECT_EQ(list.Load(L"文件名\n大小\n状态"), 3);
  EXPECT_TRUE(list.GetItem(2, item, sizeof item));
  EXPECT_STREQ(item, L"状态");
  // An empty item between two line feeds still counts.
  EXPECT_EQ(list.Load(L"a\n\nb"), 3);
  EXPECT_TRUE(list.GetItem(1, item, sizeof item));
  EXPECT_STREQ(item, L"");

  EXPECT_EQ(list.Load(L""), 0);
  EXPECT_EQ(list.Load(nullptr), 0);
  EXPECT_FALSE(list.GetItem(0, item, sizeof item));
}

TEST(TextList, LongSourcesAndSmallDestinationsAreCutNotOverrun) {
  TextList list;
  std::wstring source = L"first\n" + std::wstring(2000, L'x') + L"\nlast";
  EXPECT_EQ(list.Load(source.c_str()), 2) << "the text keeps 1023 units";
  // Room for four units: three and the terminator; nothing past them.
  wchar_t small[8];
  wmemset(small, L'#', 8);
  EXPECT_TRUE(list.GetItem(0, small, 4 * sizeof(wchar_t)));
  EXPECT_STREQ(small, L"fir");
  EXPECT_EQ(small[4], L'#');
  wchar_t item[1024];
  EXPECT_TRUE(list.GetItem(1, item, sizeof item));
  EXPECT_EQ(std::wstring(item), std::wstring(1023 - 6, L'x'));
}

}  // namespace
