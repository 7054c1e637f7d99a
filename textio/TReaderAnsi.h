#pragma once
#include "textio/TReader.h"

// Reads a file in an 8-bit or double-byte code page: by default the
// system's ANSI code page (CP_ACP), or one set before Load. A byte that
// starts no character there (a lead byte without its trail byte) becomes
// U+FFFD and the bytes after it are read anew: a line end stays.
class TReaderAnsi : public TReader {
 public:
  TReaderAnsi() = default;
  ~TReaderAnsi() override;

  // The UTF-8 buffer with room for at least n bytes; rules as GetLineBuffer.
  char* GetUtf8Buffer(std::int32_t n);
  // The UTF-8 buffer goes with the line buffer.
  void SwapBuffers(LineBuffers& buffers) override;

  UINT CodePage() const { return codePage_; }
  void SetCodePage(UINT codePage) { codePage_ = codePage; }

 protected:
  ConvertedLine ConvertLine(const BYTE* start, std::uint64_t length) override;

 private:
  // The line as UTF-16, in the line buffer: its units and their count, or
  // why it cannot be had.
  LineError ToUtf16(const BYTE* start, std::int32_t length, wchar_t** units, std::int32_t* count);
  // The line decoded character by character into `out` (`room` units),
  // each byte that starts no character of the code page as U+FFFD (counted
  // in Replacements); -1 when `room` is too small.
  std::int32_t Mend(const BYTE* start, std::int32_t length, wchar_t* out, std::int32_t room);

  UINT codePage_ = CP_ACP;
  std::unique_ptr<char[]> utf8Buffer_;
  std::int64_t utf8Capacity_ = 0;
};
