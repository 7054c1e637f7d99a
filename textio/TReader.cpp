#include "textio/TReader.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

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

std::uint64_t TReader::NextLineStart(std::uint64_t offset) {
  const std::uint64_t unit = LineEndBytes();
  const std::uint64_t kept = position_;
  // Units are counted from the start of the data.
  position_ = offset - offset % unit;
  const BYTE* lineEnd = FindLineEnd();
  position_ = kept;
  if (!lineEnd) return Size();
  return static_cast<std::uint64_t>(lineEnd - Data()) + unit;
}

void TReader::ReadPartOf(const TFile& whole, std::uint64_t begin, std::uint64_t end) {
  ViewOf(whole, begin, end);
  position_ = 0;
  replacements_ = 0;
  failure_ = LineError::None;
}

std::int32_t TReader::ReadLine(const char** line, std::uint64_t* rawLength) {
  failure_ = LineError::None;
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
  const ConvertedLine converted =
      length > longestLine_ ? Failed(LineError::TooLong) : ConvertLine(start, length);
  failure_ = converted.error;
  if (converted.error != LineError::None || converted.count <= 0) return 0;
  if (line) *line = converted.bytes;
  return converted.count;
}

char* TReader::Room(std::unique_ptr<char[]>& buffer, std::int64_t& capacity, std::uint64_t n,
                    LineError* error) {
  if (n > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    *error = LineError::TooLong;
    return nullptr;
  }
  char* room = GrowBuffer(buffer, capacity, static_cast<std::int32_t>(n));
  if (!room) *error = LineError::NoMemory;
  return room;
}

ConvertedLine TReader::ConvertLine(const BYTE* start, std::uint64_t length) {
  if (length > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    return Failed(LineError::TooLong);
  }
  const size_t size = static_cast<size_t>(length);
  const size_t wellFormed = WellFormedUtf8Prefix(start, size);
  if (wellFormed == size) {
    // Whole UTF-8: the line is handed out where it lies in the data.
    return ConvertedLine{reinterpret_cast<const char*>(start), static_cast<std::int32_t>(size)};
  }
  // Damaged bytes: each damaged place becomes U+FFFD, three bytes.
  const Utf8Tally tally = TallyUtf8(start + wellFormed, size - wellFormed);
  LineError error = LineError::None;
  char* buffer = LineRoom(length + 2 * std::uint64_t{tally.damaged}, &error);
  if (!buffer) return Failed(error);
  std::memcpy(buffer, start, wellFormed);
  const size_t n = wellFormed + MendUtf8(start + wellFormed, size - wellFormed, buffer + wellFormed);
  replacements_ += tally.damaged;
  return ConvertedLine{buffer, static_cast<std::int32_t>(n)};
}

char* TReader::GetLineBuffer(std::int32_t n) { return GrowBuffer(lineBuffer_, lineCapacity_, n); }

void TReader::SwapBuffers(LineBuffers& buffers) {
  std::swap(lineBuffer_, buffers.line);
  std::swap(lineCapacity_, buffers.lineCapacity);
}

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
