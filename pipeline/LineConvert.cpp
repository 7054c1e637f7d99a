#include "pipeline/LineConvert.h"

#include <climits>
#include <new>
#include <stdexcept>

#include "engine/ConvEngine.h"
#include "glyphmap/glyphmap.h"
#include "textio/TReader.h"
#include "textio/TReaderAnsi.h"

namespace {

// A line longer than this goes to the conversion in pieces.
constexpr std::int32_t kPieceBytes = 1048576;

bool Flush(OutputBuffer& output, FileConversion& into) {
  bool written = into.Write(output.bytes.get(), output.used);
  output.used = 0;
  return written;
}

// Makes room for `need` bytes after the buffer's text: flushes what it
// holds first when they would not fit behind it, and grows it when they
// would not fit at all.
FileOutcome MakeRoom(OutputBuffer& output, FileConversion& into, std::int32_t need) {
  if (output.used > 0 && output.capacity - output.used < need && !Flush(output, into)) {
    return FileOutcome::WriteFailed;
  }
  if (output.capacity < need) {
    output.bytes.reset();
    output.bytes.reset(new (std::nothrow) char[static_cast<size_t>(need)]);
    output.capacity = output.bytes ? need : 0;
    if (!output.bytes) return FileOutcome::NoMemory;
  }
  return FileOutcome::Done;
}

}  // namespace

FileOutcome ConvertLines(ConvEngine& engine, TReader& reader, OutputBuffer& output,
                         FileConversion& into) {
  FileOutcome outcome = FileOutcome::Done;
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
      // The piece is converted straight behind the buffer's text, in room
      // for the most it can become: no copy, no clearing.
      const size_t bound = engine.Bound(static_cast<size_t>(take));
      // A piece whose conversion might not fit the buffer's count fails its file.
      if (bound > static_cast<size_t>(INT32_MAX)) {
        outcome = FileOutcome::LineTooLong;
        break;
      }
      const FileOutcome room = MakeRoom(output, into, static_cast<std::int32_t>(bound));
      if (room != FileOutcome::Done) return room;
      try {
        output.used += static_cast<std::int32_t>(
            engine.ConvertInto(line + done, static_cast<size_t>(take),
                               output.bytes.get() + output.used,
                               static_cast<size_t>(output.capacity - output.used)));
      } catch (const std::runtime_error&) {
        // Text the engine rejects (bytes that are not UTF-8).
        outcome = FileOutcome::Undecodable;
        break;
      } catch (const std::bad_alloc&) {
        // The file fails; what the buffer holds of it must not reach the
        // next file or part converted with the buffer.
        output.used = 0;
        return FileOutcome::NoMemory;
      }
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
  switch (reader.Failure()) {
    case LineError::None: break;
    case LineError::TooLong: outcome = FileOutcome::LineTooLong; break;
    case LineError::NoMemory: outcome = FileOutcome::NoMemory; break;
    case LineError::Undecodable: outcome = FileOutcome::Undecodable; break;
  }
  if (output.used > 0 && !Flush(output, into)) return FileOutcome::WriteFailed;
  return outcome;
}


bool GetLineBuffers(TReader& reader, std::int32_t lineRoom) {
  if (!reader.GetLineBuffer(lineRoom)) return false;
  auto* ansi = dynamic_cast<TReaderAnsi*>(&reader);
  return !ansi || ansi->GetUtf8Buffer(lineRoom) != nullptr;
}
