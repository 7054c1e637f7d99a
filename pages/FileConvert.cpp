#include "pages/FileConvert.h"

#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

#include "config/FileBytes.h"
#include "engine/ConvEngine.h"
#include "textio/MakeReader.h"
#include "textio/SourceCheck.h"
#include "textio/TReaderAnsi.h"

namespace {

constexpr std::int32_t kLineBufferBytes = 1048576;

bool Flush(OutputBuffer& output, FileConversion& into) {
  bool written = into.Write(output.bytes.get(), output.used);
  std::memset(output.bytes.get(), 0, static_cast<size_t>(output.capacity));
  output.used = 0;
  return written;
}

FileOutcome ConvertLines(ConvEngine& engine, TReader& reader, OutputBuffer& output,
                         FileConversion& into) {
  FileOutcome outcome = FileOutcome::Done;
  std::string converted;  // one line's converted bytes; its room is reused
  for (;;) {
    const char* line = nullptr;
    std::uint64_t rawLength = 0;
    std::int32_t n = reader.ReadLine(&line, &rawLength);
    // Only a line read counts, none for the read that finds the data
    // exhausted.
    if (rawLength > 0) into.LineRead(rawLength);
    if (line && n > 0) {
      try {
        engine.Convert(line, static_cast<size_t>(n), converted);
      } catch (const std::runtime_error&) {
        // Text the engine rejects (bytes that are not UTF-8).
        outcome = FileOutcome::Undecodable;
        break;
      } catch (const std::bad_alloc&) {
        return FileOutcome::NoMemory;
      }
      // A line whose conversion does not fit the buffer's count fails its file.
      if (converted.size() > static_cast<size_t>(INT32_MAX)) {
        outcome = FileOutcome::LineTooLong;
        break;
      }
      const auto need = static_cast<std::int32_t>(converted.size());
      if (output.used > 0 && output.capacity - output.used < need && !Flush(output, into)) {
        return FileOutcome::WriteFailed;
      }
      if (output.capacity < need) {
        output.bytes = AllocZeroed(static_cast<size_t>(need));
        output.capacity = output.bytes ? need : 0;
        if (!output.bytes) return FileOutcome::NoMemory;
      }
      std::memcpy(output.bytes.get() + output.used, converted.data(), converted.size());
      output.used += need;
    }
    if (n <= 0 || into.StopRequested()) break;
  }
  if (reader.ReadFailed()) outcome = FileOutcome::Undecodable;
  if (output.used > 0 && !Flush(output, into)) return FileOutcome::WriteFailed;
  return outcome;
}

}  // namespace

FileOutcome ConvertOneFile(ConvEngine& engine, const wchar_t* path, FileEncoding encoding,
                           UINT codePage, OutputBuffer& output, FileConversion& into) {
  std::unique_ptr<TReader> reader = MakeReader(encoding, codePage);
  if (!reader->GetLineBuffer(kLineBufferBytes)) return FileOutcome::NoMemory;
  if (auto* ansi = dynamic_cast<TReaderAnsi*>(reader.get())) {
    if (!ansi->GetUtf8Buffer(kLineBufferBytes)) return FileOutcome::NoMemory;
  }
  const BOOL loaded = reader->Load(path);
  into.load = reader->LastLoadStatus();
  if (!loaded) return into.load == LoadStatus::Empty ? FileOutcome::Empty : FileOutcome::ReadFailed;
  // A program or a picture queued by mistake fails before anything is written.
  if (!LooksLikeText(reader->Data(), static_cast<size_t>(reader->Size()),
                     CandidateCodePages(codePage))) {
    return FileOutcome::NotText;
  }
  // Nothing can be converted without an engine: that is no success.
  if (engine.Handle() == -1) return FileOutcome::NoEngine;
  return ConvertLines(engine, *reader, output, into);
}
