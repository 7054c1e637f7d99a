#include "pages/FileJob.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <stdexcept>
#include <utility>

#include "config/CfgStore.h"
#include "config/FileBytes.h"
#include "engine/ConvEngine.h"
#include "pages/UserWords.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "engine/ConvertText.h"
#include "pages/FileConvert.h"
#include "fw/Handle.h"
#include "pages/OutputOptions.h"
#include "textio/TextEncoder.h"

#include <shlobj.h>

namespace {

std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring WideOf(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The reason the status column gives for an outcome, when the job did not
// find a more precise one.
WORD ReasonFor(FileOutcome outcome, LoadStatus load) {
  switch (outcome) {
    case FileOutcome::NotText: return CONV_REASON_NOT_TEXT;
    case FileOutcome::ReadFailed:
      return load == LoadStatus::NotDiskFile ? CONV_REASON_NOT_DISK_FILE : CONV_REASON_CANNOT_READ;
    case FileOutcome::Undecodable: return CONV_REASON_UNDECODABLE;
    case FileOutcome::NoEngine: return CONV_REASON_NO_ENGINE;
    case FileOutcome::NoMemory: return CONV_REASON_NO_MEMORY;
    case FileOutcome::LineTooLong: return CONV_REASON_LINE_TOO_LONG;
    case FileOutcome::WriteFailed: return CONV_REASON_CANNOT_WRITE;
    default: return 0;
  }
}

constexpr LPARAM kProgressSteps = 1000;

FileIdentity IdentityOf(HANDLE file) {
  FileIdentity id;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file, &info)) {
    id.volume = info.dwVolumeSerialNumber;
    id.indexHigh = info.nFileIndexHigh;
    id.indexLow = info.nFileIndexLow;
    id.known = true;
  }
  return id;
}

}  // namespace

FileIdentity IdentifyFile(const wchar_t* path) {
  fw::UniqueHandle file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file ? IdentityOf(file.get()) : FileIdentity{};
}

DWORD FileJob::Run(const std::vector<FileEntry>& entries, ConvDirection direction) {
  const size_t count = entries.size();
  OutputBuffer output;
  output.bytes = AllocZeroed(OutputBuffer::kInitialCapacity);
  output.capacity = output.bytes ? OutputBuffer::kInitialCapacity : 0;

  SumSizes(entries);
  IdentifySources(entries);
  options_ = ReadOutputOptions(store_);
  direction_ = direction;
  standard_ = StoredStandard(store_);
  worker_.PostJobMessage(CONV_BEGIN, kProgressSteps);

  ConvEngine engine;
  try {
    engine.Open(direction, CurrentConvOptions(store_, direction));
    // Lines skipped in the word list: the page says so after the run.
    const std::string words = engine.TakeWordListReport();
    if (!words.empty()) worker_.ReportProblem(words.c_str());
  } catch (const std::runtime_error& e) {
    // A missing dictionary: the page says why once, after the run; every
    // file then fails.
    worker_.ReportProblem(e.what());
    engine.Close();
  }
  for (size_t i = 0; i < count && !worker_.StopRequested(); ++i) {
    const FileEntry entry = entries[i];
    worker_.PostJobMessage(CONV_FILE_BEGIN, static_cast<LPARAM>(i));
    failReason_ = 0;
    replaced_ = 0;
    engine_ = &engine;
    FileResult result = ConvertFile(engine, entry, output);
    // A stopped file keeps what it wrote, except that a replacement cut
    // short never takes the old output's place.
    if (result == FileResult::Done && worker_.StopRequested() &&
        outputKind_ == OutputKind::Replacing) {
      FinishOutput(false);
    } else if (!FinishOutput(result == FileResult::Done)) {
      result = FileResult::Failed;  // the replacement could not take the old file's place
    }
    if (result == FileResult::Failed && failReason_ != 0) {
      worker_.PostJobMessage(ConvCode(CONV_FILE_REASON, failReason_), static_cast<LPARAM>(i));
    }
    if (result == FileResult::Done && replaced_ > 0) {
      const WORD count = replaced_ >= 0xFFFF ? WORD{0xFFFF} : static_cast<WORD>(replaced_);
      worker_.PostJobMessage(ConvCode(CONV_FILE_REPLACED, count), static_cast<LPARAM>(i));
    }
    WPARAM code = result == FileResult::Failed ? CONV_FILE_FAILED
                  : worker_.StopRequested()    ? CONV_FILE_STOPPED
                                               : CONV_FILE_DONE;
    worker_.PostJobMessage(code, static_cast<LPARAM>(i));
  }
  engine.Close();
  worker_.PostJobMessage(CONV_END, 0);
  return 0;
}

