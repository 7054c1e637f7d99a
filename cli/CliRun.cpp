#include "cli/CliRun.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "engine/ConvEngine.h"
#include "fw/Handle.h"
#include "pipeline/FileConvert.h"
#include "pipeline/FileTask.h"
#include "pipeline/LongPath.h"
#include "pipeline/TextFiles.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"
#include "textio/TextEncoder.h"

namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleBreak(DWORD type) {
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
    // The file in hand ends after its line; its partial output is removed.
    g_interrupted.store(true);
    return TRUE;
  }
  return FALSE;
}

std::wstring LoadReason(LoadStatus status) {
  switch (status) {
    case LoadStatus::OpenFailed: return L"无法打开 (不存在或正被占用) / cannot open it (missing or in use)";
    case LoadStatus::TooLarge: return L"文件达到 4 GB / the file is 4 GB or larger";
    case LoadStatus::OutOfMemory: return L"内存不足 / out of memory";
    case LoadStatus::NotDiskFile: return L"不是磁盘上的文件 (设备) / not a file on a disk (a device)";
    default: return L"读取失败 / could not read it";
  }
}

std::wstring EncodingLabel(const InputEncoding& e) {
  if (e.encoding == EncUtf8) return L"UTF-8";
  if (e.encoding == EncUtf16) return L"UTF-16LE";
  if (e.encoding == EncUtf16Be) return L"UTF-16BE";
  if (e.codePage == kCodePageUtf32Le) return L"UTF-32LE";
  if (e.codePage == kCodePageUtf32Be) return L"UTF-32BE";
  const UINT cp = e.codePage != 0 ? e.codePage : GetACP();
  return L"代码页 / code page " + std::to_wstring(cp);
}

std::wstring OutcomeReason(FileOutcome outcome, LoadStatus load, const InputEncoding& encoding) {
  switch (outcome) {
    case FileOutcome::NoMemory: return L"内存不足 / out of memory";
    case FileOutcome::ReadFailed: return LoadReason(load);
    case FileOutcome::NoEngine: return L"转换引擎未能启动 / the converter did not start";
    case FileOutcome::Undecodable:
      return L"内容不是有效的 " + EncodingLabel(encoding) + L" 文本 / not valid " +
             EncodingLabel(encoding) + L" text";
    case FileOutcome::LineTooLong: return L"行过长 / a line is too long";
    case FileOutcome::NotText: return L"不是文本文件 / not a text file";
    case FileOutcome::WriteFailed: return L"无法写入输出 / could not write the output";
    default: return L"";
  }
}

// True when -o names a folder (or is not given: the current folder).
bool NamesFolder(const std::wstring& o) {
  return o.empty() || IsFolderPath(o) || o.back() == L'\\' || o.back() == L'/';
}

// Why an output could not be had or written.
std::wstring OutputReason(const FileReport& report) {
  switch (report.error) {
    case OutputError::NoFolder: return L"无法创建输出文件夹 / cannot create the output folder";
    case OutputError::InUse:
      return L"输出文件正被其他程序使用 / another program holds the output file";
    case OutputError::WouldOverwriteSource:
      return L"输出会覆盖输入文件, 请用 -o 指定其他位置 / the output would overwrite an input "
             L"file; choose another place with -o";
    case OutputError::Encoding:
      return L"输出编码无法表示 / the output encoding cannot hold " + report.missing;
    case OutputError::Exists:
      return L"输出文件已存在 (可用 --overwrite、--append 或 --keep-both) / the output exists (use "
             L"--overwrite, --append or --keep-both)";
    case OutputError::IsFolder: return L"输出位置是文件夹 / the output is a folder";
    case OutputError::CannotAppend:
      return L"已有的输出文件无法续写 (UTF-16 文件的字节数为奇数) / the output there cannot be "
             L"continued (a UTF-16 file of an odd size)";
    default: return L"无法创建或写入输出文件 / cannot create or write the output file";
  }
}

// The encoding a source is read in: the option's, or detected as the file
// pages detect it.
InputEncoding EncodingFor(const std::wstring& path, const InputEncoding& option) {
  if (!option.detect) return option;
  InputEncoding e;
  e.detect = false;
  char charset[kCharsetNameSize] = {};
  e.encoding = DetectFileEncoding(path.c_str(), charset);
  e.codePage = e.encoding == EncAnsi ? CodePageForDetectedFile(path.c_str(), charset) : 0;
  return e;
}

