#pragma once
// The small sources of a run, converted ahead of their turn on a second
// thread into memory. While the job's thread makes, writes and closes one
// output (round trips to the system that leave a processor idle), the
// next few sources are opened, read and converted. The job's thread hands
// each on in its turn (ConvertToOutput), so outputs, reports and progress
// come in the run's order as before; only it ever writes or asks about a
// stop. A source large enough to be cut into parts (ParallelConvert) is
// left to the job's thread, which converts it on both processors.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fw/Handle.h"
#include "pipeline/FileConvert.h"
#include "pipeline/FileIdentity.h"
#include "pipeline/OutputPlanner.h"

class ConvEngine;
class FileTaskHooks;

// One source converted ahead: the text its conversion handed on, in the
// chunks it handed them in, and how it ended.
struct ConvertedAhead {
  struct Chunk {
    size_t end = 0;         // where the chunk ends in `text`
    std::uint64_t raw = 0;  // the source bytes told by then
  };
  FileIdentity identity;  // taken from the opening the source was read through
  FileOutcome outcome = FileOutcome::Done;
  LoadStatus load = LoadStatus::NotLoaded;
  std::uint64_t replaced = 0;
  std::string text;
  std::vector<Chunk> chunks;
  std::uint64_t raw = 0;  // every source byte told

  // Hands the text to `into` as the conversion handed it on, telling the
  // source bytes of each chunk as a piece and asking about a stop after
  // each: a stop ends the output after the chunk in hand. The outcome, as
  // ConvertOneFile's.
  FileOutcome HandOn(FileConversion& into) const;
};

class ReadAhead {
 public:
  // `sources`: the run's sources in order; only those marked in `eligible`
  // are ever read here (not an earlier output, which is never read).
  ReadAhead(const ConvEngine& engine, const std::vector<SourceFile>& sources,
            const std::vector<bool>& eligible);
  // Stops the second thread and waits for it.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Source `index` (asked in rising order), converted ahead: waits while
  // the second thread converts it, asking `hooks` about a stop meanwhile
  // (which the second thread then hears). Null when the job's thread is to
  // convert it itself.
  std::unique_ptr<ConvertedAhead> Take(size_t index, FileTaskHooks& hooks);

  // What the job's thread and the second thread share.
  struct Run;

 private:
  std::shared_ptr<Run> run_;
  fw::UniqueHandle thread_;
};
