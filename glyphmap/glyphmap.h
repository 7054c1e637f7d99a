// glyphmap: Chinese script conversion in the style of OpenCC's C interface.
//
// Handles are small non-negative integers; -1 means "no instance". Handles
// are independent and may be used from several threads at once.
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

#ifdef __cplusplus
}

// The most bytes opencc_convert_utf8_to_buffer writes for `length` input
// bytes, terminator included.
inline size_t GlyphmapOutputBound(size_t length) {
  return (4 * length + 2) / 3 + 1;
}
#endif
