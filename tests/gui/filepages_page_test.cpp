// A file page in-process: the queue as the file dialog fills it, detection
// and the manual mode, the refused long path, Remove, Clear, the double
// click into the encoding dialog, the job's messages on the list, and whole
// runs through the real job with the completion question.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <cderr.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fw/MessageBox.h"
#include "glyphmap/glyphmap.h"
#include "pages/FConvView.h"
#include "pages/FilePagesIds.h"
#include "pages/PageIds.h"
#include "tests/support/EngineConvert.h"
#include "tests/support/FilePageHarness.h"
#include "tests/support/TestText.h"
#include "tests/support/WindowPixels.h"
#include "textio/Charsets.h"

namespace {

using filepages_test::Click;
using filepages_test::RunModalWith;
using filepages_test::TestSettings;
using testing_support::ExeFolder;
using testing_support::PumpMessages;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::Utf8;
using testing_support::WriteFileBytes;

// The Simplified-files page with the file dialog, the encoding dialog and
// the shell answered by the test.
class TestPage : public CDlgFSim2Tra {
 public:
  explicit TestPage(fw::CWnd* parent) : CDlgFSim2Tra(parent) {}

  // What the file dialog "returns": a folder and names (several), or one
  // full path; empty: the dialog is cancelled.
  std::vector<std::wstring> chosen;
  DWORD dialogError = 0;  // the dialog's failure when nothing is chosen
  DWORD dialogFlags = 0;
  DWORD dialogUnits = 0;
  std::wstring dialogFilter;
  // Acts inside the real encoding dialog's modal loop.
  std::function<void(CDlgFileEditor&)> onEncodingDialog;
  int encodingPreselected = -2;
  std::vector<std::wstring> opened;
  // A job body in place of the file job, and the stop's grace period.
  std::function<DWORD(TestPage&)> job;
  DWORD graceMs = 10000;

  std::wstring Cell(int row, int col) const { return controls.list.GetItemText(row, col); }
  int Rows() const { return controls.list.GetItemCount(); }
  void Select(std::initializer_list<int> rows) {
    controls.list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int r : rows) controls.list.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
  }

 protected:
  INT_PTR RunFileDialog(fw::CFileDialog& dialog) override {
    dialogFlags = dialog.m_ofn.Flags;
    dialogUnits = dialog.m_ofn.nMaxFile;
    for (const wchar_t* p = dialog.m_ofn.lpstrFilter; p != nullptr && *p != L'\0';
         p += wcslen(p) + 1) {
      dialogFilter += std::wstring(p) + L"|";
    }
    if (chosen.empty()) {
      dialog.m_error = dialogError;  // 0: the user's Cancel
      return IDCANCEL;
    }
    // As the Explorer dialog fills the buffer: parts separated by NULs.
    wchar_t* out = dialog.m_ofn.lpstrFile;
    for (const std::wstring& part : chosen) {
      wmemcpy(out, part.c_str(), part.size() + 1);
      out += part.size() + 1;
    }
    *out = L'\0';
    return IDOK;
  }
  INT_PTR RunEncodingDialog(CDlgFileEditor& dialog) override {
    return RunModalWith([&] { return dialog.DoModalFor(nullptr); },
                        [&] {
                          encodingPreselected = dialog.encodingCombo.GetCurSel();
                          if (onEncodingDialog) onEncodingDialog(dialog);
                        });
  }
  void ShellOpen(const wchar_t* folder) override { opened.push_back(folder); }
  void ShellSelect(const wchar_t* file) override { opened.push_back(std::wstring(L"select ") + file); }
  DWORD StopGraceMs() const override { return graceMs; }

 public:
  // The job waits for this event (when set up) before it starts.
  HANDLE jobGate = nullptr;
  DWORD RunJob() override {
    if (jobGate != nullptr) WaitForSingleObject(jobGate, INFINITE);
    return job ? job(*this) : CDlgFSim2Tra::RunJob();
  }
};

class FilePage : public filepages_test::PageFixture<TestPage> {
 protected:
  FilePage() : PageFixture(L"源文件") {}

  // Adds files through the page's Add button.
  void AddThroughButton(const std::vector<std::wstring>& parts) {
    page.chosen = parts;
    Click(page.m_hWnd, IDC_FILE_ADD);
  }
  // Runs the queue through the real job until the completion question.
  void RunToQuestion() {
    const size_t before = boxes.size();
    Click(page.m_hWnd, IDC_FILE_START);
    const DWORD until = GetTickCount() + 60000;
    while (boxes.size() == before && GetTickCount() < until) PumpMessages(10);
    ASSERT_GT(boxes.size(), before) << "no completion question";
    while (page.WorkerRecorded() && GetTickCount() < until) PumpMessages(5);
  }
  std::string Output(const std::wstring& name) {
    return ReadFileBytes(settings.outDir + L"\\" + name);
  }
};

