#include "pages/FConvView.h"

#include <shellapi.h>
// After windows.h:
#include <cderr.h>

#include <cwchar>
#include <string>
#include <utility>

#include "config/FileBytes.h"
#include "config/FormatSize.h"
#include "engine/ConvertText.h"
#include "fw/MessageBox.h"
#include "pages/EncodingNames.h"
#include "pages/FileJob.h"
#include "pages/OutputOptions.h"
#include "pages/FilePagesIds.h"
#include "pages/PageRes.h"
#include "pipeline/LongPath.h"
#include "skeldon/ResIds.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"
#include "textio/SourceCheck.h"

namespace {

// Said when the file-open dialog could not hand the whole choice over (its
// buffer grows for any choice, so only when that growth failed).
constexpr wchar_t kTooManyChosen[] =
    L"一次选择的文件太多, 文件名超出了可以接收的长度, 没有文件加入转换队列。\n\n"
    L"请分几次选择并添加这些文件。";
// Said when the file-open dialog failed for another reason.
constexpr wchar_t kFileDialogFailed[] = L"无法打开文件选择对话框 (错误代码 0x%04X)。";
// Said when a chosen file's path does not fit the queue.
constexpr wchar_t kPathTooLong[] = L"以下文件的路径超过 259 个字符, 无法加入转换队列:\n\n";
// Said when a chosen name stands for a device rather than a file.
constexpr wchar_t kDeviceNames[] =
    L"以下名称代表系统设备, 不是磁盘上的文件, 无法加入转换队列:\n\n";
// The timer of a turn of queued files that waits for its time.
constexpr UINT_PTR kQueueTurnTimer = 0x5154;
// Turns of queued files come at least this far apart.
constexpr DWORD kQueueTurnGapMs = 100;
// Beside Start while dropped files are made ready.
constexpr wchar_t kQueueingFiles[] = L"正在加入文件…";
// Said when Start is pressed while dropped files are still being made ready.
constexpr wchar_t kStillQueueing[] =
    L"文件仍在加入转换队列, 请等全部加入后再开始转换。";
// The status column's words for failures with a known reason.
const wchar_t* ReasonText(WORD reason) {
  switch (reason) {
    case CONV_REASON_NOT_DISK_FILE: return L"不是磁盘文件";
    case CONV_REASON_NOT_TEXT: return L"不是文本文件";
    case CONV_REASON_OUTPUT_IN_USE: return L"输出被占用";
    case CONV_REASON_CANNOT_READ: return L"无法读取";
    case CONV_REASON_CANNOT_WRITE: return L"无法写入";
    case CONV_REASON_ENCODING: return L"编码无法容纳";
    case CONV_REASON_WOULD_OVERWRITE_SOURCE: return L"会覆盖源文件";
    case CONV_REASON_UNDECODABLE: return L"编码不符";
    case CONV_REASON_NO_ENGINE: return L"引擎未启动";
    case CONV_REASON_NO_MEMORY: return L"内存不足";
    case CONV_REASON_LINE_TOO_LONG: return L"行过长";
    case CONV_REASON_CANNOT_APPEND: return L"无法追加";
    case CONV_NOTE_NUMBERED: return L"完成·已编号";
    case CONV_NOTE_EARLIER_OUTPUT: return L"跳过·旧输出";
    default: return nullptr;
  }
}

// Heads the list of files whose output encoding could not hold their text.
constexpr wchar_t kEncodingFailures[] =
    L"以下文件没有写出: 所选的输出编码无法表示其中的字符 (程序不会用 ? 代替它们)。\n\n";
constexpr wchar_t kEncodingAdvice[] =
    L"\n可在“设置”中改用 UTF-8、UTF-16 或 GB18030 输出, 它们能表示所有字符。";

// Said at the end of a run in which files failed and none was converted.
constexpr wchar_t kNoneConverted[] =
    L"没有文件转换成功: 队列中的文件均处理失败, 输出文件夹中没有新的结果。\n"
    L"请查看列表中各文件的状态。";

// Said when Start cannot read the settings the run needs.
std::wstring UnreadableSettingsText(const CfgStore& store, DWORD error) {
  std::wstring text = L"无法读取设置文件, 转换没有开始:\n";
  text += store.Path();
  text += error == ERROR_SHARING_VIOLATION
              ? L"\n\n它正被其他程序 (如备份或同步软件) 占用。请稍后再按开始转换。"
              : L"\n\n请稍后再试; 若一直如此, 请检查这个文件及其文件夹的权限。";
  return text;
}

fw::CString FromAnsi(const char* text) {
  wchar_t wide[260] = {};
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 259);
  return wide;
}

}  // namespace

