// The file pages of the running program, driven from this process through
// its real windows: the file-open dialog, the settings dialog, the file
// encoding dialog, the progress dialog's Stop and the completion question.
#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <cstdio>

#include "tests/e2e/filepages_e2e_harness.h"
#include "tests/support/TestText.h"

namespace filepages_e2e {
namespace {

const std::string kUtf8Marked = "\xEF\xBB\xBF" + Utf8(L"简体中文的文件，头发后来长得很快。\r\n");
const std::string kAscii = "plain seven bit text\r\nsecond line\r\n";

std::string SampleBytes(const wchar_t* name) { return ReadFileBytes(ExeFolder() + L"\\" + name); }

TEST_F(ProgramTest, ThreeFilesRemoveDoubleClickAndStart) {
  Source(L"a.txt", kUtf8Marked);
  Source(L"b.txt", kAscii);
  const std::string gb = SampleBytes(L"textio_zh_hans.gb18030");
  ASSERT_FALSE(gb.empty());
  Source(L"c.txt", gb);

  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"a.txt", L"b.txt", L"c.txt"}, 3));
  RemoteList list(ListOf(page), program.id());
  EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}));
  EXPECT_EQ(list.Column(2), (std::vector<std::wstring>{L"UTF-8", L"ASCII", L"GB18030"}));
  EXPECT_EQ(list.Column(3), (std::vector<std::wstring>(3, L"待处理")));
  EXPECT_EQ(list.Cell(1, 1), L"35.00Bytes");

  // Rows 2 and 0 selected: Remove takes row 0 only.
  ClickRow(page, 2);
  ClickRow(page, 0, true);
  ASSERT_TRUE(WaitFor([&] { return list.Selected(0) && list.Selected(2); }));
  PostClick(page, kRemove);
  ASSERT_TRUE(WaitFor([&] { return list.Rows() == 2; }));
  EXPECT_EQ(list.Column(0), (std::vector<std::wstring>{L"b.txt", L"c.txt"}));

  // A double click on b.txt: the encoding dialog opens on "ANSI"; "UTF-8", OK.
  DoubleClickRow(page, 0);
  HWND editor = WaitForDialog(L"文件设置");
  ASSERT_NE(editor, nullptr) << "no file encoding dialog";
  HWND combo = GetDlgItem(editor, kEncodingCombo);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  SendMessageW(combo, CB_SETCURSEL, 3, 0);
  PostClick(editor, IDOK);
  ASSERT_TRUE(WaitFor([&] { return list.Cell(0, 2) == L"UTF-8"; }));
  EXPECT_EQ(list.Cell(1, 2), L"GB18030");

  StartAndAnswer(page, IDNO);
  EXPECT_EQ(list.Column(3), (std::vector<std::wstring>(2, L"处理完成")));
  EXPECT_EQ(Output(L"b.txt"), EngineConvert(kAscii, Sim2Tra));
  EXPECT_EQ(Output(L"c.txt"), EngineConvert(SampleBytes(L"textio_zh_hans.txt"), Sim2Tra));
  EXPECT_TRUE(Output(L"a.txt").empty());  // removed before the run

  // The close button ends the program cleanly, the settings as they were.
  const std::string settings = ReadFileBytes(settingsFile);
  PostMessageW(FindDescendant(main, kCloseButton), BM_CLICK, 0, 0);
  ASSERT_EQ(WaitForSingleObject(program.handle(), 30000), WAIT_OBJECT_0)
      << "the close button did not end the program";
  DWORD code = 99;
  GetExitCodeProcess(program.handle(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadFileBytes(settingsFile), settings);
  EXPECT_TRUE(CfgStore(settingsFile.c_str()).IsCurrent());
}

