// Files given to tarnwell.exe: on its command line they open their file
// page queued; a second start hands them to the running program, which
// queues them at once when idle and after the run when converting; the
// instance window refuses malformed hand-overs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/filepages_e2e_harness.h"
#include "tests/support/TestText.h"

namespace {

using namespace filepages_e2e;
using testing_support::Utf8;

constexpr wchar_t kInstanceTitle[] = L"809726CD-DD8B-4bb2-9C7B-F173ED129BFE";

std::wstring Exe() { return ExeFolder() + L"\\tarnwell.exe"; }

class HandOverTest : public ProgramTest {
 protected:
  // Each test starts the program its own way, some with files made first.
  void SetUp() override {
    CreateDirectoryW(srcDir.c_str(), nullptr);
    CreateDirectoryW(outDir.c_str(), nullptr);
  }

  std::string simplified = Utf8(L"后来发展的软件里面，头发长得很快。\r\n这个软件把简体中文转换成繁体。\r\n");

  // The visible file page and its list's names.
  HWND ShownFilePage() {
    HWND list = nullptr;
    WaitFor([&] { return (list = FindDescendant(main, kFileList)) != nullptr; });
    return list != nullptr ? GetParent(list) : nullptr;
  }
  std::vector<std::wstring> Names(HWND page) {
    RemoteList list(ListOf(page), program.id());
    return list.Column(0);
  }
  bool WaitForRows(HWND page, int rows, DWORD timeoutMs = 30000) {
    RemoteList list(ListOf(page), program.id());
    return WaitFor([&] { return list.Rows() == rows; }, timeoutMs);
  }
  // A second start with `args`; true when it ended by itself with code 0.
  bool SecondStart(const std::wstring& args) {
    RemoteProcess second;
    if (!second.Start(Exe(), args)) return false;
    if (WaitForSingleObject(second.handle(), 60000) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    GetExitCodeProcess(second.handle(), &code);
    return code == 0;
  }
  static std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }
};

TEST_F(HandOverTest, CommandLineFilesOpenTheirPageQueuedAndAFolderGivesItsTextFiles) {
  const std::string traditional = Utf8(L"後來發展的軟體裏面，頭髮長得很快。\r\n");
  Source(L"甲.txt", traditional);
  CreateDirectoryW((srcDir + L"\\夹").c_str(), nullptr);
  WriteFileBytes(srcDir + L"\\夹\\乙.txt", traditional);
  WriteFileBytes(srcDir + L"\\夹\\丙.doc", traditional);
  ASSERT_NO_FATAL_FAILURE(StartProgramAt(
      Exe(), 30000, L"/t2s " + Quoted(srcDir + L"\\甲.txt") + L" " + Quoted(srcDir + L"\\夹")));
  HWND page = ShownFilePage();
  ASSERT_NE(page, nullptr) << "no file page shown";
  ASSERT_TRUE(WaitForRows(page, 2));
  EXPECT_EQ(Names(page), (std::vector<std::wstring>{L"甲.txt", L"乙.txt"}));
  // Ready to press Start, on the Traditional-to-Simplified page.
  ASSERT_NO_FATAL_FAILURE(StartAndAnswer(page, IDNO));
  EXPECT_EQ(Output(L"甲.txt"), EngineConvert(traditional, Tra2Sim));
  EXPECT_EQ(Output(L"乙.txt"), EngineConvert(traditional, Tra2Sim));
}

// With "包含子文件夹", a folder gives its sub-folders' files too, and their
// outputs keep the sub-folders under the output folder.
TEST_F(HandOverTest, AFolderWithItsSubFoldersKeepsTheirPathsUnderTheOutputFolder) {
  ASSERT_NO_FATAL_FAILURE(StartProgramAt(Exe(), 30000));
  SetValue(CFGKEY_INCLUDE_SUBFOLDERS, 1);
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  const std::wstring folder = srcDir + L"\\剧集";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"\\第一季").c_str(), nullptr);
  WriteFileBytes(folder + L"\\片头.ass", simplified);
  WriteFileBytes(folder + L"\\第一季\\01.srt", simplified);
  WriteFileBytes(folder + L"\\第一季\\封面.jpg", "not text");
  ASSERT_TRUE(SecondStart(Quoted(folder))) << "the second start did not hand over and end";
  ASSERT_TRUE(WaitForRows(page, 2));
  EXPECT_EQ(Names(page), (std::vector<std::wstring>{L"片头.ass", L"01.srt"}));
  ASSERT_NO_FATAL_FAILURE(StartAndAnswer(page, IDNO));
  EXPECT_EQ(Output(L"片头.ass"), EngineConvert(simplified, Sim2Tra));
  EXPECT_EQ(Output(L"第一季\\01.srt"), EngineConvert(simplified, Sim2Tra));
}

