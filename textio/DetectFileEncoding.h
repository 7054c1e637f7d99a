#pragma once
#include "textio/FileEncoding.h"

// Size of the caller's charset name array.
constexpr int kCharsetNameSize = 260;

// Runs uchardet over the file at `path` and maps what it reports: "UTF-8"
// gives EncUtf8, "UTF-16" EncUtf16 or EncUtf16Be by the file's byte-order
// mark, anything else (the empty name included) EncAnsi. The reported name
// is copied into `charsetName` (kCharsetNameSize bytes, zero-filled by the
// caller) for display only. A file that cannot be opened gives EncAnsi and
// an empty name; a detector error gives EncAnsi and leaves the name alone.
FileEncoding DetectFileEncoding(const wchar_t* path, char* charsetName);

// The byte order of UTF-16 data: FF FE is little-endian, FE FF big-endian;
// without a mark, big-endian when zero bytes at even offsets outnumber those
// at odd offsets. Data of fewer than two bytes counts as little-endian.
FileEncoding Utf16ByteOrder(const unsigned char* data, unsigned long long size);
