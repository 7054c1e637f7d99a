#pragma once
#include "textio/FileEncoding.h"

// Size of the caller's charset name array.
constexpr int kCharsetNameSize = 260;

// Finds the encoding of the file at `path`. UTF-16 without a byte-order
// mark is recognised first (Utf16WithoutMark: named "UTF-16LE" or
// "UTF-16BE"). Otherwise uchardet runs over the file and what it reports is
// mapped: "UTF-8" gives EncUtf8 (when the bytes are UTF-8), "UTF-16"
// EncUtf16 or EncUtf16Be by the file's byte-order mark, anything else (the
// empty name included) EncAnsi, with the name corrected by what the bytes
// show (ChooseLegacyCharset, LegacyCodePage.h). The name is copied into
// `charsetName` (kCharsetNameSize bytes, zero-filled by the caller) for
// display and for CodePageForDetectedFile. A file that cannot be opened
// gives EncAnsi and an empty name; a detector error gives EncAnsi and
// leaves the name alone.
FileEncoding DetectFileEncoding(const wchar_t* path, char* charsetName);

// UTF-16 without a byte-order mark, recognised by the zero bytes of its
// Latin characters (line ends, spaces, digits) in the `size` bytes at
// `data`, with valid surrogate order and no control characters: EncUtf16
// or EncUtf16Be, or EncAnsi when the data does not look like UTF-16 (an
// 8-bit or UTF-8 text with a few zero bytes does not).
FileEncoding Utf16WithoutMark(const unsigned char* data, unsigned long long size);

// The byte order of UTF-16 data: FF FE is little-endian, FE FF big-endian;
// without a mark, big-endian when zero bytes at even offsets outnumber those
// at odd offsets. Data of fewer than two bytes counts as little-endian.
FileEncoding Utf16ByteOrder(const unsigned char* data, unsigned long long size);