CFConvView::CFConvView(UINT templateId, fw::CWnd* parent, ConvDirection convDirection)
    : CConvView(templateId, parent), direction(convDirection) {
  listFont.CreateFont(-11, FW_NORMAL, DEFAULT_CHARSET, L"Tahoma");
  faceId = BMP_VIEW_FCONV;
}

CFConvView::~CFConvView() = default;

CfgStore& CFConvView::Store() { return store_ != nullptr ? *store_ : CfgStore::Instance(); }

CtrlSkinTable CFConvView::SkinTable() {
  constexpr int kImagePos = CTRLSKIN_IMAGE | CTRLSKIN_POS;
  return CtrlSkinTable{{list, 0, 8, 8, 766, 388, 0, 0, CTRLSKIN_POS | CTRLSKIN_SIZE},
                       {add, BMP_BTN_ADDFILE, 218, 400, 0, 0, 0, 0, kImagePos},
                       {remove, BMP_BTN_REMOVE, 328, 400, 0, 0, 0, 0, kImagePos},
                       {clear, BMP_BTN_CLEAR, 438, 400, 0, 0, 0, 0, kImagePos},
                       {openFolder, BMP_BTN_OPENFOLDER, 548, 400, 0, 0, 0, 0, kImagePos},
                       {start, BMP_BTN_STARTCONV, 658, 400, 0, 0, 0, 0, kImagePos},
                       {&standardLabel, 0, 12, 417, 200, 16, palette::kBody, palette::kBodyText,
                        CTRLSKIN_POS | CTRLSKIN_SIZE | CTRLSKIN_BACK | CTRLSKIN_FORE},
                       {nullptr, 0, 0, 0, 0, 0, 0, 0, CTRLSKIN_END}};
}

int CFConvView::OnLoadSkin() {
  // Text and subtitle files first, then all files; the old text-only
  // filter where the resource pack has no such text.
  std::wstring filter = QueryText(TXT_TEXT_FILES_FILTER);
  if (filter.empty()) filter = QueryText(TXT_FILE_FILTER);
  wcsncpy(fileFilter, filter.c_str(), 259);
  statusList.Load(QueryText(TXT_FILE_STATES).c_str());
  for (int i = 0; i < FILESTATUS_COUNT; ++i) {
    statusList.GetItem(i, statusTexts[i], sizeof(statusTexts[i]));
  }
  encodingNames = LoadEncodingNames();
  return CConvView::OnLoadSkin();
}

BOOL CFConvView::OnInitDialog() {
  BindControls();
  CConvView::OnInitDialog();
  InitList();
  // Files dragged onto the list join the queue as if chosen with Add; none
  // while a run is on.
  fileDrop_.Attach(list->m_hWnd, [this](const std::vector<std::wstring>& paths) {
    if (progress.m_hWnd == nullptr) QueueDropped(paths);
  });
  AddCtrlTips(m_hWnd, AppResMgr(),
              CtrlTipTable{{TIP_ADD_FILES, IDC_FILE_ADD, CTRLTIP_USED},
                           {TIP_REMOVE_FILE, IDC_FILE_REMOVE, CTRLTIP_USED},
                           {TIP_CLEAR_QUEUE, IDC_FILE_CLEAR, CTRLTIP_USED},
                           {TIP_OPEN_FOLDER, IDC_FILE_OPENFOLDER, CTRLTIP_USED},
                           {TIP_START, IDC_FILE_START, CTRLTIP_USED},
                           {0, 0, CTRLTIP_END}});
  ApplyCtrlBackColors(SkinTable());
  ApplyCtrlForeColors(SkinTable());
  ShowStandard();
  return TRUE;
}

