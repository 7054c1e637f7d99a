#pragma once
// One source of a run, from its reading to its output: planned, converted
// (FileConvert.h), written by the safe writer (OutputFile.h), and then
// committed or undone. The file pages' job and the command line both drive
// their runs through this, one file at a time.
#include <cstdint>
#include <string>

#include "pipeline/FileConvert.h"
#include "pipeline/OutputFile.h"
#include "pipeline/OutputPlanner.h"

class ConvEngine;
struct ConvertedAhead;

// What steers the file in hand, and what is told of it.
class FileTaskHooks {
 public:
  virtual ~FileTaskHooks() = default;
  // Asked between lines (it may wait there): true ends the file after the
  // line in hand.
  virtual bool StopRequested() { return false; }
  // Whether a stop was asked, without waiting.
  virtual bool Stopped() const { return false; }
  virtual void LineRead(std::uint64_t rawLength) {}
  virtual void PieceRead(std::uint64_t rawLength) { LineRead(rawLength); }
  // After each chunk, with the output still held.
  virtual void ChunkWritten(const std::wstring& writtenPath) {}
};

// What a stopped file leaves: what it wrote (the pages: the user sees how
// far it came), or nothing (the command line: an interrupted file fails).
enum class StoppedFile { KeepsOutput, LeavesNothing };

// How one file went.
struct FileReport {
  FileOutcome outcome = FileOutcome::Done;
  OutputError error = OutputError::None;  // what the output said, when it was at fault
  LoadStatus load = LoadStatus::NotLoaded;
  bool stopped = false;
  bool numbered = false;   // the output took a number: an output of the run had its name
  std::wstring output;     // the output's path, when one was written
  std::wstring missing;    // after OutputError::Encoding: the characters, with their lines
  std::uint64_t replaced = 0;  // places of the source that were no text and became U+FFFD
  // Not converted: the earlier output of this queued source, which writes it
  // (OutputPlanner::EarlierOutputOf).
  std::wstring outputOf;
  bool Succeeded() const { return outcome == FileOutcome::Done || outcome == FileOutcome::Empty; }
};

// Converts `source` into its output, or with `ahead` hands on what was
// converted of it ahead of its turn (ReadAhead.h).
FileReport ConvertToOutput(ConvEngine& engine, const SourceFile& source, OutputPlanner& planner,
                           OutputBuffer& buffer, FileTaskHooks& hooks, StoppedFile stopped,
                           const ConvertedAhead* ahead = nullptr);