TEST_F(ProgramTest, ManualModeFromTheSettingsDialogSkipsDetection) {
  PostClick(main, kSettingButton);
  HWND settings = WaitForDialog(L"设置");
  ASSERT_NE(settings, nullptr) << "no settings dialog";
  EXPECT_EQ(TextOf(GetDlgItem(settings, 1002)), outDir);
  EXPECT_EQ(SendMessageW(GetDlgItem(settings, kAutoRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(GetDlgItem(settings, kAutoRadio), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(GetDlgItem(settings, kManualRadio), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(GetDlgItem(settings, kEncodingCombo), CB_SETCURSEL, 3, 0);
  PostClick(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));
  EXPECT_EQ(Value(CFGKEY_ENCODING_MODE), 1);
  EXPECT_EQ(Value(CFGKEY_ENCODING_INDEX), 3);

  Source(L"gb.txt", SampleBytes(L"textio_zh_hans.gb18030"));
  Source(L"b.txt", kAscii);
  HWND page = OpenFilePage(false);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"gb.txt", L"b.txt"}, 2));
  RemoteList list(ListOf(page), program.id());
  EXPECT_EQ(list.Column(2), (std::vector<std::wstring>(2, L"UTF-8")));
}

TEST_F(ProgramTest, StopAnsweredNoThenYesDuringALargeFile) {
  std::string big;
  const std::string line =
      Utf8(L"这是一个很大的文件，用来在转换当中按下停止按钮。头发后来长得很快。\r\n");
  while (big.size() < 320u * 1024 * 1024) big += line;
  const std::string chinese = Utf8(L"简体中文的文件，头发后来长得很快。\r\n第二行\r\n");
  Source(L"0.txt", chinese);
  Source(L"1.txt", kAscii);
  Source(L"2.txt", big);
  Source(L"3.txt", kAscii);
  Source(L"4.txt", kAscii);
  const size_t bigSize = big.size();
  big.clear();
  big.shrink_to_fit();
  // Manual UTF-8: no detection pass over the large file.
  SetValue(CFGKEY_ENCODING_MODE, 1);
  SetValue(CFGKEY_ENCODING_INDEX, 3);
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(
      AddFiles(page, srcDir, {L"0.txt", L"1.txt", L"2.txt", L"3.txt", L"4.txt"}, 5));
  RemoteList list(ListOf(page), program.id());

  PostClick(page, kStart);
  HWND progress = WaitForProgress();
  ASSERT_NE(progress, nullptr);
  // Stop, answered No: the job goes on into the large file.
  PostClick(progress, kStop);
  std::wstring text;
  HWND confirm = WaitForBox(program.id(), &text);
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(text, L"您确定要终止转换?");
  ASSERT_TRUE(AnswerBox(confirm, IDNO));
  ASSERT_TRUE(WaitFor([&] { return list.Cell(2, 3) == L"正在处理"; }, 120000))
      << "the job did not go on after No";
  // Stop again, answered Yes while the large file is in hand.
  PostClick(progress, kStop);
  confirm = WaitForBox(program.id(), &text);
  ASSERT_NE(confirm, nullptr);
  EXPECT_EQ(text, L"您确定要终止转换?");
  ASSERT_TRUE(AnswerBox(confirm, IDYES));
  HWND question = WaitForBox(program.id(), &text, 120000);
  ASSERT_NE(question, nullptr) << "no completion question after the stop";
  EXPECT_EQ(text, kDoneQuestion);
  EXPECT_EQ(list.Column(3), (std::vector<std::wstring>{L"处理完成", L"处理完成", L"处理终止",
                                                       L"待处理", L"待处理"}));
  ASSERT_TRUE(AnswerBox(question, IDNO));

  // The files before it, byte for byte; the large one up to a line end and
  // a prefix of its whole result (every line of it is the same); none after.
  EXPECT_EQ(Output(L"0.txt"), EngineConvert(chinese, Sim2Tra));
  EXPECT_EQ(Output(L"1.txt"), EngineConvert(kAscii, Sim2Tra));
  const std::string converted = EngineConvert(line, Sim2Tra);
  const std::string partial = Output(L"2.txt");
  ASSERT_FALSE(partial.empty()) << "the line in hand is finished";
  EXPECT_LT(partial.size(), bigSize / line.size() * converted.size()) << "the stop came late";
  ASSERT_EQ(partial.size() % converted.size(), 0u) << "not whole lines";
  for (size_t at = 0; at < partial.size(); at += converted.size()) {
    ASSERT_EQ(partial.compare(at, converted.size(), converted), 0) << "at byte " << at;
  }
  EXPECT_TRUE(Output(L"3.txt").empty());
}

TEST_F(ProgramTest, AnUnwritableOutputFolderSaysSoAndOffersNoFolder) {
  Source(L"a.txt", kAscii);
  ASSERT_GT(store->WriteString(CFGKEY_OUTPUT_DIR, (work / L"不存在\\更深").c_str()), 0);
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"a.txt"}, 1));
  PostClick(page, kStart);
  std::wstring text;
  HWND box = WaitForBox(program.id(), &text, 120000);
  ASSERT_NE(box, nullptr) << "no word at the end";
  EXPECT_NE(text.find(L"没有文件转换成功"), std::wstring::npos) << Utf8(text);
  ASSERT_TRUE(AnswerBox(box, IDOK));
  RemoteList list(ListOf(page), program.id());
  EXPECT_EQ(list.Cell(0, 3), L"无法写入");
}