// The sample paragraph in GB18030, as the build placed it beside the test.
std::string Gb18030Sample() { return ReadFileBytes(ExeFolder() + L"\\textio_zh_hans.gb18030"); }

TEST_F(FilePage, ThreeChosenFilesComeInTheDialogsOrderWithSizesAndDetectedEncodings) {
  Write(L"a.txt", "\xEF\xBB\xBF" + Utf8(L"带标记的文本\r\n"));
  Write(L"b.txt", "plain seven bit text\r\n");
  ASSERT_FALSE(Gb18030Sample().empty());
  Write(L"c.txt", Gb18030Sample());
  AddThroughButton({src.path(), L"a.txt", L"b.txt", L"c.txt"});

  // The hook is the dialog's own: it makes room for a large choice.
  EXPECT_EQ(page.dialogFlags, kAddFilesFlags | OFN_EXPLORER | OFN_ENABLEHOOK);
  EXPECT_EQ(page.dialogUnits, kAddFilesBufferUnits);
  EXPECT_EQ(page.dialogFilter,
            L"文本与字幕文件|*.txt;*.text;*.log;*.htm;*.html;*.xhtml;*.xml;*.json;*.csv;*.tsv;"
            L"*.ini;*.md;*.srt;*.ass;*.ssa;*.vtt;*.lrc;*.sub|所有文件 (*.*)|*.*|");
  ASSERT_EQ(page.Rows(), 3);
  ASSERT_EQ(page.files.size(), 3u);
  const wchar_t* names[3] = {L"a.txt", L"b.txt", L"c.txt"};
  const wchar_t* encodings[3] = {L"UTF-8", L"ASCII", L"GB18030"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(page.Cell(i, FILECOL_NAME), names[i]);
    EXPECT_EQ(page.Cell(i, FILECOL_ENCODING), encodings[i]);
    EXPECT_EQ(page.Cell(i, FILECOL_STATUS), L"待处理");
    EXPECT_EQ(std::wstring(page.files[i].path), src / names[i]);
  }
  EXPECT_EQ(page.Cell(1, FILECOL_SIZE), L"22.00Bytes");
  EXPECT_EQ(page.files[0].encoding, EncUtf8);
  EXPECT_EQ(page.files[1].encoding, EncAnsi);
  EXPECT_EQ(page.files[1].codePage, 0u);  // ASCII keeps the system's
  EXPECT_EQ(page.files[2].encoding, EncAnsi);
  // GB18030's own code page, or GBK where the system lacks it.
  EXPECT_EQ(page.files[2].codePage, CodePageForCharset("GB18030"));
  EXPECT_NE(page.files[2].codePage, 0u);
  EXPECT_TRUE(boxes.empty());

  // A cancelled dialog adds nothing; the same file twice is queued twice.
  AddThroughButton({});
  EXPECT_EQ(page.Rows(), 3);
  AddThroughButton({src / L"b.txt"});
  EXPECT_EQ(page.Rows(), 4);
  EXPECT_EQ(page.Cell(3, FILECOL_NAME), L"b.txt");
}

TEST_F(FilePage, ManualModeTakesTheStoredChoiceWithoutDetection) {
  settings.SetValue(CFGKEY_ENCODING_MODE, 1);
  settings.SetValue(CFGKEY_ENCODING_INDEX, EncUtf16Be);
  const std::wstring gb = Write(L"gb.txt", Gb18030Sample());
  page.AddChosenFiles({gb});
  settings.SetValue(CFGKEY_ENCODING_INDEX, EncUtf8);
  page.AddChosenFiles({gb});
  settings.SetValue(CFGKEY_ENCODING_INDEX, 7);
  page.AddChosenFiles({src / L"缺失.txt"});
  ASSERT_EQ(page.Rows(), 3);
  EXPECT_EQ(page.Cell(0, FILECOL_ENCODING), L"Unicode big endian");
  EXPECT_EQ(page.files[0].encoding, EncUtf16Be);
  EXPECT_EQ(page.Cell(1, FILECOL_ENCODING), L"UTF-8");
  EXPECT_EQ(page.files[1].encoding, EncUtf8);
  EXPECT_EQ(page.files[1].codePage, 0u);
  // An index outside the list: no name, and a file that is not there has 0 bytes.
  EXPECT_EQ(page.Cell(2, FILECOL_ENCODING), L"");
  EXPECT_EQ(page.Cell(2, FILECOL_SIZE), L"0.00Bytes");
  EXPECT_EQ(page.files[2].encoding, 7);
}

