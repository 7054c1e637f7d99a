#include "pipeline/FileConvert.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/ConvEngine.h"
#include "pipeline/LineConvert.h"
#include "pipeline/ParallelConvert.h"
#include "textio/MakeReader.h"
#include "textio/SourceCheck.h"

namespace {

constexpr std::int32_t kLineBufferBytes = 1048576;

// The run's line buffers, lent to the reader of the file in hand while it
// converts.
class LentBuffers {
 public:
  LentBuffers(TReader& reader, LineBuffers& buffers) : reader_(reader), buffers_(buffers) {
    reader_.SwapBuffers(buffers_);
  }
  ~LentBuffers() { reader_.SwapBuffers(buffers_); }
  LentBuffers(const LentBuffers&) = delete;
  LentBuffers& operator=(const LentBuffers&) = delete;

 private:
  TReader& reader_;
  LineBuffers& buffers_;
};

DWORD ProcessorCount() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors;
}

}  // namespace

FileOutcome ConvertOneFile(ConvEngine& engine, const wchar_t* path, FileEncoding encoding,
                           UINT codePage, OutputBuffer& output, FileConversion& into) {
  return ConvertOneFile(engine, TFile::Open(path), path, encoding, codePage, output, into);
}

FileOutcome ConvertOneFile(ConvEngine& engine, fw::UniqueHandle file, const wchar_t* path,
                           FileEncoding encoding, UINT codePage, OutputBuffer& output,
                           FileConversion& into) {
  std::shared_ptr<TReader> reader = MakeReader(encoding, codePage);
  const LentBuffers lent(*reader, output.lines);
  reader->SetLongestLine(into.longestLine);
  const BOOL loaded = reader->Load(std::move(file), path);
  into.load = reader->LastLoadStatus();
  if (!loaded) return into.load == LoadStatus::Empty ? FileOutcome::Empty : FileOutcome::ReadFailed;
  // The line buffers, had before anything is converted: a line takes at
  // most twice its bytes in UTF-16 and three times in UTF-8, so a small
  // file (a subtitle) needs far less than the megabyte a long line gets.
  const auto lineRoom = static_cast<std::int32_t>(
      std::min<std::uint64_t>(kLineBufferBytes, reader->Size() * 3 + 16));
  if (!GetLineBuffers(*reader, lineRoom)) return FileOutcome::NoMemory;
  // A program or a picture queued by mistake fails before anything is
  // written; an encoding the user chose is taken at its word.
  if (!into.encodingChosen && !LooksLikeText(reader->Data(), static_cast<size_t>(reader->Size()),
                     CandidateCodePages(codePage))) {
    return FileOutcome::NotText;
  }
  // Nothing can be converted without an engine: that is no success.
  if (engine.Handle() == -1) return FileOutcome::NoEngine;
  // A large source is converted in parts on two processors.
  if (ProcessorCount() > 1) {
    const std::vector<std::uint64_t> cuts = PartCuts(*reader, into.partBytes);
    if (!cuts.empty()) {
      return ConvertInParts(engine, reader, cuts,
                            PartReaders{encoding, codePage, lineRoom, into.longestLine}, output,
                            into);
    }
  }
  const FileOutcome outcome = ConvertLines(engine, *reader, output, into);
  into.replaced = reader->Replacements();
  return outcome;
}