void CFConvView::InitList() {
  if (list == nullptr || list->m_hWnd == nullptr) return;
  const ListSkinCfg cfg{
      7,     RGB(238, 237, 237), RGB(183, 184, 183), RGB(64, 64, 64), 15, TRUE, FALSE,
      FALSE, RGB(231, 241, 254)};
  list->InitSkinList(&cfg);
  if (list->header != nullptr) list->header->font = listFont.GetSafeHandle();
  list->SetExtendedStyle(list->GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  TextList titles;
  titles.Load(QueryText(TXT_FILE_COLUMNS).c_str());
  // The status column has room for a note such as "处理完成 (含 3 处无效字节)".
  const int widths[4] = {270, 80, 130, 250};
  const int formats[4] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_CENTER, LVCFMT_CENTER};
  for (int i = 0; i < 4; ++i) {
    wchar_t title[260] = {};
    titles.GetItem(i, title, sizeof(title));
    list->InsertColumn(i, title, formats[i], widths[i]);
  }
  list->SetCells(this);
}

std::wstring CFConvView::CellText(int row, int column) const {
  if (row < 0 || static_cast<size_t>(row) >= files.size() ||
      static_cast<size_t>(row) >= rowCells_.size()) {
    return {};
  }
  const RowCells& cells = rowCells_[static_cast<size_t>(row)];
  switch (column) {
    case FILECOL_NAME: return files[static_cast<size_t>(row)].name;
    case FILECOL_SIZE: return cells.size;
    case FILECOL_ENCODING: return cells.encoding;
    case FILECOL_STATUS: return cells.status;
    default: return {};
  }
}

BOOL CFConvView::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == BN_CLICKED) {
    switch (LOWORD(wp)) {
      case IDC_FILE_ADD: AddFiles(); return TRUE;
      case IDC_FILE_REMOVE: RemoveSelected(); return TRUE;
      case IDC_FILE_CLEAR: ClearList(); return TRUE;
      case IDC_FILE_START: StartConversion(); return TRUE;
      case IDC_FILE_OPENFOLDER: OpenOutputFolder(); return TRUE;
      default: break;
    }
  }
  return CConvView::OnCommand(wp, lp);
}

BOOL CFConvView::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
  if (list == nullptr || hdr->hwndFrom != list->m_hWnd) return CConvView::OnNotify(wp, lp, result);
  if (hdr->code == NM_DBLCLK) {
    EditEncoding();
    RepaintList();
    *result = 0;
    return TRUE;
  }
  if (hdr->code == NM_CLICK) {
    RepaintList();
    *result = 0;
    return TRUE;
  }
  return CConvView::OnNotify(wp, lp, result);
}

void CFConvView::RepaintList() {
  if (list != nullptr && list->m_hWnd != nullptr) list->Invalidate(true);
}

HWND CFConvView::BoxOwner() const {
  HWND root = GetAncestor(m_hWnd, GA_ROOT);
  return root != nullptr ? root : m_hWnd;
}

// ---- the queue ----

void CFConvView::AddFiles() {
  fw::CFileDialog dialog(TRUE, nullptr, nullptr, kAddFilesFlags, fileFilter, this,
                         kAddFilesBufferUnits);
  if (RunFileDialog(dialog) != IDOK) {
    // Not the user's Cancel: the choice was lost, so say so.
    if (dialog.m_error == FNERR_BUFFERTOOSMALL) {
      fw::AppMessageBox(BoxOwner(), kTooManyChosen, MB_ICONEXCLAMATION);
    } else if (dialog.m_error != 0) {
      wchar_t text[160] = {};
      swprintf(text, 160, kFileDialogFailed, static_cast<unsigned>(dialog.m_error));
      fw::AppMessageBox(BoxOwner(), text, MB_ICONEXCLAMATION);
    }
    return;
  }
  AddChosenFiles(dialog.GetPathNames());
}