TEST_F(FilePage, APathTooLongIsRefusedByNameAndTheOthersAreAdded) {
  const std::wstring first = Write(L"一.txt", "one\r\n");
  const std::wstring last = Write(L"二.txt", "two\r\n");
  const std::wstring tooLong = src.path() + L"\\" + std::wstring(260, L'长') + L".txt";
  const std::wstring justFits = L"C:\\" + std::wstring(256 - 4, L'x') + L".txt";
  ASSERT_EQ(justFits.size(), 259u);
  page.AddChosenFiles({first, tooLong, last, justFits});
  ASSERT_EQ(page.Rows(), 3);
  EXPECT_EQ(page.Cell(0, FILECOL_NAME), L"一.txt");
  EXPECT_EQ(page.Cell(1, FILECOL_NAME), L"二.txt");
  EXPECT_EQ(std::wstring(page.files[2].path), justFits);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(tooLong), std::wstring::npos);
  EXPECT_NE(boxes[0].text.find(L"259"), std::wstring::npos);
  EXPECT_EQ(boxes[0].text.find(first), std::wstring::npos);
}

TEST_F(FilePage, AChoiceTooLargeForTheDialogIsToldNotLostSilently) {
  AddThroughButton({});  // the user's Cancel: nothing to say
  EXPECT_TRUE(boxes.empty());
  page.dialogError = FNERR_BUFFERTOOSMALL;
  AddThroughButton({});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(L"文件太多"), std::wstring::npos) << Utf8(boxes[0].text);
  EXPECT_EQ(boxes[0].owner, host.m_hWnd);
  EXPECT_EQ(page.Rows(), 0);
}

TEST_F(FilePage, DeviceNamesAreRefusedByNameInOneMessage) {
  const std::wstring good = Write(L"好.txt", "ok\r\n");
  const std::wstring aux = src / L"aux.txt";
  const std::wstring nul = src / L"nul.txt";
  const std::wstring lpt = src / L"LPT1.log";
  page.AddChosenFiles({aux, good, nul, lpt});
  ASSERT_EQ(page.Rows(), 1);
  EXPECT_EQ(page.Cell(0, FILECOL_NAME), L"好.txt");
  ASSERT_EQ(boxes.size(), 1u);
  for (const std::wstring& device : {aux, nul, lpt}) {
    EXPECT_NE(boxes[0].text.find(device), std::wstring::npos) << Utf8(device);
  }
  EXPECT_NE(boxes[0].text.find(L"设备"), std::wstring::npos);
  EXPECT_EQ(boxes[0].text.find(good), std::wstring::npos);
}

TEST_F(FilePage, RemoveTakesOnlyTheFirstSelectedRowAndClearEmptiesTheQueue) {
  for (const wchar_t* n : {L"0.txt", L"1.txt", L"2.txt", L"3.txt"}) {
    page.AddChosenFiles({Write(n, "x\r\n")});
  }
  Click(page.m_hWnd, IDC_FILE_REMOVE);  // nothing selected
  EXPECT_EQ(page.Rows(), 4);
  page.Select({1, 3});
  Click(page.m_hWnd, IDC_FILE_REMOVE);
  ASSERT_EQ(page.Rows(), 3);
  ASSERT_EQ(page.files.size(), 3u);
  const wchar_t* left[3] = {L"0.txt", L"2.txt", L"3.txt"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(page.Cell(i, FILECOL_NAME), left[i]);
    EXPECT_EQ(std::wstring(page.files[i].name), left[i]);
  }
  Click(page.m_hWnd, IDC_FILE_CLEAR);
  EXPECT_EQ(page.Rows(), 0);
  EXPECT_TRUE(page.files.empty());
}

TEST_F(FilePage, ControlClickAddsARowToTheSelection) {
  for (const wchar_t* n : {L"0.txt", L"1.txt", L"2.txt"}) page.AddChosenFiles({Write(n, "x\r\n")});
  RECT r0{}, r2{};
  page.controls.list.GetItemRect(0, &r0, LVIR_BOUNDS);
  page.controls.list.GetItemRect(2, &r2, LVIR_BOUNDS);
  HWND list = page.controls.list.m_hWnd;
  SendMessageW(list, WM_LBUTTONDOWN, 0, MAKELPARAM(40, (r2.top + r2.bottom) / 2));
  SendMessageW(list, WM_LBUTTONDOWN, MK_CONTROL, MAKELPARAM(40, (r0.top + r0.bottom) / 2));
  EXPECT_EQ(ListView_GetSelectedCount(list), 2u);
  Click(page.m_hWnd, IDC_FILE_REMOVE);
  ASSERT_EQ(page.Rows(), 2);
  EXPECT_EQ(page.Cell(0, FILECOL_NAME), L"1.txt");
}