// The output options, set in the settings dialog as a user sets them.
void ChooseOutput(HWND settings, int encoding, int place, int existing, bool names) {
  SendMessageW(GetDlgItem(settings, kOutputEncodingCombo), CB_SETCURSEL, encoding, 0);
  SendMessageW(GetDlgItem(settings, kPlaceCombo), CB_SETCURSEL, place, 0);
  SendMessageW(GetDlgItem(settings, kExistingCombo), CB_SETCURSEL, existing, 0);
  SendMessageW(GetDlgItem(settings, kConvertNamesCheck), BM_SETCHECK,
               names ? BST_CHECKED : BST_UNCHECKED, 0);
}

const std::string kSubtitle =
    "\xEF\xBB\xBF" + Utf8(L"1\r\n00:00:01,000 --> 00:00:03,500\r\n这个软件把简体转换成繁体\r\n\r\n"
                          L"2\r\n00:00:04,000 --> 00:00:06,250\r\n她的头发后来长得很快\r\n");

TEST_F(ProgramTest, BesideTheSourceInUtf16WithConvertedNamesReplacingTheOldOutput) {
  const std::wstring source = Source(L"简体说明.srt", kSubtitle);
  const std::wstring output = srcDir + L"\\簡體說明(繁體).srt";
  WriteFileBytes(output, "an older output\r\n");
  PostClick(main, kSettingButton);
  HWND settings = WaitForDialog(L"设置");
  ASSERT_NE(settings, nullptr) << "no settings dialog";
  EXPECT_EQ(SendMessageW(GetDlgItem(settings, kOutputEncodingCombo), CB_GETCURSEL, 0, 0), 0);
  ChooseOutput(settings, 2 /* UTF-16 LE */, 1 /* beside the source */, 1 /* replace */, true);
  PostClick(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));

  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"简体说明.srt"}, 1));
  StartAndAnswer(page, IDNO);
  RemoteList list(ListOf(page), program.id());
  EXPECT_EQ(list.Cell(0, 3), L"处理完成");
  // The source's mark becomes the UTF-16 mark; nothing else is added.
  const std::wstring converted = Wide(EngineConvert(kSubtitle, Sim2Tra));
  ASSERT_EQ(converted[0], 0xFEFF);
  EXPECT_EQ(ReadFileBytes(output),
            std::string(reinterpret_cast<const char*>(converted.data()), converted.size() * 2));
  EXPECT_EQ(ReadFileBytes(source), kSubtitle);
  EXPECT_TRUE(Output(L"简体说明.srt").empty());
}

