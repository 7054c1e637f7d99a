#include "pages/FileJob.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <stdexcept>

#include "config/CfgStore.h"
#include "config/FileBytes.h"
#include "engine/ConvEngine.h"
#include "pages/UserWords.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "engine/ConvertText.h"
#include "pages/FileConvert.h"
#include "fw/Handle.h"

namespace {

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
    FileResult result = ConvertFile(engine, entry, output);
    output_.reset();
    outputPath_.clear();
    if (result == FileResult::Failed && failReason_ != 0) {
      worker_.PostJobMessage(CONV_FILE_REASON, MAKELPARAM(static_cast<WORD>(i), failReason_));
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
    return job_.WriteOutput(entry_.name, bytes, count, source_);
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
  const FileOutcome outcome =
      ConvertOneFile(engine, entry.path, entry.encoding, entry.codePage, output, into);
  if (outcome == FileOutcome::NotText) failReason_ = CONV_REASON_NOT_TEXT;
  if (outcome == FileOutcome::ReadFailed && into.load == LoadStatus::NotDiskFile) {
    failReason_ = CONV_REASON_NOT_DISK_FILE;
  }
  return outcome == FileOutcome::Done || outcome == FileOutcome::Empty ? FileResult::Done
                                                                       : FileResult::Failed;
}

bool FileJob::WriteOutput(const wchar_t* name, const char* bytes, std::int32_t count,
                          const FileIdentity& source) {
  if (!output_) {
    wchar_t folder[CfgStore::kStringUnits] = {};
    store_.ReadString(CFGKEY_OUTPUT_DIR, folder);
    std::wstring path = folder;
    if (path.empty()) return false;
    if (path.back() != L'\\') path += L'\\';
    path += name;
    if (path.size() >= MAX_PATH) return false;
    // Readers may look; no other writer may append while the file is ours.
    output_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output_) {
      if (GetLastError() == ERROR_SHARING_VIOLATION) failReason_ = CONV_REASON_OUTPUT_IN_USE;
      return false;
    }
    // No source in the output folder is ever appended to: neither this
    // file's nor any other of the queue (two files of one name, one of
    // them in the output folder, however the folder is spelled).
    const FileIdentity target = IdentityOf(output_.get());
    if (target.SameAs(source) || IsQueuedSource(target)) {
      output_.reset();
      return false;
    }
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(output_.get(), zero, nullptr, FILE_END)) {
      output_.reset();
      return false;
    }
    outputPath_ = path;
  }
  DWORD written = 0;
  const bool whole = WriteFile(output_.get(), bytes, static_cast<DWORD>(count), &written,
                               nullptr) &&
                     written == static_cast<DWORD>(count);
  if (whole) ChunkWritten(outputPath_);
  return whole;
}
