#include "textio/TReader.h"

#include <cstring>
#include <limits>
#include <new>

#include "textio/ByteSearch.h"
#include "textio/Utf8Scan.h"

TReader::~TReader() {
  lineBuffer_.reset();
  // data goes with TFile.
}

const BYTE* TReader::FindLineEnd() {
  const BYTE* data = Data();
  if (!data || position_ >= Size()) return nullptr;
  const std::uint64_t left = Size() - position_;
  return FindByte(data + position_, static_cast<size_t>(left), 0x0A);
}

std::int32_t TReader::ReadLine(const char** line, std::uint64_t* rawLength) {
  readFailed_ = false;
  if (!Data()) return 0;
  const BYTE* start = Data() + position_;
  const BYTE* lineEnd = FindLineEnd();
  std::uint64_t length;
  if (lineEnd) {
    // The line keeps its line end (and the CR before it, if any).
    length = static_cast<std::uint64_t>(lineEnd - start) + LineEndBytes();
  } else {
    if (position_ >= Size()) return 0;
    length = Size() - position_;
  }
  if (rawLength) *rawLength = length;
  position_ += length;
  const char* converted = nullptr;
  std::int32_t n = ConvertLine(start, length, &converted);
  if (n <= 0) {
    readFailed_ = n < 0;
    return 0;
  }
  if (line) *line = converted;
  return n;
}

std::int32_t TReader::ConvertLine(const BYTE* start, std::uint64_t length, const char** line) {
  constexpr std::uint64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
  if (length > kInt32Max) return -1;
  const size_t size = static_cast<size_t>(length);
  const size_t wellFormed = WellFormedUtf8Prefix(start, size);
  if (wellFormed == size) {
    // Whole UTF-8: the line is handed out where it lies in the data.
    *line = reinterpret_cast<const char*>(start);
    return static_cast<std::int32_t>(size);
  }
  // Damaged bytes: each damaged place becomes U+FFFD, three bytes.
  const Utf8Tally tally = TallyUtf8(start + wellFormed, size - wellFormed);
  const std::uint64_t room = length + 2 * std::uint64_t{tally.damaged};
  if (room > kInt32Max) return -1;
  char* buffer = GetLineBuffer(static_cast<std::int32_t>(room));
  if (!buffer) return -1;
  std::memcpy(buffer, start, wellFormed);
  const size_t n = wellFormed + MendUtf8(start + wellFormed, size - wellFormed, buffer + wellFormed);
  replacements_ += tally.damaged;
  *line = buffer;
  return static_cast<std::int32_t>(n);
}

char* TReader::GetLineBuffer(std::int32_t n) { return GrowBuffer(lineBuffer_, lineCapacity_, n); }

char* TReader::GrowBuffer(std::unique_ptr<char[]>& buffer, std::int64_t& capacity,
                          std::int32_t n) {
  if (static_cast<std::int64_t>(n) > capacity) {
    buffer.reset();
    buffer.reset(new (std::nothrow) char[static_cast<size_t>(n)]);
    // A failed allocation leaves no buffer; forget the old capacity so the
    // next request tries again instead of finding "enough" room in nothing.
    capacity = buffer ? n : 0;
  }
  if (!buffer) return nullptr;
  // Only the bytes asked for are cleared: clearing the whole megabyte for
  // every line of a file cost about 50 µs a line.
  if (n > 0) std::memset(buffer.get(), 0, static_cast<size_t>(n));
  return buffer.get();
}
