#pragma once
#include <windows.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <new>

#include "fw/Handle.h"
#include "textio/FileEncoding.h"
#include "textio/TReader.h"

class ConvEngine;

// The converted UTF-8 text of the file in hand, waiting to be handed on in
// large chunks; and the readers' line buffers, lent to the reader of each
// file in turn. A run keeps both from one file to the next.
struct OutputBuffer {
  static constexpr std::int32_t kInitialCapacity = 524288;
  std::unique_ptr<char[]> bytes;
  std::int32_t capacity = 0;
  std::int32_t used = 0;
  LineBuffers lines;

  // Room for many lines, so that the text is handed on in large chunks;
  // without it (no memory) each line gets what it needs, and goes alone.
  void TakeInitialRoom() {
    bytes.reset(new (std::nothrow) char[kInitialCapacity]);
    capacity = bytes ? kInitialCapacity : 0;
    used = 0;
  }
};

// How the conversion of one file ended. Only Done and Empty are successes.
enum class FileOutcome {
  Done,         // every line converted and handed on (or the run was stopped after a line)
  Empty,        // the source holds no bytes: nothing to hand on
  NoMemory,     // the line buffers or the output buffer could not be had
  ReadFailed,   // the source could not be read whole; FileConversion::load says why
  NotText,      // the source holds no text (a program or a picture): nothing is written
  NoEngine,     // no glyphmap instance is open
  Undecodable,  // a line is not text in the file's encoding, or glyphmap rejected it
  LineTooLong,  // a line too long to convert in one piece
  WriteFailed,  // a chunk was not taken whole by the sink
};

// Where a file's converted text goes, and what steers the conversion.
class FileConversion {
 public:
  virtual ~FileConversion() = default;
  // Takes `count` bytes of converted UTF-8, always whole lines; false when
  // they could not be written whole (the file then fails).
  virtual bool Write(const char* bytes, std::int32_t count) = 0;
  // Asked after every line (and every piece of a line longer than a
  // mebibyte): true ends the file after the line or piece in hand.
  virtual bool StopRequested() { return false; }
  // Told the source bytes of every line taken from the file.
  virtual void LineRead(std::uint64_t rawLength) {}
  // Told the source bytes of each piece of a long line as it is converted
  // (their share of the line's); LineRead is not told that line then.
  virtual void PieceRead(std::uint64_t rawLength) { LineRead(rawLength); }

  // Why the source could not be read, for ReadFailed.
  LoadStatus load = LoadStatus::NotLoaded;
  // Set by the caller when the user chose the encoding: the file is then
  // converted as chosen, never refused by the not-text guess.
  bool encodingChosen = false;
  // The longest line, in source bytes, that is converted: a longer one
  // fails the file with LineTooLong, nothing of it handed on. By default
  // only what the reader's line buffer can count bounds a line.
  std::uint64_t longestLine = std::numeric_limits<std::uint64_t>::max();
  // A source of at least two parts of this many bytes is converted in
  // parts, cut at line ends, on two threads when there are two
  // processors; 0 keeps every source on the calling thread.
  std::uint64_t partBytes = std::uint64_t{1} << 20;
  // Set by the conversion: places of the source that were no text in its
  // encoding and became U+FFFD (TReader::Replacements).
  std::uint64_t replaced = 0;
};

// Converts the file at `path`, read in `encoding` (and, for EncAnsi, the
// detected `codePage`, 0 for the system's), line by line with `engine`,
// handing the result to `into` in large chunks gathered in `output`. This
// is the one conversion of a file that the file pages and the command line
// share, so that both give the same bytes.
FileOutcome ConvertOneFile(ConvEngine& engine, const wchar_t* path, FileEncoding encoding,
                           UINT codePage, OutputBuffer& output, FileConversion& into);
// The same for `file`, the source at `path` opened by TFile::Open.
FileOutcome ConvertOneFile(ConvEngine& engine, fw::UniqueHandle file, const wchar_t* path,
                           FileEncoding encoding, UINT codePage, OutputBuffer& output,
                           FileConversion& into);