// Files dropped onto tarnwell.exe arrive as arguments without a page's
// switch: they join the file page on show.
TEST_F(HandOverTest, ASecondStartHandsThreeFilesToTheIdleProgram) {
  ASSERT_NO_FATAL_FAILURE(StartProgramAt(Exe(), 30000));
  HWND page = OpenFilePage(false);
  ASSERT_NE(page, nullptr);
  const std::string traditional = Utf8(L"後來發展的軟體裏面，頭髮長得很快。\r\n");
  std::wstring args;
  for (const wchar_t* name : {L"一.txt", L"二.txt", L"三.txt"}) {
    args += L" " + Quoted(Source(name, traditional));
  }
  ASSERT_TRUE(SecondStart(args)) << "the second start did not hand over and end";
  ASSERT_TRUE(WaitForRows(page, 3));
  EXPECT_EQ(Names(page), (std::vector<std::wstring>{L"一.txt", L"二.txt", L"三.txt"}));
  // One program: the second start left no window of its own.
  EXPECT_EQ(TopWindows(program.id()).size(), 1u);
  ASSERT_NO_FATAL_FAILURE(StartAndAnswer(page, IDNO));
  EXPECT_EQ(Output(L"三.txt"), EngineConvert(traditional, Tra2Sim));
}

TEST_F(HandOverTest, FilesHandedOverDuringARunJoinTheQueueAfterIt) {
  // A file large enough that the run is still on when Stop is pressed;
  // while the stop question waits, the job is held after its line in hand.
  std::string big;
  while (big.size() < 320u * 1024 * 1024) big += simplified;
  const std::wstring bigPath = Source(L"正在.txt", big);
  big.clear();
  big.shrink_to_fit();
  ASSERT_NO_FATAL_FAILURE(StartProgramAt(Exe(), 30000));
  // Manual UTF-8: no detection pass over the large file.
  SetValue(CFGKEY_ENCODING_MODE, 1);
  SetValue(CFGKEY_ENCODING_INDEX, 3);
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(SecondStart(L"/s2t " + Quoted(bigPath))) << "the large file was not handed over";
  ASSERT_TRUE(WaitForRows(page, 1));

  PostClick(page, kStart);
  HWND progress = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND w : TopWindows(program.id())) {
      if (FindDescendant(w, kStop) != nullptr) progress = w;
    }
    return progress != nullptr;
  }, 30000)) << "no progress dialog";
  PostClick(progress, kStop);
  std::wstring text;
  HWND confirm = WaitForBox(program.id(), &text);
  ASSERT_NE(confirm, nullptr) << "no stop question";
  std::wstring args = L"/s2t";
  for (const wchar_t* name : {L"四.txt", L"五.txt", L"六.txt"}) {
    args += L" " + Quoted(Source(name, simplified));
  }
  const bool handed = SecondStart(args);
  RemoteList list(ListOf(page), program.id());
  const int rowsDuringRun = list.Rows();
  const bool stillRunning = IsWindow(progress) && IsWindowVisible(progress);
  ASSERT_TRUE(handed) << "the second start did not hand over and end";
  ASSERT_TRUE(stillRunning);
  EXPECT_EQ(rowsDuringRun, 1) << "files joined the queue during the run";
  // Stopped: the file keeps the whole lines it wrote.
  ASSERT_TRUE(AnswerBox(confirm, IDYES));

  HWND box = WaitForBox(program.id(), &text, 120000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(text, kDoneQuestion);
  ASSERT_TRUE(AnswerBox(box, IDNO));
  ASSERT_TRUE(WaitForRows(page, 4)) << "rows: " << list.Rows();
  EXPECT_EQ(Names(page),
            (std::vector<std::wstring>{L"正在.txt", L"四.txt", L"五.txt", L"六.txt"}));
  const std::string partial = Output(L"正在.txt");
  ASSERT_GE(partial.size(), 2u);
  EXPECT_EQ(partial.substr(partial.size() - 2), "\r\n") << "the stop came after a whole line";
}