TEST_F(ProgramTest, Big5KeepsBothAndAFileBig5CannotHoldFailsSayingWhichCharactersAndLines) {
  const std::string fits = Utf8(L"这个软件把简体中文转换成繁体中文。\r\n干部们在里面讨论经济发展\r\n");
  const std::string lacks = Utf8(L"第一行没有问题\r\n表情😀不在大五码里\r\n");
  Source(L"能.txt", fits);
  Source(L"不能.txt", lacks);
  WriteFileBytes(outDir + L"\\能.txt", "kept\r\n");
  PostClick(main, kSettingButton);
  HWND settings = WaitForDialog(L"设置");
  ASSERT_NE(settings, nullptr) << "no settings dialog";
  ChooseOutput(settings, 4 /* Big5 */, 0 /* output folder */, 2 /* keep both */, false);
  PostClick(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));

  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"能.txt", L"不能.txt"}, 2));
  PostClick(page, kStart);
  std::wstring text;
  HWND box = WaitForBox(program.id(), &text, 120000);
  ASSERT_NE(box, nullptr) << "no word about the failed file";
  EXPECT_NE(text.find(L"不能.txt: 所选的输出编码无法表示 “😀” (第 2 行)"), std::wstring::npos)
      << Utf8(text);
  ASSERT_TRUE(AnswerBox(box, IDOK));
  box = WaitForBox(program.id(), &text, 60000);
  ASSERT_NE(box, nullptr) << "no completion question";
  EXPECT_EQ(text, kDoneQuestion);
  ASSERT_TRUE(AnswerBox(box, IDNO));
  RemoteList list(ListOf(page), program.id());
  EXPECT_EQ(list.Column(3), (std::vector<std::wstring>{L"处理完成", L"编码无法容纳"}));
  EXPECT_EQ(Output(L"能.txt"), "kept\r\n");
  EXPECT_EQ(Output(L"能 (2).txt"), Encode(Wide(EngineConvert(fits, Sim2Tra)), 950));
  EXPECT_EQ(GetFileAttributesW((outDir + L"\\不能.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A choice longer than the name buffer the page gives the file dialog
// (kAddFilesBufferUnits, 66816) comes in whole, every path as long as the
// queue takes.
TEST_F(ProgramTest, AChoiceLongerThanTheDialogsNameBufferIsAddedWhole) {
  const size_t length = 259 - srcDir.size() - 1;  // each full path: 259
  const size_t count = 66816 / (length + 1) + 8;
  std::vector<std::wstring> names;
  for (size_t i = 0; i < count; ++i) {
    // Latin letters: the host's file system takes 255 bytes a name.
    std::wstring name = std::to_wstring(1000 + i) + L"-";
    name += std::wstring(length - name.size() - 4, L'n') + L".txt";
    ASSERT_TRUE(WriteFileBytes(srcDir + L"\\" + name, "x\r\n"));
    names.push_back(name);
  }
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, names, static_cast<int>(count)));
  RemoteList list(ListOf(page), program.id());
  EXPECT_EQ(list.Cell(0, 0), names.front());
  EXPECT_EQ(list.Cell(static_cast<int>(count) - 1, 0), names.back());
  EXPECT_TRUE(program.Running());
}

TEST_F(ProgramTest, A271CharacterPathTypedIntoTheFileDialogLeavesTheProgramRunning) {
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  PostClick(page, kAdd);
  HWND dialog = WaitForFileDialog();
  ASSERT_NE(dialog, nullptr) << "no file dialog";
  // 271 characters, no extension: the dialog must neither overrun its own
  // buffers with the name nor add an extension past them.
  std::wstring path = srcDir + L"\\";
  path += std::wstring(271 - path.size(), L'n');
  ASSERT_EQ(path.size(), 271u);
  HWND edit = FileNameEdit(dialog);
  SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  // Open, sent: it returns once the dialog has handled it (or a box of its
  // own is up); a crash ends the process.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0, SMTO_ABORTIFHUNG,
                      10000, &ignored);
  EXPECT_EQ(WaitForSingleObject(program.handle(), 10000), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the program ended";
  ASSERT_TRUE(program.Running());
  for (HWND w : TopWindows(program.id(), L"#32770")) {
    if (w != dialog && FindDescendant(w, kFileNameBox) == nullptr) PostMessageW(w, WM_COMMAND, IDOK, 0);
  }
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 20000)) << "the file dialog stayed";
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(RemoteList(ListOf(page), program.id()).Rows(), 0);
}

TEST_F(ProgramTest, YesOnTheQuestionOpensTheOutputFolder) {
  Source(L"a.txt", kAscii);
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"a.txt"}, 1));
  StartAndAnswer(page, IDYES);
  const std::wstring leaf = outDir.substr(outDir.find_last_of(L'\\') + 1);
  HWND folder = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        folder = FindWindowW(L"ExplorerWClass", leaf.c_str());
        return folder != nullptr;
      },
      30000))
      << "no folder window titled " << Utf8(leaf);
  explorers.push_back(folder);
}

// ---- files read in the code page their detector named ----

TEST_F(ProgramTest, Big5AndGb18030FilesConvertAsTheirUtf8TextUnderThisSystem) {
  std::printf("[ system   ] ANSI code page %u\n", GetACP());
  Source(L"big5.txt", SampleBytes(L"textio_zh_hant.big5"));
  Source(L"gb.txt", SampleBytes(L"textio_zh_hans.gb18030"));

  HWND t2s = OpenFilePage(false);
  ASSERT_NE(t2s, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(t2s, srcDir, {L"big5.txt"}, 1));
  RemoteList list(ListOf(t2s), program.id());
  EXPECT_EQ(list.Cell(0, 2), L"BIG5");
  StartAndAnswer(t2s, IDNO);
  EXPECT_EQ(list.Cell(0, 3), L"处理完成");
  EXPECT_EQ(Output(L"big5.txt"), EngineConvert(SampleBytes(L"textio_zh_hant.txt"), Tra2Sim));

  PostClick(main, 1010);  // Back to the entrance
  HWND s2t = OpenFilePage(true);
  ASSERT_NE(s2t, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(s2t, srcDir, {L"gb.txt"}, 1));
  RemoteList list2(ListOf(s2t), program.id());
  EXPECT_EQ(list2.Cell(0, 2), L"GB18030");
  StartAndAnswer(s2t, IDNO);
  EXPECT_EQ(Output(L"gb.txt"), EngineConvert(SampleBytes(L"textio_zh_hans.txt"), Sim2Tra));
}

