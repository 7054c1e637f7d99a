#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ConvDirection.h"
#include "fw/Handle.h"
#include "pages/FileEntry.h"
#include "pages/OutputOptions.h"
#include "textio/TextEncoder.h"

class CfgStore;
class ConvEngine;
class ConvWorker;

// The converted UTF-8 text of the file in hand, waiting to be appended to
// its output file in large chunks.
struct OutputBuffer {
  static constexpr std::int32_t kInitialCapacity = 524288;
  std::unique_ptr<char[]> bytes;
  std::int32_t capacity = 0;
  std::int32_t used = 0;
};

// The identity of an open file (volume and file index), to tell whether
// two paths name the same file.
struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool known = false;
  bool SameAs(const FileIdentity& other) const {
    return known && other.known && volume == other.volume && indexHigh == other.indexHigh &&
           indexLow == other.indexLow;
  }
};

// The body of a file page's worker: converts every queued file into its
// output, as the output options of the settings (read when the run starts)
// say: in the output folder (below it, the file's sub-folder of a dropped
// folder) or beside the source with a suffix, under the source's name or
// its conversion, in the chosen encoding, appended to an existing output,
// replacing it or beside it under the next free number. Reports to the page through the
// worker: CONV_BEGIN(1000), then per file CONV_FILE_BEGIN(i), CONV_STEP for
// progress (1000 steps over the whole run), and CONV_FILE_DONE(i),
// CONV_FILE_STOPPED(i) or CONV_FILE_FAILED(i); CONV_END last. A stop
// request ends the file in hand after the line in hand (or the piece in
// hand of a line longer than a mebibyte) and skips the rest.
//
// A file fails when its source cannot be read, is no file on a disk or
// holds no text (LooksLikeText), a line cannot be decoded or converted, a
// chunk cannot be written whole, its output file is written by another
// program, or its output would be the source itself or any other queued
// source (their identities are taken when the run starts: nothing is then
// written); the job goes on with the next file. Where the reason is one the user can act on,
// CONV_FILE_REASON comes just before CONV_FILE_FAILED; a file read with
// replacements (TReader::Replacements) gets CONV_FILE_REPLACED before its
// CONV_FILE_DONE or CONV_FILE_STOPPED. An empty source is
// no failure: it simply produces no output file.
//
// A file's output is opened at its first chunk (folder read from the
// settings then), held open for writing without write sharing while the
// file is converted, and closed at its end: no other writer can slip text
// into it meanwhile. A file that fails leaves no trace: a new output is
// removed, an appended one cut back to its old end, and a replacement is
// written beside the old file and only swapped in when whole.
class FileJob {
 public:
  FileJob(ConvWorker& worker, CfgStore& store) : worker_(worker), store_(store) {}
  virtual ~FileJob() = default;

  // Runs over `entries` (unchanged while the run lasts); returns 0.
  DWORD Run(const std::vector<FileEntry>& entries, ConvDirection direction);

  std::uint64_t TotalBytes() const { return totalBytes_; }
  std::int32_t StepBytes() const { return stepBytes_; }
  std::uint32_t StepCount() const { return stepCount_; }

  // Where the job puts a line for the user about each failed file whose
  // reason needs more than the status column (the characters an encoding
  // cannot hold): "name: ...". The page reads it after CONV_END.
  void SetDetails(std::vector<std::wstring>* details) { details_ = details; }

 protected:
  // Called after each chunk is appended, with the output file still held.
  virtual void ChunkWritten(const std::wstring& outputPath) {}

 private:
  enum class FileResult { Done, Failed };

  FileResult ConvertFile(ConvEngine& engine, const FileEntry& entry, OutputBuffer& output);
  // The file in hand's side of its conversion (FileConvert.h).
  class Conversion;
  // Appends count bytes to the output file `name`, opening it at the first
  // chunk; false when the chunk was not written whole, the output file
  // cannot be opened or is the source or another queued source.
  bool WriteOutput(const FileEntry& entry, const char* bytes, std::int32_t count,
                   const FileIdentity& source);
  // Opens the output of `entry` by the options; false (with the reason
  // set) when it cannot be had.
  bool OpenOutput(const FileEntry& entry, const FileIdentity& source);
  // The output's name and folder for `entry`.
  std::wstring OutputName(const FileEntry& entry);
  std::wstring OutputFolder(const FileEntry& entry);
  // Undoes the failed file's output; closes it in either case, and puts a
  // replacement in place when the file went well. False when that
  // replacement could not take the old file's place (the file then fails).
  bool FinishOutput(bool succeeded);
  // Counts source bytes done; posts a step when a step's worth is there
  // (every step's worth with `everyStep`, else at most one).
  void CountProgress(std::uint64_t rawLength, bool everyStep = false);
  void SumSizes(const std::vector<FileEntry>& entries);

  // Every queued source that existed when the run started.
  void IdentifySources(const std::vector<FileEntry>& entries);
  bool IsQueuedSource(const FileIdentity& file) const;

  ConvWorker& worker_;
  CfgStore& store_;
  std::vector<FileIdentity> sources_;
  // The output file of the file in hand, once its first chunk came.
  fw::UniqueHandle output_;
  std::wstring outputPath_;
  // What the file in hand's output did to what was there.
  enum class OutputKind { None, Created, Appended, Replacing } outputKind_ = OutputKind::None;
  LARGE_INTEGER oldEnd_{};           // for Appended: where the old text ended
  std::wstring replacedPath_;        // for Replacing: the file swapped out at the end
  OutputOptions options_;
  ConvDirection direction_ = Sim2Tra;
  std::int32_t standard_ = 0;
  ConvEngine* engine_ = nullptr;     // the run's, for the names
  std::unique_ptr<TextEncoder> encoder_;
  std::string encoded_;
  std::vector<std::wstring>* details_ = nullptr;
  // Why the file in hand failed, when the user can be told (0: no word).
  WORD failReason_ = 0;
  // Places of the file in hand's source that became U+FFFD.
  std::uint64_t replaced_ = 0;
  std::uint64_t totalBytes_ = 0;
  std::uint64_t pendingBytes_ = 0;
  std::int32_t stepBytes_ = 1;
  std::uint32_t stepCount_ = 0;
};

// The identity of the file at `path`, or an unknown one when it cannot be
// opened.
FileIdentity IdentifyFile(const wchar_t* path);