// Progress on a console: files done of all, megabytes, speed; shown once
// the work has taken a second, rewritten at most four times a second.
class ProgressLine {
 public:
  ProgressLine(CliConsole& console, bool enabled, size_t files, std::uint64_t totalBytes)
      : console_(console), enabled_(enabled && console.ProgressShown()), files_(files),
        total_(totalBytes), start_(GetTickCount64()) {}
  void FileDone() {
    ++done_;
    Show();
  }
  void Bytes(std::uint64_t n) {
    bytes_ += n;
    Show();
  }
  void End() {
    if (enabled_) console_.ClearProgress();
  }

 private:
  void Show() {
    if (!enabled_) return;
    const ULONGLONG now = GetTickCount64();
    if (now - start_ < 1000 || now - last_ < 250) return;
    last_ = now;
    const double seconds = static_cast<double>(now - start_) / 1000.0;
    wchar_t figures[96] = {};
    _snwprintf(figures, 95, L"%.1f/%.1f MB, %.1f MB/s", static_cast<double>(bytes_) / 1e6,
               static_cast<double>(total_) / 1e6, static_cast<double>(bytes_) / 1e6 / seconds);
    console_.Progress(std::to_wstring(done_) + L"/" + std::to_wstring(files_) +
                      L" 个文件 files, " + figures);
  }

  CliConsole& console_;
  bool enabled_;
  size_t files_, done_ = 0;
  std::uint64_t total_, bytes_ = 0;
  ULONGLONG start_, last_ = 0;
};

// Files' progress and Ctrl+C.
class CliHooks : public FileTaskHooks {
 public:
  explicit CliHooks(ProgressLine& progress) : progress_(progress) {}
  bool StopRequested() override { return g_interrupted.load(); }
  bool Stopped() const override { return g_interrupted.load(); }
  void LineRead(std::uint64_t rawLength) override { progress_.Bytes(rawLength); }

 private:
  ProgressLine& progress_;
};

// Standard input's converted text goes to standard output.
class CliConversion : public FileConversion {
 public:
  CliConversion(CliConsole& console, ProgressLine& progress, const TargetEncoding& target)
      : console_(console), progress_(progress), target_(target), encoder_(target) {}
  bool Write(const char* bytes, std::int32_t count) override {
    std::string_view encoded;
    if (!encoder_.Encode(bytes, static_cast<size_t>(count), encoded_, encoded)) {
      unrepresentable_ = true;
      return false;
    }
    return console_.WriteOut(encoded.data(), static_cast<std::int32_t>(encoded.size()), target_);
  }
  // After a failed write: whether the encoding could not hold the text, and which characters.
  bool Unrepresentable() const { return unrepresentable_; }
  std::wstring Missing() const { return encoder_.DescribeMissing(); }
  bool StopRequested() override { return g_interrupted.load(); }
  void LineRead(std::uint64_t rawLength) override { progress_.Bytes(rawLength); }

 private:
  CliConsole& console_;
  ProgressLine& progress_;
  TargetEncoding target_;
  TextEncoder encoder_;
  std::string encoded_;
  bool unrepresentable_ = false;
};

class Runner {
 public:
  Runner(const CliOptions& options, CliConsole& console) : options_(options), console_(console) {
    // Without it every line was written on its own: a system call each.
    output_.TakeInitialRoom();
  }

  int Run();

 private:
  bool Plan(std::vector<QueuedPath>& items);
  RunSettings Settings() const;
  bool ConvertItem(const QueuedPath& item, OutputPlanner& planner, ProgressLine& progress);
  bool ConvertStandardInput();
  bool OpenEngine();
  // A file converted with U+FFFD in places of damaged bytes: a warning,
  // not a failure.
  void WarnReplacements(const std::wstring& path, std::uint64_t replaced) {
    if (replaced == 0) return;
    const std::wstring n = std::to_wstring(replaced);
    console_.Error(path + L": 警告: 含 " + n + L" 处无效字节, 已换成 U+FFFD / warning: " + n +
                   L" invalid byte sequence(s) replaced with U+FFFD");
  }
  void Fail(const std::wstring& path, const std::wstring& reason) {
    console_.Error(path + L": " + reason);
    failed_ = true;
  }

  const CliOptions& options_;
  CliConsole& console_;
  ConvEngine engine_;
  OutputBuffer output_;
  bool failed_ = false;
};

