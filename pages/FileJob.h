#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/FileEntry.h"
#include "pipeline/FileTask.h"
#include "pipeline/RunSettings.h"

class ConvEngine;
class ConvWorker;

// The file pages' driver over the conversion pipeline (pipeline/FileTask.h):
// converts every queued file into its output by the settings the page read
// when the run started, and reports to the page through the worker:
// CONV_BEGIN(1000), then per file CONV_FILE_BEGIN(i), CONV_STEP for
// progress (1000 steps over the whole run, told through
// ConvWorker::PostSteps: a step message waits until the page took the last), and CONV_FILE_DONE(i),
// CONV_FILE_STOPPED(i) or CONV_FILE_FAILED(i); CONV_END last. A stop
// request ends the file in hand after the line in hand (or the piece in
// hand of a line longer than a mebibyte; for a file converted ahead of its
// turn in memory, pipeline/ReadAhead.h, or in parts, after the chunk or
// part in hand) and skips the rest; the stopped
// file keeps what it wrote, except that a replacement cut short never
// takes the old output's place.
//
// Where the reason is one the user can act on, CONV_FILE_REASON comes just
// before CONV_FILE_FAILED; CONV_FILE_REASON with CONV_NOTE_NUMBERED comes
// before the CONV_FILE_DONE of a file whose output took a number because
// another file of the run had made an output of its name, and
// CONV_FILE_REASON with CONV_NOTE_EARLIER_OUTPUT before the CONV_FILE_DONE
// of a file left unconverted because it is the earlier output, beside it,
// of another queued file (which writes it by the rule for an output that
// is there). An empty source
// is no failure: it produces no output file (or, replacing, an empty one).
// A file read with replacements (TReader::Replacements) gets
// CONV_FILE_REPLACED before its CONV_FILE_DONE or CONV_FILE_STOPPED.
class FileJob {
 public:
  explicit FileJob(ConvWorker& worker) : worker_(worker) {}
  virtual ~FileJob() = default;

  // Runs over `entries` (unchanged while the run lasts) with `settings`
  // (taken when the run started); returns 0.
  DWORD Run(const std::vector<FileEntry>& entries, const RunSettings& settings);

  std::uint64_t TotalBytes() const { return totalBytes_; }
  std::int32_t StepBytes() const { return stepBytes_; }
  std::uint32_t StepCount() const { return stepCount_.load(); }

  // Where the job puts a line for the user about each failed file whose
  // reason needs more than the status column (the characters an encoding
  // cannot hold): "name: ...". The page reads it after CONV_END.
  void SetDetails(std::vector<std::wstring>* details) { details_ = details; }
  // Where the job lists the outputs it wrote, in order (the page opens
  // their folder); read after CONV_END.
  void SetOutputs(std::vector<std::wstring>* outputs) { outputs_ = outputs; }

 protected:
  // Called after each chunk is appended, with the output file still held.
  virtual void ChunkWritten(const std::wstring& outputPath) {}

 private:
  class Hooks;
  void OpenEngine(ConvEngine& engine, const RunSettings& settings);
  void ReportFile(size_t index, const FileEntry& entry, const FileReport& report);
  // Counts source bytes done; posts a step when a step's worth is there
  // (every step's worth with `everyStep`, else at most one).
  void CountProgress(std::uint64_t rawLength, bool everyStep = false);
  // A step is a thousandth of `totalBytes`, the run's source bytes.
  void SetStepBytes(std::uint64_t totalBytes);

  ConvWorker& worker_;
  std::vector<std::wstring>* details_ = nullptr;
  std::vector<std::wstring>* outputs_ = nullptr;
  std::uint64_t totalBytes_ = 0;
  std::uint64_t pendingBytes_ = 0;
  std::int32_t stepBytes_ = 1;
  std::atomic<std::uint32_t> stepCount_{0};
};
