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
#include "pages/FileConvert.h"
#include "pages/FileDrop.h"
#include "pages/FileJob.h"
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

// One source and where its converted text goes.
struct WorkItem {
  std::wstring source;
  std::wstring output;
};

bool IsFolder(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WithSlash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return path;
  full.resize(got);
  return full;
}

std::wstring NameOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}


// The .txt files of `folder` (and of its sub-folders when `recurse`), as
// paths relative to it, in the order the Explorer lists them.
void ListTxtFiles(const std::wstring& folder, const std::wstring& relative, bool recurse,
                  std::vector<std::wstring>& out) {
  std::vector<std::wstring> files, folders;
  WIN32_FIND_DATAW found{};
  fw::UniqueFindHandle search(
      FindFirstFileW((WithSlash(folder + relative) + L"*").c_str(), &found));
  if (!search) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Links to folders are not followed: they may loop.
      if (recurse && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        folders.push_back(name);
      }
    } else if (HasTextExtension(name.c_str())) {
      files.push_back(name);
    }
  } while (FindNextFileW(search.get(), &found));
  search.reset();
  auto logical = [](const std::wstring& a, const std::wstring& b) {
    return StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
  };
  std::sort(files.begin(), files.end(), logical);
  std::sort(folders.begin(), folders.end(), logical);
  for (const std::wstring& f : files) out.push_back(relative + f);
  for (const std::wstring& d : folders) ListTxtFiles(folder, relative + d + L"\\", recurse, out);
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

