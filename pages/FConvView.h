#pragma once
// CFConvView: a file conversion page. It keeps the queue of files (one
// FileEntry per row of its four-column list, whose rows live here: the list
// asks the page for the cells it shows, so that thousands of files join it
// as one change of its row count), fixes each file's encoding
// when it is added (detected, or the manual choice of the settings), lets
// the user change it per row, and runs the file job behind the progress
// dialog, showing each file's state as the job reports it. The concrete
// pages differ only in template and direction.
#include <windows.h>

#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "config/TextList.h"
#include "engine/ConvDirection.h"
#include "fw/FileDialog.h"
#include "pages/ConvView.h"
#include "pages/DlgFileEditor.h"
#include "pages/DlgProgress.h"
#include "pages/FileDrop.h"
#include "pages/FileEntry.h"
#include "pipeline/RunSettings.h"
#include "pages/FileListCtrl.h"
#include "pages/QueueFeeder.h"
#include "skin/CtrlTables.h"
#include "skin/SkinBtn.h"

// Items of the state list text, as the status column shows them.
enum FileStatus {
  FILESTATUS_PENDING = 0,
  FILESTATUS_PROCESSING = 1,
  FILESTATUS_DONE = 2,
  FILESTATUS_STOPPED = 3,
  FILESTATUS_FAILED = 4,
  FILESTATUS_COUNT = 5
};

// Columns of the queue list.
enum FileColumn { FILECOL_NAME = 0, FILECOL_SIZE = 1, FILECOL_ENCODING = 2, FILECOL_STATUS = 3 };

// What a queued file's row shows beside its name.
struct RowCells {
  std::wstring size;      // as the file was when it was queued
  std::wstring encoding;  // the detected charset, or the chosen encoding's name
  std::wstring status;    // the state, or a failure's reason, with any note
};

// Flags of the file-open dialog: hide read-only, overwrite prompt, the
// current folder left alone (OFN_NOCHANGEDIR), multiple selection, sizing
// (the framework adds the Explorer style).
constexpr DWORD kAddFilesFlags = 0x80020E;
// Units of the file-open dialog's name buffer.
constexpr size_t kAddFilesBufferUnits = 66816;

class CFConvView : public CConvView, private vek_ListCells {
 public:
  CFConvView(UINT templateId, fw::CWnd* parent, ConvDirection direction);
  ~CFConvView() override;

  std::vector<FileEntry> files;
  ConvDirection direction;
  fw::CFont listFont;
  wchar_t fileFilter[260] = {};
  wchar_t statusTexts[FILESTATUS_COUNT][260] = {};
  TextList statusList;
  TextList encodingNames;
  CDlgProgress progress;
  // The concrete page's controls, set by BindControls.
  vek_SkinList* list = nullptr;
  vek_SkinBtn* add = nullptr;
  vek_SkinBtn* remove = nullptr;
  vek_SkinBtn* clear = nullptr;
  vek_SkinBtn* openFolder = nullptr;
  vek_SkinBtn* start = nullptr;

  // The settings the page reads (the process-wide store unless set).
  void SetStore(CfgStore* store) { store_ = store; }
  CfgStore& Store();
  CfgStore& SettingsStore() override { return Store(); }

  // Add: the file-open dialog, then AddChosenFiles with what it gave.
  void AddFiles();
  // Queues `paths` in order. A path too long for the queue, or a name that
  // stands for a device, is refused; one message names every refused path
  // after the others are queued.
  void AddChosenFiles(const std::vector<fw::CString>& paths);
  void AddChosenFiles(const std::vector<QueuedPath>& paths);
  // Files and folders dropped on the page or the main window (or handed
  // over): each folder gives its text files (and its sub-folders', when the
  // settings say so). Walked and detected on a worker: rows appear as their
  // files are ready, and the line beside Start says how many have come.
  void QueueDropped(const std::vector<std::wstring>& paths);
  // True while dropped files are still being made ready.
  bool Queueing() const { return feeding_; }
  void RemoveSelected();
  void ClearList();
  void OpenOutputFolder();
  void EditEncoding();
  void StartConversion();

  DWORD RunJob() override;
  void OnJobMessage(WPARAM code, LPARAM value) override;

 protected:
  // Points the six control pointers at the concrete page's controls.
  virtual void BindControls() = 0;

  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
  CtrlSkinTable SkinTable() override;
  int OnLoadSkin() override;

