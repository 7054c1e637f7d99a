#pragma once
// UTF-8 as a file holds it: telling well-formed sequences from damaged
// bytes, and mending a line by putting U+FFFD where its bytes are damaged.
#include <cstddef>

// What a run of bytes holds as UTF-8.
struct Utf8Tally {
  std::size_t characters = 0;  // well-formed sequences of two to four bytes
  std::size_t damaged = 0;     // places that are no UTF-8 (each becomes one U+FFFD)
};

// Counts the well-formed multi-byte characters and the damaged places of
// `size` bytes. A damaged place is the longest start of a sequence that
// is still possible UTF-8 (a lead byte and the continuation bytes it
// allows), or a single byte that can start nothing: a character with one
// byte missing is one place, as is a stray continuation byte.
Utf8Tally TallyUtf8(const unsigned char* bytes, std::size_t size);

// The length of the well-formed start of `bytes`: `size` when they are
// UTF-8 throughout. Plain ASCII is passed over eight bytes at a time.
std::size_t WellFormedUtf8Prefix(const unsigned char* bytes, std::size_t size);

// Copies `size` bytes to `out`, each damaged place replaced by U+FFFD
// (EF BF BD); `out` has room for size + 2 * damaged bytes (TallyUtf8).
// Returns the bytes written. Line ends and every well-formed character
// stay as they are.
std::size_t MendUtf8(const unsigned char* bytes, std::size_t size, char* out);

// U+FFFD in UTF-8.
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";