TEST_F(FilePage, DoubleClickOnARowOpensTheEncodingDialogOnIt) {
  page.AddChosenFiles({Write(L"gb.txt", Gb18030Sample())});
  page.AddChosenFiles({Write(L"u.txt",
                             "\xEF\xBB\xBF"
                             "abc\r\n")});
  ASSERT_EQ(page.Cell(0, FILECOL_ENCODING), L"GB18030");
  ASSERT_NE(page.files[0].codePage, 0u);
  RECT r{};
  page.controls.list.GetItemRect(0, &r, LVIR_BOUNDS);
  const LPARAM at = MAKELPARAM(40, (r.top + r.bottom) / 2);
  HWND list = page.controls.list.m_hWnd;

  // Cancel leaves the row as it was.
  page.onEncodingDialog = [](CDlgFileEditor& d) {
    d.encodingCombo.SetCurSel(EncUtf8);
    Click(d.m_hWnd, IDCANCEL);
  };
  SendMessageW(list, WM_LBUTTONDOWN, 0, at);
  SendMessageW(list, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_EQ(page.encodingPreselected, EncAnsi);  // "GB18030" is read as ANSI
  EXPECT_EQ(page.Cell(0, FILECOL_ENCODING), L"GB18030");
  EXPECT_EQ(page.files[0].encoding, EncAnsi);
  EXPECT_NE(page.files[0].codePage, 0u);

  // OK without a change keeps the row's reading: still the detected code page.
  const UINT detected = page.files[0].codePage;
  page.onEncodingDialog = [](CDlgFileEditor& d) { Click(d.m_hWnd, IDOK); };
  SendMessageW(list, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_EQ(page.Cell(0, FILECOL_ENCODING), L"GB18030");
  EXPECT_EQ(page.files[0].encoding, EncAnsi);
  EXPECT_EQ(page.files[0].codePage, detected);

  // OK with "UTF-8": the entry and its row change; no other row does.
  page.onEncodingDialog = [](CDlgFileEditor& d) {
    d.encodingCombo.SetCurSel(EncUtf8);
    Click(d.m_hWnd, IDOK);
  };
  SendMessageW(list, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_EQ(page.Cell(0, FILECOL_ENCODING), L"UTF-8");
  EXPECT_EQ(page.files[0].encoding, EncUtf8);
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"待处理");
  EXPECT_EQ(page.Cell(1, FILECOL_ENCODING), L"UTF-8");

  // OK with "ANSI" by hand: the system's code page, not the detected one.
  page.onEncodingDialog = [](CDlgFileEditor& d) {
    d.encodingCombo.SetCurSel(EncAnsi);
    Click(d.m_hWnd, IDOK);
  };
  SendMessageW(list, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_EQ(page.encodingPreselected, EncUtf8);
  EXPECT_EQ(page.Cell(0, FILECOL_ENCODING), L"ANSI");
  EXPECT_EQ(page.files[0].encoding, EncAnsi);
  EXPECT_EQ(page.files[0].codePage, 0u);
}

TEST_F(FilePage, JobMessagesSetTheStatusColumn) {
  for (const wchar_t* n : {L"0.txt", L"1.txt", L"2.txt", L"3.txt", L"4.txt"}) {
    page.AddChosenFiles({Write(n, "x\r\n")});
  }
  page.OnJobMessage(CONV_BEGIN, 1000);
  page.OnJobMessage(CONV_FILE_BEGIN, 0);
  page.OnJobMessage(CONV_FILE_DONE, 0);
  page.OnJobMessage(CONV_FILE_BEGIN, 1);
  page.OnJobMessage(CONV_FILE_FAILED, 1);
  page.OnJobMessage(CONV_FILE_BEGIN, 2);
  EXPECT_EQ(page.Cell(2, FILECOL_STATUS), L"正在处理");
  page.OnJobMessage(CONV_FILE_STOPPED, 2);
  page.OnJobMessage(CONV_FILE_DONE, 99);  // no such row: ignored
  page.OnJobMessage(42, 0);
  const wchar_t* expected[5] = {L"处理完成", L"未知错误", L"处理终止", L"待处理", L"待处理"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(page.Cell(i, FILECOL_STATUS), expected[i]) << i;
  EXPECT_TRUE(boxes.empty());

  // A new run starts every row over.
  page.OnJobMessage(CONV_BEGIN, 1000);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(page.Cell(i, FILECOL_STATUS), L"待处理") << i;

  answer = IDNO;
  page.OnJobMessage(CONV_END, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"处理完成,您是否要打开存储文件夹?");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(page.opened.empty());
  answer = IDYES;
  page.OnJobMessage(CONV_END, 0);
  ASSERT_EQ(page.opened.size(), 1u);
  EXPECT_EQ(page.opened[0], settings.outDir);
}

// A folder of `count` small files named 1.txt, 2.txt, ...
void MakeNumberedFiles(const std::wstring& folder, int count) {
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  for (int i = 1; i <= count; ++i) {
    ASSERT_TRUE(WriteFileBytes(folder + L"\\" + std::to_wstring(i) + L".txt", "简体\r\n"));
  }
}

// A dropped folder is walked and its files detected on a worker: the call
// returns at once with the line beside Start saying files are coming, rows
// arrive in the Explorer's order, and the line shows the standard again.
TEST_F(FilePage, ADroppedFolderIsQueuedOnAWorkerWithAProgressLine) {
  constexpr int kFiles = 300;
  const std::wstring folder = src / L"许多";
  ASSERT_NO_FATAL_FAILURE(MakeNumberedFiles(folder, kFiles));
  const auto label = [&] { return page.standardLabel.GetWindowText(); };
  const std::wstring standard = label();
  page.QueueDropped({folder});
  EXPECT_EQ(label().rfind(L"正在加入文件", 0), 0u) << label();
  const DWORD until = GetTickCount() + 60000;
  while ((page.Queueing() || page.Rows() < kFiles) && GetTickCount() < until) PumpMessages(10);
  ASSERT_EQ(page.Rows(), kFiles);
  EXPECT_FALSE(page.Queueing());
  EXPECT_EQ(page.Cell(0, FILECOL_NAME), L"1.txt");
  EXPECT_EQ(page.Cell(kFiles - 1, FILECOL_NAME), std::to_wstring(kFiles) + L".txt");
  EXPECT_EQ(page.files.size(), static_cast<size_t>(kFiles));
  EXPECT_EQ(label(), standard);
  EXPECT_TRUE(boxes.empty());
}

// Counts what a list view is told a row at a time, and its row counts.
struct RowMessages {
  int oneByOne = 0;
  int counts = 0;
  static LRESULT CALLBACK Count(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* seen = reinterpret_cast<RowMessages*>(self);
    switch (msg) {
      case LVM_INSERTITEMW: case LVM_INSERTITEMA: case LVM_SETITEMW: case LVM_SETITEMA:
      case LVM_SETITEMTEXTW: case LVM_SETITEMTEXTA: ++seen->oneByOne; break;
      case LVM_SETITEMCOUNT: ++seen->counts; break;
      default: break;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
  }
};

// Wine spends tens of milliseconds on each row a list view is given when the
// machine is busy: thousands of files join the list as changes of its row
// count, never a row at a time, and every one is a row with its cells.
TEST_F(FilePage, TwoThousandDroppedFilesJoinTheListAsRowCountsNotRowByRow) {
  constexpr int kFiles = 2000;
  const std::wstring folder = src / L"两千";
  ASSERT_NO_FATAL_FAILURE(MakeNumberedFiles(folder, kFiles));
  HWND list = page.controls.list.m_hWnd;
  RowMessages seen;
  ASSERT_TRUE(SetWindowSubclass(list, &RowMessages::Count, 1, reinterpret_cast<DWORD_PTR>(&seen)));
  page.QueueDropped({folder});
  const DWORD until = GetTickCount() + 300000;
  while ((page.Queueing() || page.Rows() < kFiles) && GetTickCount() < until) PumpMessages(10);
  RemoveWindowSubclass(list, &RowMessages::Count, 1);
  ASSERT_EQ(page.Rows(), kFiles);
  EXPECT_EQ(seen.oneByOne, 0);
  EXPECT_GE(seen.counts, 1);
  EXPECT_EQ(page.Cell(0, FILECOL_NAME), L"1.txt");
  EXPECT_EQ(page.Cell(kFiles - 1, FILECOL_NAME), L"2000.txt");
  EXPECT_EQ(page.Cell(kFiles - 1, FILECOL_SIZE), page.Cell(0, FILECOL_SIZE));
  EXPECT_EQ(page.Cell(kFiles - 1, FILECOL_ENCODING), L"UTF-8");
  EXPECT_EQ(page.Cell(kFiles / 2, FILECOL_STATUS), L"待处理");
}

// A file read with replacements says so on its row, beside 处理完成; a
// failure's reason reaches the row the job names.
TEST_F(FilePage, ReplacementsAndReasonsReachTheirRows) {
  page.AddChosenFiles({Write(L"0.txt", "x\r\n")});
  page.OnJobMessage(CONV_BEGIN, 1000);
  page.OnJobMessage(CONV_FILE_BEGIN, 0);
  page.OnJobMessage(ConvCode(CONV_FILE_REPLACED, 3), 0);
  page.OnJobMessage(CONV_FILE_DONE, 0);
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"处理完成 (含 3 处无效字节)");

  // The reason names its row in full (lParam), whatever the row.
  page.AddChosenFiles({Write(L"1.txt", "x\r\n")});
  page.OnJobMessage(CONV_FILE_BEGIN, 1);
  page.OnJobMessage(ConvCode(CONV_FILE_REASON, CONV_REASON_NOT_TEXT), 1);
  page.OnJobMessage(CONV_FILE_FAILED, 1);
  EXPECT_EQ(page.Cell(1, FILECOL_STATUS), L"不是文本文件");
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"处理完成 (含 3 处无效字节)");
}

TEST_F(FilePage, AJobEndedByTerminationShowsTheFileInHandStoppedAndAsksNothing) {
  for (const wchar_t* n : {L"0.txt", L"1.txt", L"2.txt"}) page.AddChosenFiles({Write(n, "x\r\n")});
  HANDLE inHand = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  page.graceMs = 0;
  // File 0 done, file 1 begun, then the job no longer answers.
  page.job = [inHand](TestPage& p) -> DWORD {
    p.PostJobMessage(CONV_BEGIN, 1000);
    p.PostJobMessage(CONV_FILE_BEGIN, 0);
    p.PostJobMessage(CONV_FILE_DONE, 0);
    p.PostJobMessage(CONV_FILE_BEGIN, 1);
    SetEvent(inHand);
    Sleep(INFINITE);
    return 0;
  };
  Click(page.m_hWnd, IDC_FILE_START);
  ASSERT_EQ(WaitForSingleObject(inHand, 60000), WAIT_OBJECT_0);
  answer = IDYES;
  Click(page.progress.m_hWnd, IDC_STOP_BTN);
  ASSERT_TRUE(page.LastJobTerminated());
  PumpMessages(50);
  EXPECT_EQ(page.progress.m_hWnd, nullptr);
  const wchar_t* expected[3] = {L"处理完成", L"处理终止", L"待处理"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(page.Cell(i, FILECOL_STATUS), expected[i]) << i;
  ASSERT_EQ(boxes.size(), 1u) << "only Stop's own question";
  EXPECT_EQ(boxes[0].text, L"您确定要终止转换?");
  CloseHandle(inHand);
}

// Settings another program holds when Start is pressed are waited for once
// (not once for each setting the run needs, which froze the window for
// many seconds), then said, and no run starts on stand-in defaults.
TEST_F(FilePage, SettingsHeldAtStartAreWaitedForOnceAndToldAndNothingRuns) {
  page.AddChosenFiles({Write(L"a.txt", "x\r\n")});
  int waits = 0;
  settings.store->SetRetryWait([&waits](DWORD) { ++waits; });
  HANDLE held = CreateFileW(settings.store->Path(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Click(page.m_hWnd, IDC_FILE_START);
  PumpMessages(50);
  CloseHandle(held);
  EXPECT_EQ(waits, CfgStore::kOpenAttempts - 1) << "one wait for the whole run's settings";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(L"无法读取设置文件, 转换没有开始"), std::wstring::npos)
      << Utf8(boxes[0].text);
  EXPECT_EQ(page.progress.m_hWnd, nullptr);
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"待处理");
}

TEST_F(FilePage, AJobsProblemIsShownOnThePagesThreadOverTheMainWindow) {
  page.AddChosenFiles({Write(L"a.txt", "x\r\n")});
  DWORD boxThread = 0;
  HWND boxOwner = nullptr;
  fw::ScopedMessageBoxHook watch([&](const fw::MessageBoxCall& call) {
    if (boxThread == 0) {
      boxThread = GetCurrentThreadId();
      boxOwner = call.owner;
    }
    boxes.push_back(call);
    return (call.type & MB_YESNO) != 0 ? IDNO : IDOK;
  });
  page.job = [](TestPage& p) -> DWORD {
    p.PostJobMessage(CONV_BEGIN, 1000);
    p.ReportProblem("\xE6\x97\xA0\xE6\xB3\x95\xE6\x89\x93\xE5\xBC\x80 STPhrases.txt");
    p.PostJobMessage(CONV_END, 0);
    return 0;
  };
  RunToQuestion();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, L"无法打开 STPhrases.txt");
  EXPECT_EQ(boxThread, GetCurrentThreadId());
  EXPECT_EQ(boxOwner, host.m_hWnd) << "owned by the page's top window";
  EXPECT_EQ(boxes[1].text, L"处理完成,您是否要打开存储文件夹?");
}

TEST_F(FilePage, DestroyingThePageStopsItsJobFirst) {
  HANDLE running = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool sawStop = false;
  page.job = [&](TestPage& p) -> DWORD {
    SetEvent(running);
    while (!p.StopRequested()) Sleep(5);
    sawStop = true;
    return 0;
  };
  Click(page.m_hWnd, IDC_FILE_START);
  ASSERT_EQ(WaitForSingleObject(running, 60000), WAIT_OBJECT_0);
  page.DestroyWindow();
  EXPECT_FALSE(page.WorkerRecorded()) << "the job outlived its page's window";
  EXPECT_TRUE(sawStop);
  EXPECT_FALSE(page.LastJobTerminated());
  CloseHandle(running);
}

TEST_F(FilePage, StartConvertsTheQueueIntoTheOutputFolder) {
  const std::string simplified = ReadFileBytes(ExeFolder() + L"\\textio_zh_hans.txt");
  ASSERT_FALSE(simplified.empty());
  page.AddChosenFiles({Write(L"简体.txt", simplified)});
  page.AddChosenFiles({Write(L"gb.txt", Gb18030Sample())});
  answer = IDYES;
  RunToQuestion();
  EXPECT_EQ(boxes.back().text, L"处理完成,您是否要打开存储文件夹?");
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"处理完成");
  EXPECT_EQ(page.Cell(1, FILECOL_STATUS), L"处理完成");
  EXPECT_FALSE(page.progress.m_hWnd != nullptr && page.progress.IsWindowVisible());
  EXPECT_TRUE(IsWindowEnabled(page.m_hWnd));
  ASSERT_EQ(page.opened.size(), 1u);

  const std::string expected = testing_support::EngineConvert(simplified, Sim2Tra);
  EXPECT_EQ(Output(L"简体.txt"), expected);
  // The GB18030 file was read in its own code page: its output is the
  // same as that of the UTF-8 text.
  EXPECT_EQ(Output(L"gb.txt"), expected);
}

TEST_F(FilePage, TheStandardAndTheWordListApplyToFiles) {
  const std::string text = "这个软件的鼠标和信息\r\n头发\r\n";
  const std::wstring list = settings.dir / L"Words-Sim2Tra.txt";
  WriteFileBytes(list, "头发\t頭髮絲\n");
  settings.SetValue(CFGKEY_STANDARD, 2);
  // What the settings dialog's OK tells the pages.
  SendMessageW(page.m_hWnd, StandardChangedMessage(), 0, 0);
  page.AddChosenFiles({Write(L"词汇.txt", text)});
  answer = IDNO;
  RunToQuestion();
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"处理完成");
  EXPECT_EQ(Output(L"词汇.txt"), "這個軟體的滑鼠和資訊\r\n頭髮絲\r\n");
  wchar_t label[64] = {};
  GetWindowTextW(page.standardLabel.m_hWnd, label, 64);
  EXPECT_STREQ(label, L"繁体标准：台湾正体·常用词汇");
}

TEST_F(FilePage, WhenEveryFileFailsTheRunSaysSoAndDoesNotOfferTheFolder) {
  page.AddChosenFiles({Write(L"a.txt", "abc\r\n")});
  page.AddChosenFiles({Write(L"b.txt", "def\r\n")});
  settings.store->WriteString(CFGKEY_OUTPUT_DIR, (src / L"没有这个文件夹\\更深").c_str());
  answer = IDYES;
  RunToQuestion();
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"无法写入");
  EXPECT_EQ(page.Cell(1, FILECOL_STATUS), L"无法写入");
  EXPECT_EQ(boxes.back().type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_NE(boxes.back().text.find(L"没有文件转换成功"), std::wstring::npos);
  EXPECT_TRUE(page.opened.empty());
}

TEST_F(FilePage, OneConvertedFileAmongFailedOnesStillOffersTheFolder) {
  page.AddChosenFiles({Write(L"a.txt", "abc\r\n")});
  page.AddChosenFiles({src / L"不存在.txt"});
  RunToQuestion();
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"处理完成");
  EXPECT_EQ(page.Cell(1, FILECOL_STATUS), L"无法读取");
  EXPECT_EQ(boxes.back().text, L"处理完成,您是否要打开存储文件夹?");
}