TEST_F(ProgramTest, JapaneseAndKoreanFilesPassThroughUnchanged) {
  const std::wstring japanese =
      L"これはテストです。ひらがなとカタカナだけで書いてあります。\r\n"
      L"もういちど、ひらがなとカタカナのぶんしょうをかきます。\r\n";
  const std::wstring korean =
      L"이것은 한국어 문장입니다. 변환기가 이 글을 바꾸지 않아야 합니다.\r\n"
      L"두 번째 줄도 그대로 남아야 합니다.\r\n";
  Source(L"sjis.txt", Encode(japanese, 932));
  Source(L"euckr.txt", Encode(korean, 949));
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"sjis.txt", L"euckr.txt"}, 2));
  RemoteList list(ListOf(page), program.id());
  std::printf("[ detected ] %s, %s\n", Utf8(list.Cell(0, 2)).c_str(),
              Utf8(list.Cell(1, 2)).c_str());
  StartAndAnswer(page, IDNO);
  EXPECT_EQ(Output(L"sjis.txt"), Utf8(japanese));
  EXPECT_EQ(Output(L"euckr.txt"), Utf8(korean));
}

TEST_F(ProgramTest, OkOnAnUnchangedChoiceKeepsTheBig5Reading) {
  const std::string big5 = SampleBytes(L"textio_zh_hant.big5");
  Source(L"big5.txt", big5);
  HWND page = OpenFilePage(false);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"big5.txt"}, 1));
  RemoteList list(ListOf(page), program.id());
  ASSERT_EQ(list.Cell(0, 2), L"BIG5");
  DoubleClickRow(page, 0);
  HWND editor = WaitForDialog(L"文件设置");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(SendMessageW(GetDlgItem(editor, kEncodingCombo), CB_GETCURSEL, 0, 0), 0);
  PostClick(editor, IDOK);  // "ANSI", as the row already reads
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor) || !IsWindowVisible(editor); }));
  EXPECT_EQ(list.Cell(0, 2), L"BIG5");
  StartAndAnswer(page, IDNO);
  // Read as Big5 under any system code page.
  EXPECT_EQ(Output(L"big5.txt"), EngineConvert(Utf8(Decode(big5, 950)), Tra2Sim));
}

}  // namespace
}  // namespace filepages_e2e

