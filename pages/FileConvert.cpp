#include "pages/FileConvert.h"

#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "config/FileBytes.h"
#include "engine/ConvEngine.h"
#include "glyphmap/glyphmap.h"
#include "textio/MakeReader.h"
#include "textio/SourceCheck.h"
#include "textio/TReaderAnsi.h"

namespace {

constexpr std::int32_t kLineBufferBytes = 1048576;
// A line longer than this goes to the conversion in pieces.
constexpr std::int32_t kPieceBytes = 1048576;

bool Flush(OutputBuffer& output, FileConversion& into) {
  bool written = into.Write(output.bytes.get(), output.used);
  output.used = 0;
  return written;
}

FileOutcome ConvertLines(ConvEngine& engine, TReader& reader, OutputBuffer& output,
                         FileConversion& into) {
  FileOutcome outcome = FileOutcome::Done;
  std::string converted;  // one piece's converted bytes; its room is reused
  for (;;) {
    const char* line = nullptr;
    std::uint64_t rawLength = 0;
    std::int32_t n = reader.ReadLine(&line, &rawLength);
    if (!line || n <= 0) {
      // Only a line read counts, none for the read that finds the data
      // exhausted.
      if (rawLength > 0) into.LineRead(rawLength);
      break;
    }
    // A long line goes to the conversion in pieces, each cut where the
    // result is the same as for the whole line, so that progress moves, a
    // stop acts and the output buffer stays small within it. A line with
    // no such place within a piece's length goes whole.
    std::int32_t done = 0;
    std::uint64_t rawCounted = 0;
    while (done < n) {
      std::int32_t take = n - done;
      if (take > kPieceBytes) {
        const size_t cut = glyphmap_safe_cut(engine.Handle(), line + done, kPieceBytes);
        if (cut > 0) take = static_cast<std::int32_t>(cut);
      }
      try {
        engine.Convert(line + done, static_cast<size_t>(take), converted);
      } catch (const std::runtime_error&) {
        // Text the engine rejects (bytes that are not UTF-8).
        outcome = FileOutcome::Undecodable;
        break;
      } catch (const std::bad_alloc&) {
        return FileOutcome::NoMemory;
      }
      // A piece whose conversion does not fit the buffer's count fails its file.
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
      done += take;
      if (done < n) {
        // The line's source bytes in the share of its text converted so far.
        const std::uint64_t raw =
            rawLength * static_cast<std::uint64_t>(done) / static_cast<std::uint64_t>(n);
        into.PieceRead(raw - rawCounted);
        rawCounted = raw;
        if (into.StopRequested()) break;
      }
    }
    if (rawCounted == 0) {
      into.LineRead(rawLength);
    } else if (rawLength > rawCounted) {
      into.PieceRead(rawLength - rawCounted);
    }
    if (outcome != FileOutcome::Done || into.StopRequested()) break;
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
