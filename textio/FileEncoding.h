#pragma once
#include <cstdint>

// The encoding a queued file is read in; also the index of its name in the
// encoding list text (0x30000007) and the reader the job picks for it.
using FileEncoding = std::int32_t;
constexpr FileEncoding EncAnsi = 0;     // the system's ANSI code page
constexpr FileEncoding EncUtf16 = 1;    // UTF-16 little-endian
constexpr FileEncoding EncUtf16Be = 2;  // UTF-16 big-endian
constexpr FileEncoding EncUtf8 = 3;     // UTF-8, passed through unchanged