bool Runner::OpenEngine() {
  try {
    ConvOptions conversion{options_.standard, options_.wordList};
    if (!options_.wordList.empty() && !PathExists(options_.wordList)) {
      console_.Error(L"tarnwell-cli: " + options_.wordList + L": 找不到词汇表 / no such word list");
      return false;
    }
    const bool opened = engine_.Open(options_.direction, conversion);
    // Lines of the word list that could not be used, said once.
    const std::string words = engine_.TakeWordListReport();
    if (!words.empty()) {
      console_.Error(L"tarnwell-cli: " +
                     WideFromUtf8(words.data(), static_cast<std::int32_t>(words.size())));
    }
    if (opened) return true;
  } catch (const std::runtime_error& e) {
    console_.Error(L"tarnwell-cli: " + WideFromUtf8(e.what(), static_cast<std::int32_t>(
                                                                 std::strlen(e.what()))));
    return false;
  }
  console_.Error(L"tarnwell-cli: 转换引擎未能启动 / the converter did not start");
  return false;
}

// The sources, folders giving their text files. False (after saying why)
// on a usage error.
bool Runner::Plan(std::vector<QueuedPath>& items) {
  const std::wstring& o = options_.outputPath;
  const bool single = options_.inputs.size() == 1 && !IsFolderPath(options_.inputs[0]);
  if (!single && !NamesFolder(o) && PathExists(o)) {
    console_.Error(L"tarnwell-cli: " + o +
                   L": 不是文件夹; 多个输入需要输出文件夹 / not a folder; several inputs need an "
                   L"output folder");
    return false;
  }
  items = ExpandDroppedFolders(options_.inputs, options_.recurse, options_.direction);
  return true;
}

// What the run carries: the options in the pipeline's terms.
RunSettings Runner::Settings() const {
  RunSettings settings;
  settings.direction = options_.direction;
  settings.conversion = ConvOptions{options_.standard, options_.wordList};
  settings.output.encoding = static_cast<std::int32_t>(options_.output);
  settings.output.place = options_.besideSource ? OUTPLACE_BESIDE_SOURCE : OUTPLACE_FOLDER;
  settings.output.convertNames = options_.convertNames;
  settings.output.includeSubfolders = options_.recurse;
  switch (options_.existing) {
    case ExistingOutput::Overwrite: settings.output.existing = EXISTING_REPLACE; break;
    case ExistingOutput::Append: settings.output.existing = EXISTING_APPEND; break;
    case ExistingOutput::KeepBoth: settings.output.existing = EXISTING_KEEP_BOTH; break;
    default: settings.output.existing = EXISTING_REFUSE; break;
  }
  const std::wstring& o = options_.outputPath;
  const bool single = options_.inputs.size() == 1 && !IsFolderPath(options_.inputs[0]);
  if (single && !NamesFolder(o) && !options_.besideSource) {
    settings.outputFile = FullPath(o);
  } else {
    settings.outputFolder = FullPath(o.empty() ? L"." : o);
  }
  settings.makeOutputFolder = true;
  return settings;
}

int Runner::Run() {
  if (options_.inputs.empty()) {
    if (!options_.outputPath.empty()) {
      console_.Error(L"tarnwell-cli: -o 需要输入文件; 标准输入的结果写到标准输出, 可用 > 重定向 / -o "
                     L"needs input files; standard input goes to standard output (redirect it with >)");
      return kExitUsage;
    }
    if (!OpenEngine()) return kExitSomeFailed;
    ConvertStandardInput();
    engine_.Close();
    return failed_ ? kExitSomeFailed : kExitOk;
  }
  std::vector<QueuedPath> items;
  if (!Plan(items)) return kExitUsage;
  if (items.empty()) {
    // Folders without text files: nothing failed, but say so.
    console_.Error(L"tarnwell-cli: 没有可转换的文本文件 / no text files to convert");
    return kExitOk;
  }
  if (!OpenEngine()) return kExitSomeFailed;
  std::uint64_t total = 0;
  std::vector<std::wstring> sources;
  for (const QueuedPath& item : items) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(item.path.c_str(), GetFileExInfoStandard, &data)) {
      total += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    sources.push_back(FullPath(item.path));
  }
  const RunSettings settings = Settings();
  OutputPlanner planner(settings, sources, &engine_);
  ProgressLine progress(console_, !options_.quiet, items.size(), total);
  for (const QueuedPath& item : items) {
    if (g_interrupted.load()) break;
    ConvertItem(item, planner, progress);
    progress.FileDone();
  }
  progress.End();
  engine_.Close();
  if (g_interrupted.load()) {
    console_.Error(L"tarnwell-cli: 已中断 / interrupted");
    failed_ = true;
  }
  return failed_ ? kExitSomeFailed : kExitOk;
}

