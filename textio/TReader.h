#pragma once
#include <cstdint>
#include <limits>
#include <memory>

#include "textio/TFile.h"

// Why a line could not be handed out.
enum class LineError {
  None,
  TooLong,      // longer than the reader takes (SetLongestLine) or than a line buffer can count
  NoMemory,     // the line's buffer could not be had
  Undecodable,  // the system could not decode the line in the file's encoding
};

// A reader's line buffers, handed from one reader to the next of a run so
// that a run of many files has them once: a buffer had fresh for every file
// costs new pages to clear, and its release gives them back to the system.
struct LineBuffers {
  std::unique_ptr<char[]> line;
  std::int64_t lineCapacity = 0;
  std::unique_ptr<char[]> utf8;  // the ANSI reader's
  std::int64_t utf8Capacity = 0;
};

// A line in UTF-8, or why there is none.
struct ConvertedLine {
  const char* bytes = nullptr;  // valid until the next line, not NUL-terminated
  std::int32_t count = 0;       // 0 for a line that yields nothing
  LineError error = LineError::None;
};

// Hands out a loaded file line by line as UTF-8. A line ends at LF and keeps
// it, with the CR before it if there is one (CR LF stays CR LF, LF stays LF,
// a lone CR stays inside its line); a last line without one is the rest of
// the data. A zero byte (or unit) is data like any other. This class
// serves UTF-8 files (and any encoding value it does not know): bytes pass
// through unchanged, but for damaged bytes (no UTF-8), which become
// U+FFFD. Subclasses convert other encodings by overriding
// ConvertLine (and FindLineEnd for 16-bit units); ReadLine's cutting into
// lines is common to all.
//
// Use: create, size the buffers with GetLineBuffer (and GetUtf8Buffer for
// the ANSI reader), Load once, call ReadLine until it returns 0, destroy
// through the virtual destructor. One thread only; never copied.
class TReader : public TFile {
 public:
  TReader() = default;
  virtual ~TReader();

  // The first LF unit at or after the current position, or null when none
  // comes before the end of data.
  virtual const BYTE* FindLineEnd();

  // Where the line after the one that holds byte `offset` of the data
  // starts (just past its LF unit): a place the data may be cut so that
  // both sides hand out the same lines as the whole would. Size() when no
  // line end follows.
  std::uint64_t NextLineStart(std::uint64_t offset);

  // Reads bytes [begin, end) of the loaded `whole` (TFile::ViewOf) from
  // their start, as a reader of its own: no line handed out yet, nothing
  // replaced, no failure. The line buffers stay as they were sized.
  void ReadPartOf(const TFile& whole, std::uint64_t begin, std::uint64_t end);

  // Hands out the next line: its UTF-8 bytes at *line (valid until the next
  // call or the reader's end, not NUL-terminated) and, when rawLength is
  // given, the number of source bytes it took (CR LF included). Returns the
  // number of UTF-8 bytes; 0 when the data is exhausted or the line failed,
  // and Failure() tells those two apart. rawLength is written for every
  // line taken from the data, *line only when bytes are returned.
  virtual std::int32_t ReadLine(const char** line, std::uint64_t* rawLength);

  // The line buffer with room for at least n bytes, the first n of them
  // zeroed; null when it cannot be had. Capacity only grows.
  char* GetLineBuffer(std::int32_t n);
  // Exchanges this reader's line buffers with `buffers`: before Load, to
  // take those of an earlier reader; after the last line, to hand them on.
  virtual void SwapBuffers(LineBuffers& buffers);

  // Why the last ReadLine returned 0 when a line could not be handed out
  // (too long, no room, not decodable), rather than because the data ran
  // out: None then. The rest of the file has not been handed out.
  LineError Failure() const { return failure_; }
  bool ReadFailed() const { return failure_ != LineError::None; }

  // The longest line, in source bytes (its line end included), that
  // ReadLine hands out; a longer one fails with LineError::TooLong. By
  // default only what a line buffer can count bounds a line.
  void SetLongestLine(std::uint64_t sourceBytes) { longestLine_ = sourceBytes; }

  // How many places of the data read so far were no text in the file's
  // encoding (damaged bytes, a lead byte without its trail, an odd last
  // byte of UTF-16) and were handed out as U+FFFD. A line end is never
  // one of them: it always stays.
  std::uint64_t Replacements() const { return replacements_; }

 protected:
  // Turns `length` source bytes at `start` into UTF-8, or says why not.
  virtual ConvertedLine ConvertLine(const BYTE* start, std::uint64_t length);
  static ConvertedLine Failed(LineError error) { return ConvertedLine{nullptr, 0, error}; }
  // The line buffer (GetLineBuffer) with room for n bytes, or null with
  // *error saying why: TooLong for more than a buffer can count, NoMemory
  // when it cannot be had.
  char* LineRoom(std::uint64_t n, LineError* error) {
    return Room(lineBuffer_, lineCapacity_, n, error);
  }
  // Bytes of the LF unit that FindLineEnd points at: 1, 2 in UTF-16, 4 in
  // UTF-32.
  virtual std::uint64_t LineEndBytes() const { return 1; }
  // Shared by the line buffer and the ANSI reader's UTF-8 buffer.
  static char* GrowBuffer(std::unique_ptr<char[]>& buffer, std::int64_t& capacity,
                          std::int32_t n);
  // GrowBuffer for a size yet to be checked, failing as LineRoom does.
  static char* Room(std::unique_ptr<char[]>& buffer, std::int64_t& capacity, std::uint64_t n,
                    LineError* error);

  std::uint64_t position_ = 0;
  std::uint64_t replacements_ = 0;

 private:
  std::unique_ptr<char[]> lineBuffer_;
  std::int64_t lineCapacity_ = 0;
  LineError failure_ = LineError::None;
  std::uint64_t longestLine_ = std::numeric_limits<std::uint64_t>::max();
};
