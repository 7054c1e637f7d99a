// Files dragged from the Explorer onto a file page's list, delivered as the
// shell delivers them (WM_DROPFILES with an HDROP) to a real page in this
// process: queued exactly as Add queues them, in the order dropped, folders
// giving the .txt files directly inside, long paths refused by name, and
// nothing queued while a run is on.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fw/MessageBox.h"
#include "pages/FConvView.h"
#include "pages/FileDrop.h"
#include "pages/FilePagesIds.h"
#include "tests/support/FilePageHarness.h"
#include "tests/support/WindowPixels.h"

namespace {

using filepages_test::Click;
using filepages_test::TestSettings;
using testing_support::PumpMessages;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// An HDROP as the shell builds it: DROPFILES, then wide paths each ended by
// a NUL, and one more NUL. The receiver frees it (DragFinish).
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  size_t units = 1;
  for (const std::wstring& p : paths) units += p.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = POINT{40, 40};
  header->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& p : paths) {
    wmemcpy(out, p.c_str(), p.size() + 1);
    out += p.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

class FileDropTest : public filepages_test::PageFixture<CDlgFSim2Tra> {
 protected:
  FileDropTest() : PageFixture(L"拖放 源") {}

  HWND List() { return page.controls.list.m_hWnd; }
  // Drops `paths` and waits while the page makes them ready on its worker.
  void Drop(const std::vector<std::wstring>& paths) {
    SendMessageW(List(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    const DWORD until = GetTickCount() + 60000;
    while (page.Queueing() && GetTickCount() < until) PumpMessages(10);
    EXPECT_FALSE(page.Queueing()) << "the dropped files never all came";
  }
  int Rows() { return page.controls.list.GetItemCount(); }
  std::wstring Cell(int row, int col) { return page.controls.list.GetItemText(row, col); }
  std::vector<std::wstring> Names() {
    std::vector<std::wstring> names;
    for (int r = 0; r < Rows(); ++r) names.push_back(Cell(r, FILECOL_NAME));
    return names;
  }
};

TEST_F(FileDropTest, TheListAcceptsDropsAndADroppedFileIsQueuedAsAddQueuesIt) {
  EXPECT_NE(GetWindowLongPtrW(List(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  const std::wstring utf8 = Write(L"简体.txt", "\xEF\xBB\xBF" "简体中文\r\n");
  const std::wstring ascii = Write(L"plain.txt", "just ascii\r\n");
  Drop({utf8});
  page.AddChosenFiles({utf8});
  ASSERT_EQ(Rows(), 2);
  for (int col = 0; col < 4; ++col) EXPECT_EQ(Cell(0, col), Cell(1, col)) << "column " << col;
  EXPECT_EQ(Cell(0, FILECOL_NAME), L"简体.txt");
  EXPECT_EQ(Cell(0, FILECOL_ENCODING), L"UTF-8");
  EXPECT_EQ(Cell(0, FILECOL_STATUS), L"待处理");
  ASSERT_EQ(page.files.size(), 2u);
  EXPECT_EQ(std::wstring(page.files[0].path), utf8);
  EXPECT_EQ(page.files[0].encoding, page.files[1].encoding);

  // Manual mode holds for drops as for Add: no detection, the stored choice.
  settings.SetValue(CFGKEY_ENCODING_MODE, 1);
  settings.SetValue(CFGKEY_ENCODING_INDEX, 2);
  Drop({ascii});
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(2, FILECOL_ENCODING), L"Unicode big endian");
  EXPECT_EQ(page.files[2].encoding, EncUtf16Be);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(FileDropTest, SeveralFilesAndFoldersComeInTheOrderDropped) {
  const std::wstring c = Write(L"c.txt", "c\r\n");
  const std::wstring a = Write(L"a.txt", "a\r\n");
  TempDir folder{L"文件夹"};
  for (const wchar_t* n : {L"10.txt", L"2.txt", L"乙.TXT", L"x.txtx", L"photo.jpg"}) {
    WriteFileBytes(folder / n, "x\r\n");
  }
  CreateDirectoryW((folder / L"sub.txt").c_str(), nullptr);
  WriteFileBytes(folder / L"sub.txt\\inner.txt", "x\r\n");

  Drop({c, folder.path(), a});
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"c.txt", L"2.txt", L"10.txt", L"乙.TXT",
                                                L"a.txt"}));
  ASSERT_EQ(page.files.size(), 5u);
  EXPECT_EQ(std::wstring(page.files[1].path), folder / L"2.txt");
  EXPECT_EQ(Cell(1, FILECOL_SIZE), L"3.00Bytes");

  // A folder without text files queues nothing and says nothing.
  TempDir empty{L"空"};
  Drop({empty.path()});
  EXPECT_EQ(Rows(), 5);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(FileDropTest, AFolderGivesEveryTextAndSubtitleFileAndWithTheSettingItsSubFolders) {
  TempDir folder{L"剧集"};
  std::vector<std::wstring> expected;
  for (size_t i = 0; i < kTextExtensionCount; ++i) {
    const std::wstring name = L"第" + std::to_wstring(i + 10) + L"集" + kTextExtensions[i];
    WriteFileBytes(folder / name, "x\r\n");
    expected.push_back(name);
  }
  for (const wchar_t* n : {L"cover.jpg", L"movie.mkv", L"noext"}) WriteFileBytes(folder / n, "x");
  CreateDirectoryW((folder / L"第一季").c_str(), nullptr);
  CreateDirectoryW((folder / L"第一季\\花絮").c_str(), nullptr);
  WriteFileBytes(folder / L"第一季\\01.SRT", "x\r\n");
  WriteFileBytes(folder / L"第一季\\花絮\\02.ass", "x\r\n");

  Drop({folder.path()});  // directly inside only, as before
  EXPECT_EQ(Names(), expected);

  page.ClearList();
  settings.SetValue(CFGKEY_INCLUDE_SUBFOLDERS, 1);
  Drop({folder.path()});
  expected.push_back(L"01.SRT");
  expected.push_back(L"02.ass");
  EXPECT_EQ(Names(), expected);
  ASSERT_EQ(page.files.size(), expected.size());
  EXPECT_EQ(std::wstring(page.files[0].subFolder), L"");
  EXPECT_EQ(std::wstring(page.files[expected.size() - 2].subFolder), L"第一季\\");
  EXPECT_EQ(std::wstring(page.files.back().subFolder), L"第一季\\花絮\\");
  EXPECT_EQ(std::wstring(page.files.back().path), folder / L"第一季\\花絮\\02.ass");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(FileDropTest, APathTooLongIsRefusedByNameAndTheRestIsQueued) {
  const std::wstring first = Write(L"一.txt", "one\r\n");
  const std::wstring last = Write(L"二.txt", "two\r\n");
  const std::wstring tooLong = src.path() + L"\\" + std::wstring(300, L'长') + L".txt";
  const std::wstring longFolder = src.path() + L"\\" + std::wstring(300, L'夹');
  Drop({first, tooLong, longFolder, last});
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"一.txt", L"二.txt"}));
  ASSERT_EQ(boxes.size(), 1u) << "one message for all refused paths";
  EXPECT_NE(boxes[0].text.find(tooLong), std::wstring::npos);
  EXPECT_NE(boxes[0].text.find(longFolder), std::wstring::npos);
  EXPECT_EQ(boxes[0].text.find(first), std::wstring::npos);
}

TEST_F(FileDropTest, NothingIsQueuedWhileARunIsOn) {
  page.AddChosenFiles({Write(L"a.txt", "abc\r\n")});
  const std::wstring later = Write(L"b.txt", "def\r\n");
  Click(page.m_hWnd, IDC_FILE_START);
  // The job's end arrives posted: until messages are pumped the run is on.
  ASSERT_NE(page.progress.m_hWnd, nullptr);
  Drop({later});
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(page.files.size(), 1u);

  const DWORD until = GetTickCount() + 60000;
  while (boxes.empty() && GetTickCount() < until) PumpMessages(10);
  ASSERT_EQ(boxes.size(), 1u) << "no completion question";
  while (page.WorkerRecorded() && GetTickCount() < until) PumpMessages(5);
  ASSERT_EQ(page.progress.m_hWnd, nullptr);
  Drop({later});
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"b.txt"}));
}

TEST(DroppedPaths, AreReadWholeAndFoldersExpandInPlace) {
  TempDir dir{L"展开"};
  WriteFileBytes(dir / L"b.txt", "b");
  WriteFileBytes(dir / L"A.txt", "a");
  const std::wstring missing = dir / L"不在.txt";
  const std::wstring longOne = L"C:\\" + std::wstring(400, L'x') + L".txt";
  HDROP drop = MakeDrop({longOne, dir.path(), missing});
  const std::vector<std::wstring> read = DroppedPaths(drop);
  DragFinish(drop);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0], longOne);
  EXPECT_EQ(ExpandDroppedFolders(read),
            (std::vector<std::wstring>{longOne, dir / L"A.txt", dir / L"b.txt", missing}));
}

}  // namespace