namespace filepages_e2e {
namespace {

// Not a test: holds each window of the file pages on screen and says so,
// for screenshots (tests/e2e/filepages_shoot.sh).
TEST_F(ProgramTest, DISABLED_Tour) {
  Source(L"带标记的文件.txt", kUtf8Marked);
  Source(L"b.txt", kAscii);
  Source(L"简体样本.txt", SampleBytes(L"textio_zh_hans.gb18030"));
  std::string big;
  const std::string line = Utf8(L"这是一个很大的文件，头发后来长得很快。\r\n");
  while (big.size() < 320u * 1024 * 1024) big += line;
  Source(L"大文件.txt", big);
  big.clear();
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(
      AddFiles(page, srcDir, {L"带标记的文件.txt", L"b.txt", L"简体样本.txt", L"大文件.txt"}, 4));
  ClickRow(page, 1);
  RemoteList list(ListOf(page), program.id());
  ASSERT_TRUE(WaitFor([&] { return list.Selected(1); }));
  HoldForShot("page", program.id());
  DoubleClickRow(page, 2);
  HWND editor = WaitForDialog(L"文件设置");
  ASSERT_NE(editor, nullptr);
  HoldForShot("encoding", program.id());
  PostClick(editor, IDCANCEL);
  ASSERT_TRUE(WaitGone(editor));
  PostClick(main, kSettingButton);
  HWND settings = WaitForDialog(L"设置");
  ASSERT_NE(settings, nullptr);
  HoldForShot("settings", program.id());
  PostClick(settings, IDCANCEL);
  ASSERT_TRUE(WaitGone(settings));
  PostClick(page, kStart);
  ASSERT_NE(WaitForProgress(), nullptr);
  HoldForShot("progress", program.id());
  std::wstring text;
  // The 320 MB file takes minutes on a loaded machine.
  HWND question = WaitForBox(program.id(), &text, 900000);
  ASSERT_NE(question, nullptr);
  HoldForShot("question", program.id());
  ASSERT_TRUE(AnswerBox(question, IDNO));
  HoldForShot("done", program.id());
}

// Not a test either: a page whose two files of one name met in one output
// folder, the second numbered, for a screenshot of its row.
TEST_F(ProgramTest, DISABLED_NumberedOutputTour) {
  CreateDirectoryW((srcDir + L"\\剧A").c_str(), nullptr);
  CreateDirectoryW((srcDir + L"\\剧B").c_str(), nullptr);
  WriteFileBytes(srcDir + L"\\剧A\\第01集.srt", Utf8(L"头发\r\n"));
  WriteFileBytes(srcDir + L"\\剧B\\第01集.srt", Utf8(L"软件\r\n"));
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir + L"\\剧A", {L"第01集.srt"}, 1));
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir + L"\\剧B", {L"第01集.srt"}, 2));
  RemoteList list(ListOf(page), program.id());
  PostClick(page, kStart);
  std::wstring text;
  HWND question = WaitForBox(program.id(), &text, 120000);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(AnswerBox(question, IDNO));
  ASSERT_TRUE(WaitFor([&] { return list.Cell(1, 3) == L"完成·已编号"; }, 20000));
  HoldForShot("numbered", program.id());
}

// Not a test either: the settings dialog's output options in each state,
// and a page whose files failed, for screenshots.
TEST_F(ProgramTest, DISABLED_OutputOptionsTour) {
  Source(L"能.txt", Utf8(L"这个软件把简体中文转换成繁体中文。\r\n"));
  Source(L"不能.txt", Utf8(L"表情😀不在大五码里\r\n"));
  PostClick(main, kSettingButton);
  HWND settings = WaitForDialog(L"设置");
  ASSERT_NE(settings, nullptr);
  HoldForShot("settings-default", program.id());
  HWND encoding = GetDlgItem(settings, kOutputEncodingCombo);
  SendMessageW(encoding, CB_SHOWDROPDOWN, TRUE, 0);
  HoldForShot("settings-encodings", program.id());
  SendMessageW(encoding, CB_SHOWDROPDOWN, FALSE, 0);
  SendMessageW(encoding, CB_SETCURSEL, 4, 0);
  HWND place = GetDlgItem(settings, kPlaceCombo);
  SendMessageW(place, CB_SETCURSEL, 1, 0);
  PostMessageW(settings, WM_COMMAND, MAKEWPARAM(kPlaceCombo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(place));
  SendMessageW(GetDlgItem(settings, kExistingCombo), CB_SETCURSEL, 2, 0);
  PostMessageW(GetDlgItem(settings, kConvertNamesCheck), BM_CLICK, 0, 0);
  PostMessageW(GetDlgItem(settings, kConvertNamesCheck + 1), BM_CLICK, 0, 0);
  HoldForShot("settings-chosen", program.id());
  HWND existing = GetDlgItem(settings, kExistingCombo);
  SendMessageW(existing, CB_SHOWDROPDOWN, TRUE, 0);
  HoldForShot("settings-existing", program.id());
  SendMessageW(existing, CB_SHOWDROPDOWN, FALSE, 0);
  PostClick(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));
  HWND page = OpenFilePage(true);
  ASSERT_NE(page, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddFiles(page, srcDir, {L"能.txt", L"不能.txt"}, 2));
  PostClick(page, kStart);
  std::wstring text;
  HWND box = WaitForBox(program.id(), &text, 120000);
  ASSERT_NE(box, nullptr);
  HoldForShot("failed-characters", program.id());
  AnswerBox(box, IDOK);
  box = WaitForBox(program.id(), &text, 60000);
  ASSERT_NE(box, nullptr);
  AnswerBox(box, IDNO);
  HoldForShot("failed-status", program.id());
}

}  // namespace
}  // namespace filepages_e2e