  // The dialogs and the shell, which tests answer themselves.
  virtual INT_PTR RunFileDialog(fw::CFileDialog& dialog) { return dialog.DoModal(); }
  virtual INT_PTR RunEncodingDialog(CDlgFileEditor& dialog) { return dialog.DoModalFor(nullptr); }
  virtual void ShellOpen(const wchar_t* folder);
  // Opens the folder of `file` in the Explorer with the file selected.
  virtual void ShellSelect(const wchar_t* file);
  // The window that owns the page's message boxes.
  HWND BoxOwner() const;

 private:
  void InitList();
  // The list's cells, from `files` and `rowCells_`.
  std::wstring CellText(int row, int column) const override;
  // Gives a ready file its row at the end of the queue; the list hears of
  // the new count from ShowRowCount.
  void AppendRow(const ReadyFile& ready);
  void ShowRowCount();
  // Sets `row`'s status column (a row that is not there is left alone).
  void SetStatusText(LPARAM row, const std::wstring& text);
  // Says which paths were refused, in one message.
  void TellRefused(const RefusedPaths& refused);
  // WM_QUEUE_FILES: the feeder's ready files take their rows.
  void OnQueueFiles(WPARAM what);
  void SetStatus(LPARAM row, int status);
  void RepaintList();
  // Adds the CONV_FILE_REPLACED count to `row`'s status when it was for it.
  void NoteReplacements(LPARAM row);

  // What each row of `files` shows beside its name, in step with it.
  std::vector<RowCells> rowCells_;
  // The row of the file the job has in hand (begun, not yet ended), or -1.
  LPARAM inHandRow_ = -1;
  CfgStore* store_ = nullptr;
  FileDropTarget fileDrop_;  // files dragged onto the list
  QueueFeeder feeder_;       // dropped and handed-over files made ready
  int fedCount_ = 0;         // rows the feeder's files took since it started
  DWORD lastQueueTurn_ = 0;  // when ready files last took their rows (GetTickCount)
  bool queueTurnWaits_ = false;  // the next turn waits for its timer
  bool feeding_ = false;     // handed files are not all in the list yet
  // The queue as it stood at Start: what the running job works on.
  std::vector<FileEntry> jobFiles_;
  // What the run carries from the settings, read at Start on this thread.
  RunSettings jobSettings_;
  // What the job says about files whose reason needs more than the status
  // column, and the outputs it wrote; written by the job, read after CONV_END.
  std::vector<std::wstring> jobDetails_;
  std::vector<std::wstring> jobOutputs_;
  // The outputs of the last run that wrote any: 打开文件夹 opens their folder.
  std::vector<std::wstring> lastOutputs_;
  // Files of the run that were converted, and that failed.
  int doneCount_ = 0;
  int failedCount_ = 0;
  int stoppedCount_ = 0;
  // The reason CONV_FILE_REASON gave for the next failed row.
  LPARAM reasonRow_ = -1;
  WORD reason_ = 0;
  // The count CONV_FILE_REPLACED gave for the next done or stopped row.
  LPARAM replacedRow_ = -1;
  WORD replaced_ = 0;
};

// The controls of a file page's template.
struct FilePageControls {
  CFileListCtrl list;
  vek_SkinBtn add, remove, clear, openFolder, start;

  void Bind(fw::CDataExchange* dx);
  void Lend(CFConvView& page);
};

// Simplified files to Traditional (template 132).
class CDlgFSim2Tra : public CFConvView {
 public:
  explicit CDlgFSim2Tra(fw::CWnd* parent);
  FilePageControls controls;

 protected:
  void BindControls() override { controls.Lend(*this); }
  void DoDataExchange(fw::CDataExchange* dx) override {
    controls.Bind(dx);
    fw::DDX_Control(dx, IDC_STANDARD_LABEL, standardLabel);
  }
};

// Traditional files to Simplified (template 133).
class CDlgFTra2Sim : public CFConvView {
 public:
  explicit CDlgFTra2Sim(fw::CWnd* parent);
  FilePageControls controls;

 protected:
  void BindControls() override { controls.Lend(*this); }
  void DoDataExchange(fw::CDataExchange* dx) override {
    controls.Bind(dx);
    fw::DDX_Control(dx, IDC_STANDARD_LABEL, standardLabel);
  }
};
