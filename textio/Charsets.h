#pragma once
#include <windows.h>

// Code pages of files whose detected charset the system's ANSI code page
// would decode wrongly (a Big5 file on a Simplified Chinese system, say).
//
// 0 stands for "the system's ANSI code page". Two values stand for UTF-32,
// which the platform's multi-byte conversion does not read; the UTF-32
// reader serves them.
constexpr UINT kSystemCodePage = 0;
constexpr UINT kCodePageUtf32Le = 12000;
constexpr UINT kCodePageUtf32Be = 12001;

// The code page that decodes text the detector named `charset` (compared
// without regard to case), as far as this system can decode it; 0 when the
// name is empty, plain ASCII, unknown, or its code page is not available.
// "UTF-32" has no answer here (its byte order is in the file): 0.
UINT CodePageForCharset(const char* charset);

// The code page a detected file is read in: CodePageForCharset, and for
// "UTF-32" the byte order of the file's mark (FF FE 00 00 or 00 00 FE FF;
// 0 when neither is there).
UINT CodePageForDetectedFile(const wchar_t* path, const char* charset);