// What the Explorer does for three selected files: three starts at once.
TEST_F(HandOverTest, ThreeStartsAtOnceGiveOneProgramWithOneQueue) {
  ASSERT_NO_FATAL_FAILURE(StartProgramAt(Exe(), 30000, L"/s2t " + Quoted(Source(L"子.txt", simplified))));
  program.Kill();  // the settings are in place; the starts below are the test
  RemoteProcess starts[3];
  const wchar_t* names[3] = {L"丑.txt", L"寅.txt", L"卯.txt"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(starts[i].Start(Exe(), L"/s2t " + Quoted(Source(names[i], simplified))));
  }
  // Two of them hand over and end; one stays as the program.
  RemoteProcess* kept = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    int ended = 0;
    for (RemoteProcess& p : starts) {
      if (WaitForSingleObject(p.handle(), 0) == WAIT_OBJECT_0) {
        ++ended;
      } else {
        kept = &p;
      }
    }
    return ended == 2;
  }, 60000)) << "not exactly one program stayed";
  for (RemoteProcess& p : starts) {
    if (&p == kept) continue;
    DWORD code = 1;
    GetExitCodeProcess(p.handle(), &code);
    EXPECT_EQ(code, 0u);
  }
  HWND list = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND w : TopWindows(kept->id())) {
      if ((list = FindDescendant(w, kFileList)) != nullptr) return true;
    }
    return false;
  }, 30000));
  RemoteList rows(list, kept->id());
  ASSERT_TRUE(WaitFor([&] { return rows.Rows() == 3; }, 30000)) << "rows: " << rows.Rows();
  std::vector<std::wstring> got = rows.Column(0);
  std::sort(got.begin(), got.end());
  std::vector<std::wstring> want(names, names + 3);
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
}

TEST_F(HandOverTest, MalformedHandOversAreRefusedAndTheProgramGoesOn) {
  ASSERT_NO_FATAL_FAILURE(StartProgramAt(Exe(), 30000));
  HWND instance = FindWindowW(nullptr, kInstanceTitle);
  ASSERT_NE(instance, nullptr);
  auto send = [&](ULONG_PTR tag, const std::wstring& data, DWORD bytes) {
    COPYDATASTRUCT cds{tag, bytes, const_cast<wchar_t*>(data.data())};
    DWORD_PTR answer = 7;
    if (!SendMessageTimeoutW(instance, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                             SMTO_ABORTIFHUNG, 10000, &answer)) {
      return DWORD_PTR{99};
    }
    return answer;
  };
  const ULONG_PTR tag = 0x54574631;
  const std::wstring good(L"3\0a.txt\0\0", 9);
  std::wstring tooMany(L"3\0", 2);
  for (int i = 0; i < 32768; ++i) tooMany += std::wstring(L"x\0", 2);
  tooMany += L'\0';
  struct Bad {
    const char* what;
    ULONG_PTR tag;
    std::wstring data;
    DWORD bytes;
  };
  const std::vector<Bad> bad = {
      {"another tag", 1, good, 18},
      {"an odd size", tag, good, 17},
      {"no terminator", tag, std::wstring(L"3\0a.txt", 7), 14},
      {"a count that cuts the terminator off", tag, good, 12},
      {"an unknown page", tag, std::wstring(L"9\0a.txt\0\0", 9), 18},
      {"no path", tag, std::wstring(L"3\0\0", 3), 6},
      {"an empty path", tag, std::wstring(L"3\0a\0\0b\0\0", 8), 16},
      {"more than 32767 paths", tag, tooMany, static_cast<DWORD>(tooMany.size() * 2)},
  };
  for (const Bad& b : bad) EXPECT_EQ(send(b.tag, b.data, b.bytes), 0u) << b.what;
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(FindDescendant(main, kFileList), nullptr) << "a refused hand-over opened a page";

  // The program still takes a sound one.
  const std::wstring path = Source(L"好.txt", simplified);
  const std::wstring sound = std::wstring(L"3\0", 2) + path + std::wstring(L"\0\0", 2);
  EXPECT_EQ(send(tag, sound, static_cast<DWORD>(sound.size() * 2)), 1u);
  HWND page = ShownFilePage();
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(WaitForRows(page, 1));
}

}  // namespace