TEST_F(FilePage, ClearingTheListWhileARunWaitsLeavesTheRunItsQueue) {
  page.AddChosenFiles({Write(L"一.txt", "abc\r\n")});
  page.AddChosenFiles({Write(L"二.txt", "def\r\n")});
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  page.jobGate = gate;
  const size_t before = boxes.size();
  Click(page.m_hWnd, IDC_FILE_START);
  // The job has been started and waits: the list is emptied under it.
  Click(page.m_hWnd, IDC_FILE_CLEAR);
  EXPECT_EQ(page.Rows(), 0);
  SetEvent(gate);
  const DWORD until = GetTickCount() + 60000;
  while (boxes.size() == before && GetTickCount() < until) PumpMessages(10);
  while (page.WorkerRecorded() && GetTickCount() < until) PumpMessages(5);
  CloseHandle(gate);
  page.jobGate = nullptr;
  EXPECT_EQ(Output(L"一.txt"), "abc\r\n");
  EXPECT_EQ(Output(L"二.txt"), "def\r\n");
}

TEST_F(FilePage, ARunStoppedBeforeAnyFileWasDoneAndThatKeptNothingAsksNothing) {
  page.AddChosenFiles({Write(L"a.txt", "abc\r\n")});
  page.OnJobMessage(CONV_BEGIN, 1000);
  page.OnJobMessage(CONV_FILE_BEGIN, 0);
  page.OnJobMessage(CONV_FILE_STOPPED, 0);  // a replacement cut short: the old output stays
  page.OnJobMessage(CONV_END, 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(page.Cell(0, FILECOL_STATUS), L"处理终止");
}

TEST_F(FilePage, TheFolderOfferedIsTheOneTheRunWroteTo) {
  settings.SetValue(CFGKEY_OUTPUT_PLACE, OUTPLACE_BESIDE_SOURCE);
  page.AddChosenFiles({Write(L"旁边.txt", "abc\r\n")});
  answer = IDYES;
  RunToQuestion();
  ASSERT_EQ(page.opened.size(), 1u);
  EXPECT_EQ(page.opened[0], src.path());
  EXPECT_EQ(ReadFileBytes(src / L"旁边(繁體).txt"), "abc\r\n");

  // Outputs in two folders: the first one's, with its file selected.
  const std::wstring other = src / L"另一处";
  CreateDirectoryW(other.c_str(), nullptr);
  WriteFileBytes(other + L"\\二.txt", "def\r\n");
  page.AddChosenFiles({other + L"\\二.txt"});
  RunToQuestion();
  ASSERT_EQ(page.opened.size(), 2u);
  EXPECT_EQ(page.opened[1], L"select " + (src / L"旁边(繁體).txt"));
}

TEST_F(FilePage, StartWithAnEmptyQueueStillAsks) {
  RunToQuestion();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(page.opened.empty());
}

TEST_F(FilePage, ColumnsAndLayoutAreThePages) {
  HWND header = ListView_GetHeader(page.controls.list.m_hWnd);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(Header_GetItemCount(header), 4);
  const wchar_t* titles[4] = {L"文件名", L"文件大小", L"编码", L"状态"};
  const int widths[4] = {270, 80, 130, 250};
  for (int i = 0; i < 4; ++i) {
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(header, i, &item);
    EXPECT_EQ(std::wstring(text), titles[i]);
    EXPECT_EQ(item.cxy, widths[i]);
  }
  const int ids[5] = {IDC_FILE_ADD, IDC_FILE_REMOVE, IDC_FILE_CLEAR, IDC_FILE_OPENFOLDER,
                      IDC_FILE_START};
  for (int i = 0; i < 5; ++i) {
    RECT r{};
    GetWindowRect(GetDlgItem(page.m_hWnd, ids[i]), &r);
    POINT at{r.left, r.top};
    ScreenToClient(page.m_hWnd, &at);
    EXPECT_EQ(at.x, 218 + 110 * i) << ids[i];
    EXPECT_EQ(at.y, 400) << ids[i];
    EXPECT_EQ(r.right - r.left, 100) << ids[i];
  }
}

}  // namespace

