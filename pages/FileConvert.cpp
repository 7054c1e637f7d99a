#include "pages/FileConvert.h"

#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

#include "engine/ConvEngine.h"
#include "glyphmap/glyphmap.h"
#include "textio/MakeReader.h"
#include "textio/SourceCheck.h"
#include "textio/TReaderAnsi.h"

namespace {

constexpr std::int32_t kLineBufferBytes = 1048576;

// Zero-filled bytes, or null when the memory is not there.
std::unique_ptr<char[]> AllocZeroed(std::int32_t size) {
  std::unique_ptr<char[]> p(new (std::nothrow) char[static_cast<size_t>(size)]);
  if (p) std::memset(p.get(), 0, static_cast<size_t>(size));
  return p;
}

bool Flush(OutputBuffer& output, FileConversion& into) {
  bool written = into.Write(output.bytes.get(), output.used);
  std::memset(output.bytes.get(), 0, static_cast<size_t>(output.capacity));
  output.used = 0;
  return written;
}

FileOutcome ConvertLines(ConvEngine& engine, TReader& reader, OutputBuffer& output,
                         FileConversion& into) {
  FileOutcome outcome = FileOutcome::Done;
  for (;;) {
    const char* line = nullptr;
    std::uint64_t rawLength = 0;
    std::int32_t n = reader.ReadLine(&line, &rawLength);
    // Only a line read counts, none for the read that finds the data
    // exhausted.
    if (rawLength > 0) into.LineRead(rawLength);
    if (line && n > 0) {
      // The room glyphmap says the line may need (the open configuration's
      // dictionaries and the user's word list decide); a line too long for
      // the buffer's count fails its file.
      const size_t bound = glyphmap_output_bound(engine.Handle(), static_cast<size_t>(n));
      if (bound == 0 || bound > static_cast<size_t>(INT32_MAX)) {
        outcome = FileOutcome::LineTooLong;
        break;
      }
      const std::int32_t need = static_cast<std::int32_t>(bound);
      if (output.used > 0 && output.capacity - output.used < need && !Flush(output, into)) {
        return FileOutcome::WriteFailed;
      }
      if (output.capacity < need) {
        output.bytes = AllocZeroed(need);
        output.capacity = output.bytes ? need : 0;
        if (!output.bytes) return FileOutcome::NoMemory;
      }
      try {
        int k = glyphmap_convert(engine.Handle(), line, static_cast<size_t>(n),
                                 output.bytes.get() + output.used,
                                 static_cast<size_t>(output.capacity - output.used));
        if (k > 0) output.used += k;
      } catch (const std::runtime_error&) {
        // Text the engine rejects (bytes that are not UTF-8).
        outcome = FileOutcome::Undecodable;
        break;
      }
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