void CFConvView::QueueDropped(const std::vector<std::wstring>& paths) {
  QueueSettings settings;
  settings.subFolders = ReadOutputOptions(Store()).includeSubfolders;
  // A folder's earlier outputs of this page's direction are no sources.
  settings.outputsOf = direction;
  Store().ReadValue(CFGKEY_ENCODING_MODE, &settings.mode, sizeof(settings.mode));
  Store().ReadValue(CFGKEY_ENCODING_INDEX, &settings.manualIndex, sizeof(settings.manualIndex));
  if (!feeding_) fedCount_ = 0;
  feeding_ = true;
  feeder_.Add(m_hWnd, paths, settings);
  if (standardLabel.m_hWnd != nullptr) {
    standardLabel.SetWindowText(kQueueingFiles);
    standardLabel.Invalidate(TRUE);
  }
}

LRESULT CFConvView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_QUEUE_FILES) {
    OnQueueFiles(wp);
    return 0;
  }
  if (msg == WM_TIMER && wp == kQueueTurnTimer) {
    ::KillTimer(m_hWnd, kQueueTurnTimer);
    queueTurnWaits_ = false;
    OnQueueFiles(kQueueFilesReady);
    return 0;
  }
  // The feeder posts to this window: it ends before the window goes.
  if (msg == WM_DESTROY) feeder_.Stop();
  return CConvView::WindowProc(msg, wp, lp);
}

void CFConvView::OnQueueFiles(WPARAM what) {
  // A turn costs the list a measure of its bars and a paint: while files
  // come, one at most every kQueueTurnGapMs, taking together what came
  // meanwhile. The last files come at once, with the feeder's end.
  if (what == kQueueFilesReady) {
    if (queueTurnWaits_) return;
    const DWORD since = GetTickCount() - lastQueueTurn_;
    if (since < kQueueTurnGapMs &&
        ::SetTimer(m_hWnd, kQueueTurnTimer, kQueueTurnGapMs - since, nullptr) != 0) {
      queueTurnWaits_ = true;
      return;
    }
  }
  lastQueueTurn_ = GetTickCount();
  // The rows of a turn are one new row count for the list; the turns are
  // bounded all the same, so that the window answers between them.
  constexpr size_t kRowsPerTurn = 2000;
  bool more = false;
  const std::vector<ReadyFile> ready = feeder_.TakeReady(kRowsPerTurn, more);
  if (more) PostMessage(WM_QUEUE_FILES, what);
  if (!ready.empty() && list != nullptr && list->m_hWnd != nullptr) {
    for (const ReadyFile& file : ready) AppendRow(file);
    ShowRowCount();
    fedCount_ += static_cast<int>(ready.size());
  }
  if (what == kQueueFilesDone && !more && !feeder_.Busy()) {
    fedCount_ = 0;
    feeding_ = false;
    // The line beside Start shows the standard again.
    if (standardLabel.m_hWnd != nullptr) standardLabel.SetWindowText(L"");
    ShowStandard();
    TellRefused(feeder_.TakeRefused());
    return;
  }
  if (standardLabel.m_hWnd != nullptr && feeding_) {
    const std::wstring text = std::wstring(kQueueingFiles) + L" 已加入 " +
                              std::to_wstring(fedCount_) + L" 个";
    standardLabel.SetWindowText(text.c_str());
    standardLabel.Invalidate(TRUE);
  }
}

void CFConvView::AddChosenFiles(const std::vector<fw::CString>& paths) {
  std::vector<QueuedPath> queued;
  for (const fw::CString& path : paths) queued.push_back({path, L""});
  AddChosenFiles(queued);
}

void CFConvView::AddChosenFiles(const std::vector<QueuedPath>& paths) {
  // The mode and the manual choice as they are now.
  QueueSettings settings;
  Store().ReadValue(CFGKEY_ENCODING_MODE, &settings.mode, sizeof(settings.mode));
  Store().ReadValue(CFGKEY_ENCODING_INDEX, &settings.manualIndex, sizeof(settings.manualIndex));
  RefusedPaths refused;
  for (const QueuedPath& path : paths) {
    ReadyFile ready;
    if (PrepareQueuedFile(path, settings, ready, refused)) AppendRow(ready);
  }
  ShowRowCount();
  TellRefused(refused);
}