void FileJob::SumSizes(const std::vector<FileEntry>& entries) {
  totalBytes_ = 0;
  pendingBytes_ = 0;
  stepCount_ = 0;
  for (const FileEntry& entry : entries) totalBytes_ += FileSizeOf(entry.path);
  std::uint64_t step = totalBytes_ / kProgressSteps;
  stepBytes_ = step > static_cast<std::uint64_t>(INT32_MAX) ? INT32_MAX
                                                              : static_cast<std::int32_t>(step);
  if (stepBytes_ < 1) stepBytes_ = 1;
}

void FileJob::IdentifySources(const std::vector<FileEntry>& entries) {
  sources_.clear();
  for (const FileEntry& entry : entries) {
    FileIdentity id = IdentifyFile(entry.path);
    if (id.known) sources_.push_back(id);
  }
}

bool FileJob::IsQueuedSource(const FileIdentity& file) const {
  for (const FileIdentity& source : sources_) {
    if (source.SameAs(file)) return true;
  }
  return false;
}

void FileJob::CountProgress(std::uint64_t rawLength, bool everyStep) {
  pendingBytes_ += rawLength;
  while (pendingBytes_ >= static_cast<std::uint64_t>(stepBytes_)) {
    pendingBytes_ -= static_cast<std::uint64_t>(stepBytes_);
    ++stepCount_;
    worker_.PostJobMessage(CONV_STEP, 0);
    if (!everyStep) break;
  }
}

// Stop requests and progress go through the worker, chunks are appended
// to the output file.
class FileJob::Conversion : public FileConversion {
 public:
  Conversion(FileJob& job, const FileEntry& entry, const FileIdentity& source)
      : job_(job), entry_(entry), source_(source) {}
  bool Write(const char* bytes, std::int32_t count) override {
    return job_.WriteOutput(entry_, bytes, count, source_);
  }
  bool StopRequested() override { return job_.worker_.WaitIfHeldThenStopRequested(); }
  void LineRead(std::uint64_t rawLength) override { job_.CountProgress(rawLength); }
  void PieceRead(std::uint64_t rawLength) override { job_.CountProgress(rawLength, true); }

 private:
  FileJob& job_;
  const FileEntry& entry_;
  const FileIdentity& source_;
};

FileJob::FileResult FileJob::ConvertFile(ConvEngine& engine, const FileEntry& entry,
                                         OutputBuffer& output) {
  // Taken before the source is read, to make sure no chunk is ever
  // appended to the source itself.
  const FileIdentity source = IdentifyFile(entry.path);
  Conversion into(*this, entry, source);
  into.encodingChosen = entry.chosenByHand;
  encoder_ = std::make_unique<TextEncoder>(
      ResolveTarget(options_.encoding, entry.encoding, entry.codePage));
  const FileOutcome outcome =
      ConvertOneFile(engine, entry.path, entry.encoding, entry.codePage, output, into);
  if (failReason_ == 0) failReason_ = ReasonFor(outcome, into.load);
  replaced_ = into.replaced;
  return outcome == FileOutcome::Done || outcome == FileOutcome::Empty ? FileResult::Done
                                                                       : FileResult::Failed;
}

std::wstring FileJob::OutputName(const FileEntry& entry) {
  std::wstring name = entry.name;
  if (options_.convertNames && engine_ != nullptr && engine_->Handle() != -1) {
    try {
      std::string converted;
      const std::string utf8 = Utf8Of(name);
      engine_->Convert(utf8.data(), utf8.size(), converted);
      const std::wstring wide = WideOf(converted);
      // A converted name is only taken when it is still a plain name.
      if (!wide.empty() && wide.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos) name = wide;
    } catch (const std::exception&) {
      // The name stays as it is.
    }
  }
  if (options_.place == OUTPLACE_BESIDE_SOURCE) {
    name = InsertBeforeExtension(name, BesideSourceSuffix(direction_, standard_));
  }
  return name;
}

std::wstring FileJob::OutputFolder(const FileEntry& entry) {
  if (options_.place == OUTPLACE_BESIDE_SOURCE) {
    std::wstring folder = entry.path;
    const size_t cut = folder.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut + 1);
  }
  wchar_t stored[CfgStore::kStringUnits] = {};
  store_.ReadString(CFGKEY_OUTPUT_DIR, stored);
  std::wstring folder = stored;
  if (folder.empty()) return folder;
  if (folder.back() != L'\\') folder += L'\\';
  folder += entry.subFolder;
  return folder;
}