bool Runner::ConvertItem(const QueuedPath& item, OutputPlanner& planner, ProgressLine& progress) {
  const std::wstring& shown = item.path;
  const DWORD attributes = GetFileAttributesW(SystemPath(shown).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Fail(shown, L"找不到文件 / no such file");
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    Fail(shown, L"是文件夹 / is a folder");
    return false;
  }
  const InputEncoding encoding = EncodingFor(shown, options_.input);
  const SourceFile source{FullPath(shown), item.subFolder, encoding.encoding, encoding.codePage,
                          !options_.input.detect};
  CliHooks hooks(progress);
  const FileReport report = ConvertToOutput(engine_, source, planner, output_, hooks,
                                            StoppedFile::LeavesNothing);
  if (report.stopped) return false;  // said once for the run
  if (!report.outputOf.empty()) {
    console_.Error(shown + L": 是 " + report.outputOf + L" 的旧输出, 未转换 / the earlier output of " +
                   report.outputOf + L", not converted");
    return true;
  }
  if (!report.Succeeded()) {
    Fail(shown, report.error != OutputError::None
                    ? OutputReason(report)
                    : OutcomeReason(report.outcome, report.load, encoding));
    return false;
  }
  if (report.numbered) {
    console_.Error(shown + L": 输出与本次另一个输入的输出同名, 已写为 / its output meets another "
                           L"input's, written as " + report.output);
  }
  WarnReplacements(shown, report.replaced);
  return true;
}

// Standard input is kept in a temporary file, so that it is detected and
// read exactly as a file is.
bool Runner::ConvertStandardInput() {
  wchar_t folder[MAX_PATH] = {};
  wchar_t temp[MAX_PATH] = {};
  if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"twc", 0, temp)) {
    Fail(L"<stdin>", L"无法创建临时文件 / cannot create a temporary file");
    return false;
  }
  struct Remove {
    const wchar_t* path;
    ~Remove() { DeleteFileW(path); }
  } remove{temp};
  InputEncoding encoding = options_.input;
  {
    fw::UniqueHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
      Fail(L"<stdin>", L"无法创建临时文件 / cannot create a temporary file");
      return false;
    }
    bool stored = true;
    if (console_.InConsole()) {
      // Typed text arrives as UTF-16 and is kept as UTF-8.
      std::wstring typed;
      wchar_t units[4096];
      DWORD got = 0;
      while (ReadConsoleW(console_.In(), units, 4096, &got, nullptr) && got > 0) {
        // Ctrl+Z at the start of a line ends the text.
        std::wstring chunk(units, got);
        const size_t end = chunk.find(L'\x1A');
        typed += chunk.substr(0, end);
        if (end != std::wstring::npos) break;
      }
      const std::string bytes = Utf8FromWide(typed);
      DWORD written = 0;
      stored = bytes.empty() || (WriteFile(file.get(), bytes.data(),
                                           static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                 written == bytes.size());
      encoding.detect = false;
      encoding.encoding = EncUtf8;
    } else {
      char buffer[65536];
      DWORD got = 0;
      while (ReadFile(console_.In(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        DWORD written = 0;
        if (!WriteFile(file.get(), buffer, got, &written, nullptr) || written != got) {
          stored = false;
          break;
        }
      }
    }
    if (!stored) {
      Fail(L"<stdin>", L"无法保存标准输入 / cannot keep standard input");
      return false;
    }
  }
  encoding = EncodingFor(temp, encoding);
  ProgressLine progress(console_, false, 1, 0);
  CliConversion into(console_, progress,
                     ResolveTarget(static_cast<std::int32_t>(options_.output), encoding.encoding,
                                   encoding.codePage));
  into.encodingChosen = !options_.input.detect;
  const FileOutcome outcome =
      ConvertOneFile(engine_, temp, encoding.encoding, encoding.codePage, output_, into);
  if (outcome != FileOutcome::Done && outcome != FileOutcome::Empty) {
    const std::wstring reason = outcome == FileOutcome::WriteFailed
                                    ? L"无法写入标准输出 / could not write standard output"
                                    : OutcomeReason(outcome, into.load, encoding);
    Fail(L"<stdin>", reason);
    return false;
  }
  WarnReplacements(L"<stdin>", into.replaced);
  return true;
}

}  // namespace

int RunCli(const CliOptions& options, CliConsole& console) {
  SetConsoleCtrlHandler(&OnConsoleBreak, TRUE);
  Runner runner(options, console);
  return runner.Run();
}

int CliMain(const std::vector<std::wstring>& args) {
  CliConsole console;
  CliOptions options;
  std::wstring error;
  if (!ParseCliOptions(args, options, error)) {
    console.Error(L"tarnwell-cli: " + error);
    console.Error(L"tarnwell-cli --help 显示用法 / shows the usage");
    return kExitUsage;
  }
  if (options.help) {
    console.Print(CliHelpText());
    return kExitOk;
  }
  if (options.version) {
    console.Print(CliVersionText());
    return kExitOk;
  }
  return RunCli(options, console);
}