std::wstring OutcomeReason(FileOutcome outcome, const FileConversion& conversion,
                           const InputEncoding& encoding) {
  switch (outcome) {
    case FileOutcome::NoMemory: return L"内存不足 / out of memory";
    case FileOutcome::ReadFailed: return LoadReason(conversion.load);
    case FileOutcome::NoEngine: return L"转换引擎未能启动 / the converter did not start";
    case FileOutcome::Undecodable:
      return L"内容不是有效的 " + EncodingLabel(encoding) + L" 文本 / not valid " +
             EncodingLabel(encoding) + L" text";
    case FileOutcome::LineTooLong: return L"某一行太长 / a line is too long";
    case FileOutcome::NotText: return L"不是文本文件 / not a text file";
    case FileOutcome::WriteFailed: return L"无法写入输出 / could not write the output";
    default: return L"";
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

// Chunks go to an open handle (an output file), or to standard output.
class CliConversion : public FileConversion {
 public:
  CliConversion(HANDLE file, CliConsole* console, ProgressLine& progress,
                const TargetEncoding& target = {})
      : file_(file), console_(console), progress_(progress), encoder_(target) {}
  bool Write(const char* bytes, std::int32_t count) override {
    if (!encoder_.Encode(bytes, static_cast<size_t>(count), encoded_)) {
      unrepresentable_ = true;
      return false;
    }
    const auto n = static_cast<std::int32_t>(encoded_.size());
    if (console_ != nullptr) return console_->WriteOut(encoded_.data(), n);
    DWORD written = 0;
    return WriteFile(file_, encoded_.data(), static_cast<DWORD>(n), &written, nullptr) &&
           written == static_cast<DWORD>(n);
  }
  // After a failed write: whether the encoding could not hold the text, and which characters.
  bool Unrepresentable() const { return unrepresentable_; }
  std::wstring Missing() const { return encoder_.DescribeMissing(); }
  bool StopRequested() override { return g_interrupted.load(); }
  void LineRead(std::uint64_t rawLength) override { progress_.Bytes(rawLength); }

 private:
  HANDLE file_;
  CliConsole* console_;
  ProgressLine& progress_;
  TextEncoder encoder_;
  std::string encoded_;
  bool unrepresentable_ = false;
};

class Runner {
 public:
  Runner(const CliOptions& options, CliConsole& console) : options_(options), console_(console) {}

  int Run();

 private:
  bool Plan(std::vector<WorkItem>& items);
  bool ConvertItem(const WorkItem& item, ProgressLine& progress);
  bool ConvertStandardInput();
  bool OpenEngine();
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
    // The generic standard, opened by name as the pages open it.
    if (engine_.Open(options_.direction, ConvOptions{})) return true;
  } catch (const std::runtime_error& e) {
    console_.Error(L"tarnwell-cli: " + WideFromUtf8(e.what(), static_cast<std::int32_t>(
                                                                 std::strlen(e.what()))));
    return false;
  }
  console_.Error(L"tarnwell-cli: 转换引擎未能启动 / the converter did not start");
  return false;
}

// Which output each source gets. False (after saying why) on a usage error.
bool Runner::Plan(std::vector<WorkItem>& items) {
  const bool single = options_.inputs.size() == 1 && !IsFolder(options_.inputs[0]);
  const std::wstring& o = options_.outputPath;
  const bool oNamesFolder = o.empty() || IsFolder(o) || o.back() == L'\\' || o.back() == L'/';
  if (single && !oNamesFolder) {
    items.push_back({options_.inputs[0], o});
    return true;
  }
  if (!o.empty() && !IsFolder(o) && Exists(o)) {
    console_.Error(L"tarnwell-cli: " + o +
                   L": 不是文件夹; 多个输入需要输出文件夹 / not a folder; several inputs need an "
                   L"output folder");
    return false;
  }
  const std::wstring folder = WithSlash(o.empty() ? L"." : o);
  for (const std::wstring& input : options_.inputs) {
    if (IsFolder(input)) {
      std::vector<std::wstring> relative;
      ListTxtFiles(WithSlash(input), L"", options_.recurse, relative);
      for (const std::wstring& r : relative) items.push_back({WithSlash(input) + r, folder + r});
    } else {
      items.push_back({input, folder + NameOf(input)});
    }
  }
  return true;
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
  std::vector<WorkItem> items;
  if (!Plan(items)) return kExitUsage;
  if (items.empty()) {
    // Folders without text files: nothing failed, but say so.
    console_.Error(L"tarnwell-cli: 没有可转换的文本文件 / no text files to convert");
    return kExitOk;
  }
  if (!OpenEngine()) return kExitSomeFailed;
  std::uint64_t total = 0;
  for (const WorkItem& item : items) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(item.source.c_str(), GetFileExInfoStandard, &data)) {
      total += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
  }
  ProgressLine progress(console_, !options_.quiet, items.size(), total);
  for (const WorkItem& item : items) {
    if (g_interrupted.load()) break;
    ConvertItem(item, progress);
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

bool Runner::ConvertItem(const WorkItem& item, ProgressLine& progress) {
  const std::wstring& source = item.source;
  const DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Fail(source, L"找不到文件 / no such file");
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    Fail(source, L"是文件夹 / is a folder");
    return false;
  }
  const bool exists = Exists(item.output);
  if (exists && IsFolder(item.output)) {
    Fail(item.output, L"输出位置是文件夹 / the output is a folder");
    return false;
  }
  if (exists && IdentifyFile(source.c_str()).SameAs(IdentifyFile(item.output.c_str()))) {
    Fail(source, L"输出文件就是源文件, 请用 -o 指定其他位置 / the output would be the source "
                 L"itself; choose another place with -o");
    return false;
  }
  if (exists && options_.existing == ExistingOutput::Refuse) {
    Fail(item.output, L"输出文件已存在 (可用 --overwrite 或 --append) / the output exists (use "
                      L"--overwrite or --append)");
    return false;
  }
  // The output's folder (sub-folders of -r included).
  const size_t cut = item.output.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0) {
    const std::wstring folder = FullPath(item.output.substr(0, cut + 1));
    if (!IsFolder(folder) && SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr) != ERROR_SUCCESS) {
      Fail(item.output, L"无法创建输出文件夹 / cannot create the output folder");
      return false;
    }
  }

  // A replaced file is written beside it first and swapped in when whole;
  // an appended file is cut back to its old end when the conversion fails;
  // a new file is removed. A failure never leaves a half-converted file.
  const bool replace = exists && options_.existing == ExistingOutput::Overwrite;
  const bool append = exists && options_.existing == ExistingOutput::Append;
  const std::wstring target = replace ? item.output + L".tarnwell-part" : item.output;
  fw::UniqueHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr,
                                    append ? OPEN_EXISTING : (replace ? CREATE_ALWAYS : CREATE_NEW),
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    Fail(item.output, L"无法创建输出文件 / cannot create the output file");
    return false;
  }
  LARGE_INTEGER oldEnd{};
  if (append) SetFilePointerEx(file.get(), LARGE_INTEGER{}, &oldEnd, FILE_END);

  const InputEncoding encoding = EncodingFor(source, options_.input);
  CliConversion into(file.get(), nullptr, progress,
                     ResolveTarget(static_cast<std::int32_t>(options_.output), encoding.encoding,
                                   encoding.codePage));
  const FileOutcome outcome = ConvertOneFile(engine_, source.c_str(), encoding.encoding,
                                             encoding.codePage, output_, into);
  const bool ok = (outcome == FileOutcome::Done || outcome == FileOutcome::Empty) &&
                  !g_interrupted.load();
  if (!ok) {
    if (append) {
      SetFilePointerEx(file.get(), oldEnd, nullptr, FILE_BEGIN);
      SetEndOfFile(file.get());
      file.reset();
    } else {
      file.reset();
      DeleteFileW(target.c_str());
    }
    if (g_interrupted.load()) {
    } else if (into.Unrepresentable()) {
      Fail(source, L"输出编码无法表示 / the output encoding cannot hold " + into.Missing());
    } else {
      Fail(source, OutcomeReason(outcome, into, encoding));
    }
    return false;
  }
  file.reset();
  if (replace && !MoveFileExW(target.c_str(), item.output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(target.c_str());
    Fail(item.output, L"无法替换输出文件 / cannot replace the output file");
    return false;
  }
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
  CliConversion into(nullptr, &console_, progress,
                     ResolveTarget(static_cast<std::int32_t>(options_.output), encoding.encoding,
                                   encoding.codePage));
  const FileOutcome outcome =
      ConvertOneFile(engine_, temp, encoding.encoding, encoding.codePage, output_, into);
  if (outcome != FileOutcome::Done && outcome != FileOutcome::Empty) {
    const std::wstring reason = outcome == FileOutcome::WriteFailed
                                    ? L"无法写入标准输出 / could not write standard output"
                                    : OutcomeReason(outcome, into, encoding);
    Fail(L"<stdin>", reason);
    return false;
  }
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