bool FileJob::OpenOutput(const FileEntry& entry, const FileIdentity& source) {
  const std::wstring folder = OutputFolder(entry);
  if (folder.empty()) {
    failReason_ = CONV_REASON_CANNOT_WRITE;
    return false;
  }
  if (entry.subFolder[0] != L'\0' && options_.place == OUTPLACE_FOLDER && !Exists(folder)) {
    // A dropped folder's sub-folder, made under the output folder (never
    // the output folder itself: a missing one fails as before).
    std::wstring base = folder.substr(0, folder.size() - wcslen(entry.subFolder));
    if (Exists(base)) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  }
  const std::wstring name = OutputName(entry);
  std::wstring path = folder + name;
  if (path.size() >= MAX_PATH) {
    failReason_ = CONV_REASON_CANNOT_WRITE;
    return false;
  }
  // An existing output that is a queued source is never appended to or
  // replaced (keeping both leaves it alone anyway).
  const FileIdentity existing =
      options_.existing == EXISTING_KEEP_BOTH ? FileIdentity{} : IdentifyFile(path.c_str());
  if (existing.known && (existing.SameAs(source) || IsQueuedSource(existing))) {
    failReason_ = CONV_REASON_WOULD_OVERWRITE_SOURCE;
    return false;
  }
  const bool exists = Exists(path);
  outputKind_ = OutputKind::Created;
  std::wstring open = path;
  DWORD disposition = CREATE_NEW;
  if (exists) {
    switch (options_.existing) {
      case EXISTING_REPLACE:
        // Written beside the old file, swapped in when whole.
        outputKind_ = OutputKind::Replacing;
        replacedPath_ = path;
        open = path + L".tarnwell-part";
        disposition = CREATE_ALWAYS;
        break;
      case EXISTING_KEEP_BOTH:
        for (int n = 2; Exists(open); ++n) {
          open = folder + NumberedName(name, n);
          if (open.size() >= MAX_PATH || n > 9999) {
            failReason_ = CONV_REASON_CANNOT_WRITE;
            return false;
          }
        }
        break;
      default:
        outputKind_ = OutputKind::Appended;
        disposition = OPEN_EXISTING;
        break;
    }
  }
  // Readers may look; no other writer may append while the file is ours.
  output_.reset(CreateFileW(open.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output_) {
    failReason_ = GetLastError() == ERROR_SHARING_VIOLATION ? CONV_REASON_OUTPUT_IN_USE
                                                            : CONV_REASON_CANNOT_WRITE;
    outputKind_ = OutputKind::None;
    return false;
  }
  // No source is ever written to: neither this file's nor any other of
  // the queue, however the folder is spelled (checked again on the open
  // file, which cannot change under us now).
  const FileIdentity target = IdentityOf(output_.get());
  if (target.SameAs(source) || IsQueuedSource(target)) {
    output_.reset();
    outputKind_ = OutputKind::None;
    failReason_ = CONV_REASON_WOULD_OVERWRITE_SOURCE;
    return false;
  }
  if (!SetFilePointerEx(output_.get(), LARGE_INTEGER{}, &oldEnd_, FILE_END)) {
    FinishOutput(false);
    failReason_ = CONV_REASON_CANNOT_WRITE;
    return false;
  }
  outputPath_ = open;
  return true;
}

bool FileJob::FinishOutput(bool succeeded) {
  const OutputKind kind = std::exchange(outputKind_, OutputKind::None);
  if (!output_) {
    outputPath_.clear();
    return true;
  }
  if (!succeeded && kind == OutputKind::Appended) {
    SetFilePointerEx(output_.get(), oldEnd_, nullptr, FILE_BEGIN);
    SetEndOfFile(output_.get());
  }
  output_.reset();
  if (!succeeded && (kind == OutputKind::Created || kind == OutputKind::Replacing)) {
    DeleteFileW(outputPath_.c_str());
  }
  bool finished = true;
  if (succeeded && kind == OutputKind::Replacing &&
      !MoveFileExW(outputPath_.c_str(), replacedPath_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    // The old output is held by another program: it stays as it was, and
    // the file fails without leaving its part behind.
    const DWORD error = GetLastError();
    DeleteFileW(outputPath_.c_str());
    failReason_ = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED
                      ? CONV_REASON_OUTPUT_IN_USE
                      : CONV_REASON_CANNOT_WRITE;
    finished = false;
  }
  outputPath_.clear();
  return finished;
}

bool FileJob::WriteOutput(const FileEntry& entry, const char* bytes, std::int32_t count,
                          const FileIdentity& source) {
  if (!encoder_->Encode(bytes, static_cast<size_t>(count), encoded_)) {
    failReason_ = CONV_REASON_ENCODING;
    if (details_ != nullptr) {
      std::wstring line = entry.name;
      line += encoder_->Missing().empty()
                  ? L": 转换结果无法写成所选的输出编码。"
                  : L": 所选的输出编码无法表示 " + encoder_->DescribeMissing() + L"。";
      details_->push_back(line);
    }
    return false;
  }
  if (!output_ && !OpenOutput(entry, source)) return false;
  DWORD written = 0;
  const bool whole = WriteFile(output_.get(), encoded_.data(), static_cast<DWORD>(encoded_.size()),
                               &written, nullptr) &&
                     written == static_cast<DWORD>(encoded_.size());
  if (!whole) {
    failReason_ = CONV_REASON_CANNOT_WRITE;
    return false;
  }
  ChunkWritten(outputPath_);
  return true;
}