void CFConvView::TellRefused(const RefusedPaths& refused) {
  fw::CString text;
  if (!refused.tooLong.empty()) {
    text += kPathTooLong;
    for (const std::wstring& path : refused.tooLong) text += path + L"\n";
  }
  if (!refused.devices.empty()) {
    text += text.empty() ? L"" : L"\n";
    text += kDeviceNames;
    for (const std::wstring& path : refused.devices) text += path + L"\n";
  }
  if (!text.empty()) fw::AppMessageBox(BoxOwner(), text, MB_ICONEXCLAMATION);
}

void CFConvView::AppendRow(const ReadyFile& ready) {
  wchar_t sizeText[260] = {};
  ULARGE_INTEGER size{};
  size.QuadPart = ready.size;
  FormatSize(sizeText, size.LowPart, size.HighPart);
  RowCells cells;
  cells.size = sizeText;
  cells.encoding = ready.entry.chosenByHand ? EncodingName(encodingNames, ready.entry.encoding)
                                            : std::wstring(FromAnsi(ready.charset.c_str()));
  cells.status = statusTexts[FILESTATUS_PENDING];
  files.push_back(ready.entry);
  rowCells_.push_back(std::move(cells));
}

void CFConvView::ShowRowCount() {
  if (list != nullptr && list->m_hWnd != nullptr) list->SetRowCount(static_cast<int>(files.size()));
}

void CFConvView::RemoveSelected() {
  const int row = list->GetNextSelected(-1);
  if (row < 0 || static_cast<size_t>(row) >= files.size()) return;
  files.erase(files.begin() + row);
  rowCells_.erase(rowCells_.begin() + row);
  // The rows after it move up, and so do their selections.
  list->DeleteItem(row);
  RepaintList();
}

void CFConvView::ClearList() {
  // Files still being made ready are dropped too.
  if (feeding_) {
    feeder_.Stop();
    fedCount_ = 0;
    feeding_ = false;
    if (standardLabel.m_hWnd != nullptr) standardLabel.SetWindowText(L"");
    ShowStandard();
  }
  files.clear();
  rowCells_.clear();
  list->DeleteAllItems();
}

// The folder the last run wrote to; when it wrote to several, the first
// output's, with that file selected. Before any run, the settings' output folder.
void CFConvView::OpenOutputFolder() {
  if (!lastOutputs_.empty()) {
    const std::wstring first = FolderOf(lastOutputs_.front());
    for (const std::wstring& output : lastOutputs_) {
      if (CompareStringOrdinal(FolderOf(output).c_str(), -1, first.c_str(), -1, TRUE) != CSTR_EQUAL) {
        ShellSelect(lastOutputs_.front().c_str());
        return;
      }
    }
    std::wstring folder = first;
    if (folder.size() > 3) folder.pop_back();  // "C:\" keeps its backslash
    ShellOpen(folder.c_str());
    return;
  }
  wchar_t folder[260] = {};
  Store().ReadString(CFGKEY_OUTPUT_DIR, folder);
  ShellOpen(folder);
}

