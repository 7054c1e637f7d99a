#include "pages/FileJob.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <stdexcept>

#include "config/CfgStore.h"
#include "engine/ConvEngine.h"
#include "pages/UserWords.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "engine/ConvertText.h"
#include "pages/FileConvert.h"
#include "fw/Handle.h"

namespace {

constexpr LPARAM kProgressSteps = 1000;

// Zero-filled bytes, or null when the memory is not there.
std::unique_ptr<char[]> AllocZeroed(std::int32_t size) {
  std::unique_ptr<char[]> p(new (std::nothrow) char[static_cast<size_t>(size)]);
  if (p) std::memset(p.get(), 0, static_cast<size_t>(size));
  return p;
}

// The size of the file at `path`, opened as the reader will open it; 0 when
// it cannot be opened.
std::uint64_t SizeOf(const wchar_t* path) {
  fw::UniqueHandle file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

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
  worker_.PostJobMessage(CONV_BEGIN, kProgressSteps);

  auto engine = std::make_unique<ConvEngine>();
  try {
    engine->Open(direction, CurrentConvOptions(store_, direction));
  } catch (const std::runtime_error& e) {
    // A missing dictionary: say why once; every file then fails.
    ShowUtf8Message(e.what());
    engine->Close();
  }
  for (size_t i = 0; i < count && !worker_.StopRequested(); ++i) {
    const FileEntry entry = entries[i];
    worker_.PostJobMessage(CONV_FILE_BEGIN, static_cast<LPARAM>(i));
    failReason_ = 0;
    FileResult result = ConvertFile(*engine, entry, output);
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
  engine->Close();
  engine.reset();
  worker_.PostJobMessage(CONV_END, 0);
  return 0;
}

void FileJob::SumSizes(const std::vector<FileEntry>& entries) {
  totalBytes_ = 0;
  pendingBytes_ = 0;
  stepCount_ = 0;
  for (const FileEntry& entry : entries) totalBytes_ += SizeOf(entry.path);
  std::uint64_t step = totalBytes_ / kProgressSteps;
  stepBytes_ = step > static_cast<std::uint64_t>(INT32_MAX) ? INT32_MAX
                                                              : static_cast<std::int32_t>(step);
  if (stepBytes_ < 1) stepBytes_ = 1;
}

void FileJob::CountProgress(std::uint64_t rawLength) {
  pendingBytes_ += rawLength;
  if (pendingBytes_ >= static_cast<std::uint64_t>(stepBytes_)) {
    pendingBytes_ -= static_cast<std::uint64_t>(stepBytes_);
    ++stepCount_;
    worker_.PostJobMessage(CONV_STEP, 0);
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
  bool StopRequested() override { return job_.worker_.StopRequested(); }
  void LineRead(std::uint64_t rawLength) override { job_.CountProgress(rawLength); }

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
    // A source in the output folder is never appended to.
    if (IdentityOf(output_.get()).SameAs(source)) {
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
