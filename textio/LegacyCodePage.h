#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

// Deciding the code page of a file in a legacy (non-Unicode) encoding.
//
// The detector's name for short Chinese text is often wrong: a few GBK
// characters come back as a Greek, Cyrillic, Western or Thai code page, or
// as UTF-8. `ChooseLegacyCharset` corrects that with what the bytes show:
//  - a name whose code page the bytes contradict (they do not decode there
//    without error) is not taken;
//  - a single-byte name does not override a double-byte system code page
//    (936, 950, 932, 949) in which the bytes decode without error;
//  - between GBK and Big5, when the bytes are valid in both, the reading
//    whose characters are the more common Chinese characters wins.
// `sample` is the start of the file (the whole file when `whole`); it is
// cut back to a safe end when it is not whole. Returns the charset name to
// read the file in, in the detector's spelling (CodePageForCharset maps it):
// the detector's own name, "GBK", "GB18030", "BIG5", the system code page's
// name ("SHIFT_JIS", "UHC"), or "" for the system code page.
std::string ChooseLegacyCharset(const unsigned char* sample, std::size_t size, bool whole,
                                const char* detected, UINT systemCodePage);

// Whether `size` bytes decode in `codePage` without an invalid or
// unassigned sequence.
bool DecodesCleanly(UINT codePage, const unsigned char* bytes, std::size_t size);

// The summed cost of the text's characters by the frequency table
// (CharFrequency.h): lower means more like ordinary Chinese text. ASCII is
// free; a character outside the table costs more than any in it.
long ChineseTextCost(const wchar_t* text, std::size_t length);

// The cost ChineseTextCost gives a character outside the frequency table.
long UncommonCharacterCost();