void CFConvView::ShellSelect(const wchar_t* file) {
  const std::wstring arguments = L"/select,\"" + std::wstring(file) + L"\"";
  ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

void CFConvView::ShellOpen(const wchar_t* folder) {
  ShellExecuteW(nullptr, L"open", folder, nullptr, nullptr, SW_SHOWNORMAL);
}

void CFConvView::EditEncoding() {
  const int row = list->GetNextSelected(-1);
  if (row < 0 || static_cast<size_t>(row) >= files.size()) return;
  CDlgFileEditor dialog(&files[static_cast<size_t>(row)]);
  if (RunEncodingDialog(dialog) != IDOK) return;
  FileEntry& entry = files[static_cast<size_t>(row)];
  // OK on the choice the row had keeps the row's reading (a file detected
  // as Big5 or UTF-32 stays so, and so does its name in the list).
  // Either way the encoding is now the user's.
  entry.chosenByHand = true;
  if (dialog.selection == entry.encoding) return;
  // A choice by hand replaces the detection: "ANSI" is the system's code page.
  entry.encoding = dialog.selection;
  entry.codePage = 0;
  rowCells_[static_cast<size_t>(row)].encoding = EncodingName(encodingNames, dialog.selection);
  list->RedrawRow(row);
}

// ---- the job ----

void CFConvView::StartConversion() {
  if (progress.m_hWnd != nullptr) return;  // a run is on already
  if (feeding_) {
    fw::AppMessageBox(BoxOwner(), kStillQueueing, MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The run carries the settings as they are now, read on this thread; a
  // run never starts on defaults that stand in for unreadable settings.
  DWORD unreadable = ERROR_SUCCESS;
  jobSettings_ = ReadRunSettings(Store(), direction, &unreadable);
  if (unreadable != ERROR_SUCCESS) {
    fw::AppMessageBox(BoxOwner(), UnreadableSettingsText(Store(), unreadable),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (!progress.Create(this, PROGRESS_MODE_BAR)) return;
  progress.ShowOverParent(TRUE);
  progress.SetBarRange(1000, 0);
  // The job works on the queue as it stands now; the list may change
  // under the page while the job runs, never under the job.
  jobFiles_ = files;
  jobDetails_.clear();
  jobOutputs_.clear();
  doneCount_ = 0;
  failedCount_ = 0;
  if (StartJob()) return;
  progress.ShowOverParent(FALSE);
  progress.DestroyWindow();
}

DWORD CFConvView::RunJob() {
  FileJob job(*this);
  job.SetDetails(&jobDetails_);
  job.SetOutputs(&jobOutputs_);
  return job.Run(jobFiles_, jobSettings_);
}

void CFConvView::SetStatus(LPARAM row, int status) { SetStatusText(row, statusTexts[status]); }

void CFConvView::SetStatusText(LPARAM row, const std::wstring& text) {
  if (row < 0 || static_cast<size_t>(row) >= rowCells_.size()) return;
  rowCells_[static_cast<size_t>(row)].status = text;
  if (list != nullptr && list->m_hWnd != nullptr) list->RedrawRow(static_cast<int>(row));
}

void CFConvView::NoteReplacements(LPARAM row) {
  if (std::exchange(replacedRow_, -1) != row || row < 0 ||
      static_cast<size_t>(row) >= rowCells_.size()) {
    return;
  }
  // "处理完成 (含 3 处无效字节)": the file was read with U+FFFD in places.
  const std::wstring count =
      replaced_ == 0xFFFF ? L"65535 处以上" : std::to_wstring(replaced_) + L" 处";
  const std::wstring& status = rowCells_[static_cast<size_t>(row)].status;
  SetStatusText(row, status + L" (含 " + count + L"无效字节)");
}

void CFConvView::OnJobMessage(WPARAM code, LPARAM value) {
  switch (LOWORD(code)) {
    case CONV_BEGIN:
      inHandRow_ = -1;
      doneCount_ = 0;
      failedCount_ = 0;
      stoppedCount_ = 0;
      if (progress.m_hWnd != nullptr) progress.SetBarRange(static_cast<int>(value), 0);
      // Every row starts over, painted once.
      for (RowCells& cells : rowCells_) cells.status = statusTexts[FILESTATUS_PENDING];
      RepaintList();
      break;
    case CONV_FILE_BEGIN:
      inHandRow_ = value;
      SetStatus(value, FILESTATUS_PROCESSING);
      break;
    case CONV_FILE_DONE: {
      inHandRow_ = -1;
      ++doneCount_;
      const wchar_t* note = reasonRow_ == value ? ReasonText(reason_) : nullptr;
      reasonRow_ = -1;
      if (note != nullptr) {
        SetStatusText(value, note);
      } else {
        SetStatus(value, FILESTATUS_DONE);
      }
      NoteReplacements(value);
      break;
    }
    case CONV_FILE_STOPPED:
      inHandRow_ = -1;
      ++stoppedCount_;
      SetStatus(value, FILESTATUS_STOPPED);
      NoteReplacements(value);
      break;
    case CONV_FILE_REASON:
      reasonRow_ = value;
      reason_ = ConvCodeDatum(code);
      break;
    case CONV_FILE_REPLACED:
      replacedRow_ = value;
      replaced_ = ConvCodeDatum(code);
      break;
    case CONV_FILE_FAILED: {
      inHandRow_ = -1;
      ++failedCount_;
      const wchar_t* why = reasonRow_ == value ? ReasonText(reason_) : nullptr;
      reasonRow_ = -1;
      if (why != nullptr) {
        SetStatusText(value, why);
      } else {
        SetStatus(value, FILESTATUS_FAILED);
      }
      break;
    }
    case CONV_STEP: {
      const std::uint32_t steps = TakeSteps();
      if (progress.m_hWnd != nullptr) progress.MoveBarTo(static_cast<int>(steps));
      break;
    }
    case CONV_END: {
      if (progress.m_hWnd != nullptr) {
        progress.ShowOverParent(FALSE);
        progress.DestroyWindow();
      }
      const LPARAM inHand = std::exchange(inHandRow_, -1);
      if (LastJobTerminated()) {
        // The job did not answer the stop and was ended: the file in hand
        // was stopped, the rest were never begun (they still read
        // pending), and nothing was completed to ask about.
        if (inHand >= 0) SetStatus(inHand, FILESTATUS_STOPPED);
        break;
      }
      // What kept the job from converting (the conversion library could
      // not open), said here, on the page's thread, over the main window.
      const std::string problem = TakeProblem();
      if (!problem.empty()) ShowUtf8Message(problem.c_str(), BoxOwner());
      // The job has ended: its details are the page's to read now.
      if (!jobDetails_.empty()) {
        fw::CString text = kEncodingFailures;
        for (const std::wstring& line : jobDetails_) text += line + L"\n";
        text += kEncodingAdvice;
        jobDetails_.clear();
        fw::AppMessageBox(BoxOwner(), text, MB_OK | MB_ICONEXCLAMATION);
      }
      MessageBeep(MB_ICONEXCLAMATION);
      const bool noneConverted = failedCount_ > 0 && doneCount_ == 0;
      // Stopped before any file was done, and nothing kept: nothing to ask about.
      const bool stoppedEmpty = stoppedCount_ > 0 && doneCount_ == 0 && jobOutputs_.empty();
      doneCount_ = 0;
      failedCount_ = 0;
      stoppedCount_ = 0;
      if (!jobOutputs_.empty()) lastOutputs_ = std::move(jobOutputs_);
      jobOutputs_.clear();
      if (noneConverted) {
        // Nothing new is in the output folder: opening it is not offered.
        fw::AppMessageBox(BoxOwner(), kNoneConverted, MB_OK | MB_ICONEXCLAMATION);
        break;
      }
      if (stoppedEmpty) break;
      const fw::CString question = QueryText(TXT_DONE_OPEN_FOLDER);
      if (fw::AppMessageBox(BoxOwner(), question, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        OpenOutputFolder();
      }
      break;
    }
    default: break;
  }
}

// ---- the concrete pages ----

void FilePageControls::Bind(fw::CDataExchange* dx) {
  fw::DDX_Control(dx, IDC_FILE_LIST, list);
  fw::DDX_Control(dx, IDC_FILE_ADD, add);
  fw::DDX_Control(dx, IDC_FILE_REMOVE, remove);
  fw::DDX_Control(dx, IDC_FILE_CLEAR, clear);
  fw::DDX_Control(dx, IDC_FILE_OPENFOLDER, openFolder);
  fw::DDX_Control(dx, IDC_FILE_START, start);
}

void FilePageControls::Lend(CFConvView& page) {
  page.list = &list;
  page.add = &add;
  page.remove = &remove;
  page.clear = &clear;
  page.openFolder = &openFolder;
  page.start = &start;
}

CDlgFSim2Tra::CDlgFSim2Tra(fw::CWnd* parent) : CFConvView(IDD_FILEPAGE_S2T, parent, Sim2Tra) {}

CDlgFTra2Sim::CDlgFTra2Sim(fw::CWnd* parent) : CFConvView(IDD_FILEPAGE_T2S, parent, Tra2Sim) {}
