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
// hold ceil(4 * length / 3) + 1 bytes: no more is ever written (a result
// that would not fit, possible only with a user's word list, throws). An
// unknown handle converts nothing and returns 0.
GLYPHMAP_API int opencc_convert_utf8_to_buffer(int handle, const char* input,
                                               size_t length, char* output);

// Opens an instance for a configuration by name, OpenCC 1.4.1's own as
// they ship beside glyphmap.dll: "s2t" (OpenCC's generic Traditional),
// "s2tw", "s2twp", "s2hk", "s2hkp", and "t2s", "tw2s", "tw2sp", "hk2s",
// "hk2sp" the other way. `wordList`, when neither
// null nor empty, is the UTF-8 path of a user's word list (entries "source
// TAB result", one per line) whose entries take priority over every
// dictionary; a missing file is an empty list, and the list is read again
// on a later open once its file changed. Returns the handle, or -1 for an
// unknown name. Throws like opencc_open_t2s.
GLYPHMAP_API int glyphmap_open(const char* name, const char* wordList);

// The bytes `output` needs for `length` input bytes, terminator included:
// a property of the handle's dictionaries and word list. 0 for an unknown
// handle.
GLYPHMAP_API size_t glyphmap_output_bound(int handle, size_t length);

// As opencc_convert_utf8_to_buffer, into a buffer of `capacity` bytes; one
// smaller than glyphmap_output_bound(handle, length) is refused (throws,
// writing only an empty result when capacity > 0).
GLYPHMAP_API int glyphmap_convert(int handle, const char* input, size_t length, char* output,
                                  size_t capacity);

// Copies the report on the handle's word list (UTF-8: the file and the
// first lines skipped and why; empty when every line was used or there is
// no list) into `buffer` of `size` bytes, cut and NUL-terminated, and
// returns its full length in bytes.
GLYPHMAP_API size_t glyphmap_word_list_report(int handle, char* buffer, size_t size);

// A place of a result where a character with several counterparts was
// converted by its character dictionary entry alone: no phrase, no word
// list entry decided it (for example 发 alone, 發 or 髮).
typedef struct glyphmap_place {
  size_t offset;       // bytes into the result
  size_t length;       // bytes of the chosen character there
  // Where the place came from in the input: its bytes there (a character,
  // or what a normalization made of it).
  size_t sourceOffset;
  size_t sourceLength;
  const char* source;  // the character looked up, UTF-8, NUL-terminated
  // The candidates in the dictionary's order, the chosen one first; one
  // per line ('\n' between them), each the candidate followed by up to two
  // words of the phrase dictionaries that use it (each after a tab).
  const char* candidates;
  // How often the dictionaries' phrases take another candidate than the
  // first for this character, per mille of the phrases that hold it.
  int rank;
  // How many of the dictionaries' phrases take another candidate than the
  // first (a candidate few words use is rarely right alone). A place is
  // worth a look when both are high enough.
  int words;
} glyphmap_place;

// Called once per place, in order; the strings live for the call only.
typedef void (*glyphmap_place_sink)(void* context, const glyphmap_place* place);

// Every place, not only those whose character ranks high enough to be
// worth a look (the default).
#define GLYPHMAP_EVERY_PLACE 1

// As glyphmap_convert (the same result and failures), then `sink` gets the
// places of the result: through every step of the handle's chain, a place
// found by one step staying one when a later step converts its character
// (its candidates then as that step converts them). `sink` may be null.
GLYPHMAP_API int glyphmap_convert_places(int handle, const char* input, size_t length, char* output,
                                         size_t capacity, int flags, glyphmap_place_sink sink,
                                         void* context);

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