namespace {

TEST_F(FilePage, CellsAreDrawnWithTheirColumnsAlignment) {
  page.AddChosenFiles({Write(L"一个名字比较长的文件.txt", "x\r\n")});
  vek_SkinList& list = page.controls.list;
  // The leftmost painted pixel of a cell, relative to the cell's left edge.
  auto firstInk = [&](const testing_support::WindowPixels& shot, int column) {
    RECT cell{};
    if (column == 0) {
      list.GetItemRect(0, &cell, LVIR_LABEL);
    } else {
      list.GetSubItemRect(0, column, LVIR_LABEL, &cell);
    }
    for (int x = cell.left; x < cell.right; ++x) {
      for (int y = cell.top; y < cell.bottom; ++y) {
        if (shot.at(x, y) != list.backColor) return x - static_cast<int>(cell.left);
      }
    }
    return -1;
  };
  testing_support::WindowPixels shot(list.m_hWnd);
  const int name = firstInk(shot, FILECOL_NAME);
  const int size = firstInk(shot, FILECOL_SIZE);
  const int status = firstInk(shot, FILECOL_STATUS);
  ASSERT_GE(name, 0);
  ASSERT_GE(size, 0);
  ASSERT_GE(status, 0);
  EXPECT_LE(name, 6);     // left: just inside the cell
  EXPECT_GT(size, 6);     // centred "3.00Bytes" in 80 pixels
  EXPECT_GT(status, 15);  // centred "待处理" in 80 pixels
}

}  // namespace
