#include "pages/FileJob.h"

#include <memory>
#include <stdexcept>

#include "engine/ConvEngine.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "pipeline/ReadAhead.h"

namespace {

constexpr LPARAM kProgressSteps = 1000;

// The reason the status column gives for a failed file.
WORD ReasonFor(const FileReport& report) {
  switch (report.error) {
    case OutputError::Encoding: return CONV_REASON_ENCODING;
    case OutputError::WouldOverwriteSource: return CONV_REASON_WOULD_OVERWRITE_SOURCE;
    case OutputError::InUse: return CONV_REASON_OUTPUT_IN_USE;
    case OutputError::CannotAppend: return CONV_REASON_CANNOT_APPEND;
    case OutputError::None: break;
    default: return CONV_REASON_CANNOT_WRITE;
  }
  switch (report.outcome) {
    case FileOutcome::NotText: return CONV_REASON_NOT_TEXT;
    case FileOutcome::ReadFailed:
      return report.load == LoadStatus::NotDiskFile ? CONV_REASON_NOT_DISK_FILE
                                                    : CONV_REASON_CANNOT_READ;
    case FileOutcome::Undecodable: return CONV_REASON_UNDECODABLE;
    case FileOutcome::NoEngine: return CONV_REASON_NO_ENGINE;
    case FileOutcome::NoMemory: return CONV_REASON_NO_MEMORY;
    case FileOutcome::LineTooLong: return CONV_REASON_LINE_TOO_LONG;
    case FileOutcome::WriteFailed: return CONV_REASON_CANNOT_WRITE;
    default: return 0;
  }
}

SourceFile SourceOf(const FileEntry& entry) {
  return SourceFile{entry.path, entry.subFolder, entry.encoding, entry.codePage,
                    entry.chosenByHand};
}

}  // namespace

// Stop requests and progress go through the worker.
class FileJob::Hooks : public FileTaskHooks {
 public:
  explicit Hooks(FileJob& job) : job_(job) {}
  bool StopRequested() override { return job_.worker_.WaitIfHeldThenStopRequested(); }
  bool Stopped() const override { return job_.worker_.StopRequested(); }
  void LineRead(std::uint64_t rawLength) override { job_.CountProgress(rawLength); }
  void PieceRead(std::uint64_t rawLength) override { job_.CountProgress(rawLength, true); }
  void ChunkWritten(const std::wstring& path) override { job_.ChunkWritten(path); }

 private:
  FileJob& job_;
};

DWORD FileJob::Run(const std::vector<FileEntry>& entries, const RunSettings& settings) {
  OutputBuffer output;
  output.TakeInitialRoom();

  std::vector<std::wstring> paths;
  std::vector<SourceFile> sources;
  for (const FileEntry& entry : entries) {
    paths.emplace_back(entry.path);
    sources.push_back(SourceOf(entry));
  }
  worker_.PostJobMessage(CONV_BEGIN, kProgressSteps);

  ConvEngine engine;
  OpenEngine(engine, settings);
  // The planner opens every source once at the start: it also sums their sizes.
  OutputPlanner planner(settings, paths, &engine);
  SetStepBytes(planner.SourceBytes());
  Hooks hooks(*this);
  {
    // An earlier output of another source is never read.
    std::vector<bool> readable;
    for (const std::wstring& path : paths) readable.push_back(planner.EarlierOutputOf(path) == nullptr);
    ReadAhead ahead(engine, sources, readable);
    for (size_t i = 0; i < entries.size() && !worker_.StopRequested(); ++i) {
      worker_.PostJobMessage(CONV_FILE_BEGIN, static_cast<LPARAM>(i));
      const std::unique_ptr<ConvertedAhead> converted = ahead.Take(i, hooks);
      const FileReport report = ConvertToOutput(engine, sources[i], planner, output, hooks,
                                                StoppedFile::KeepsOutput, converted.get());
      ReportFile(i, entries[i], report);
    }
  }
  engine.Close();
  worker_.PostJobMessage(CONV_END, 0);
  return 0;
}

void FileJob::OpenEngine(ConvEngine& engine, const RunSettings& settings) {
  try {
    engine.Open(settings.direction, settings.conversion);
    // Lines skipped in the word list: the page says so after the run.
    const std::string words = engine.TakeWordListReport();
    if (!words.empty()) worker_.ReportProblem(words.c_str());
  } catch (const std::runtime_error& e) {
    // A missing dictionary: the page says why once, after the run; every
    // file then fails.
    worker_.ReportProblem(e.what());
    engine.Close();
  }
}

void FileJob::ReportFile(size_t index, const FileEntry& entry, const FileReport& report) {
  const auto row = static_cast<LPARAM>(index);
  if (!report.output.empty() && outputs_ != nullptr) outputs_->push_back(report.output);
  if (!report.Succeeded()) {
    const WORD reason = ReasonFor(report);
    if (report.error == OutputError::Encoding && details_ != nullptr) {
      std::wstring line = entry.name;
      line += report.missing.empty() ? L": 转换结果无法写成所选的输出编码。"
                                     : L": 所选的输出编码无法表示 " + report.missing + L"。";
      details_->push_back(line);
    }
    if (reason != 0) worker_.PostJobMessage(ConvCode(CONV_FILE_REASON, reason), row);
    worker_.PostJobMessage(CONV_FILE_FAILED, row);
    return;
  }
  if (report.replaced > 0) {
    const WORD count = report.replaced >= 0xFFFF ? WORD{0xFFFF} : static_cast<WORD>(report.replaced);
    worker_.PostJobMessage(ConvCode(CONV_FILE_REPLACED, count), row);
  }
  if (report.stopped) {
    worker_.PostJobMessage(CONV_FILE_STOPPED, row);
    return;
  }
  if (report.numbered) {
    worker_.PostJobMessage(ConvCode(CONV_FILE_REASON, CONV_NOTE_NUMBERED), row);
  } else if (!report.outputOf.empty()) {
    worker_.PostJobMessage(ConvCode(CONV_FILE_REASON, CONV_NOTE_EARLIER_OUTPUT), row);
  }
  worker_.PostJobMessage(CONV_FILE_DONE, row);
}

void FileJob::SetStepBytes(std::uint64_t totalBytes) {
  totalBytes_ = totalBytes;
  pendingBytes_ = 0;
  stepCount_ = 0;
  std::uint64_t step = totalBytes_ / kProgressSteps;
  stepBytes_ = step > static_cast<std::uint64_t>(INT32_MAX) ? INT32_MAX
                                                              : static_cast<std::int32_t>(step);
  if (stepBytes_ < 1) stepBytes_ = 1;
}

void FileJob::CountProgress(std::uint64_t rawLength, bool everyStep) {
  pendingBytes_ += rawLength;
  bool stepped = false;
  while (pendingBytes_ >= static_cast<std::uint64_t>(stepBytes_)) {
    pendingBytes_ -= static_cast<std::uint64_t>(stepBytes_);
    ++stepCount_;
    stepped = true;
    if (!everyStep) break;
  }
  if (stepped) worker_.PostSteps(stepCount_.load());
}
