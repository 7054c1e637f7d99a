// glyphmap: Chinese script conversion in the style of OpenCC's C interface.
//
// Handles are small non-negative integers; -1 means "no instance". Handles
// are independent and may be used from several threads at once.
//
// Results are byte-identical with OpenCC's converter for the same
// configuration, with one intended difference: a NUL byte. OpenCC hands
// unconverted runs on as C strings, so the text after a NUL is lost up to
// the next dictionary word. Here a NUL passes through as itself and the text
// after it converts as the text after a line end would: a text with NULs
// converts as its NUL-separated pieces do one by one, NULs kept between.
//
// Failures worth telling (a missing or unreadable dictionary, a malformed
// configuration, text OpenCC rejects) are thrown as std::runtime_error with
// a UTF-8 message. The library never writes to the console.
#pragma once

#include <stddef.h>

#ifdef GLYPHMAP_BUILDING
#define GLYPHMAP_API __declspec(dllexport)
#else
#define GLYPHMAP_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Opens an instance for an OpenCC JSON configuration text. The text is read
// during the call only. Dictionaries named in it are loaded from the folder
// that holds glyphmap.dll. `libraryName` is accepted for compatibility and
// not used. Returns the handle, or -1 when `config` is null or empty.
GLYPHMAP_API int opencc_open_t2s(const char* config, const char* libraryName);

// Converts `length` bytes of UTF-8 at `input` into `output`, followed by one
// NUL. The returned count excludes that terminator. The caller's buffer must
// hold ceil(4 * length / 3) + 1 bytes: no more is ever written. An unknown
// handle converts nothing and returns 0.
GLYPHMAP_API int opencc_convert_utf8_to_buffer(int handle, const char* input,
                                               size_t length, char* output);

// Releases an instance. Unknown handles are ignored.
GLYPHMAP_API void opencc_close(int handle);

// Where a long text may be cut: the largest k <= `length` such that
// converting the first k bytes and the rest in two calls gives exactly what
// one call over the whole text gives, whatever follows the `length` bytes
// (the character before the cut is part of no key but at a key's end, and
// no ideographic description sequence reaches across it). 0 when there is
// no such place, or for an unknown handle.
GLYPHMAP_API size_t glyphmap_safe_cut(int handle, const char* text, size_t length);

#ifdef __cplusplus
}

// The most bytes opencc_convert_utf8_to_buffer writes for `length` input
// bytes, terminator included.
inline size_t GlyphmapOutputBound(size_t length) {
  return (4 * length + 2) / 3 + 1;
}
#endif
