#pragma once
#include <windows.h>

// Posted (never sent) by a worker to its page; wParam is one of the codes.
constexpr UINT WM_CONV_NOTIFY = WM_USER + 101;

constexpr WPARAM CONV_BEGIN = 1;         // lParam: 0 (text) or 1000 progress steps (files)
constexpr WPARAM CONV_END = 2;           // lParam: 0; always the job's last message
constexpr WPARAM CONV_STEP = 3;          // lParam: the steps done (ConvWorker::PostSteps)
constexpr WPARAM CONV_FILE_BEGIN = 4;    // lParam: index of the file
constexpr WPARAM CONV_FILE_DONE = 5;     // lParam: index of the file
constexpr WPARAM CONV_FILE_STOPPED = 6;  // lParam: index of the file
constexpr WPARAM CONV_FILE_FAILED = 7;   // lParam: index of the file
// Codes 8 and 9 carry a datum in wParam's high word (ConvCode,
// ConvCodeDatum); the low word is the code, lParam the file's index in full.
constexpr WPARAM ConvCode(WPARAM code, WORD datum) { return code | (static_cast<WPARAM>(datum) << 16); }
constexpr WORD ConvCodeDatum(WPARAM code) { return static_cast<WORD>((code >> 16) & 0xFFFF); }
// Posted just before CONV_FILE_FAILED when the job knows why the file
// failed, and just before CONV_FILE_DONE when a done file has a note;
// wParam: ConvCode(CONV_FILE_REASON, one of the reasons or notes below);
// lParam: index of the file.
constexpr WPARAM CONV_FILE_REASON = 8;
// Posted just before CONV_FILE_DONE or CONV_FILE_STOPPED when places of the
// source were no text in its encoding and became U+FFFD; wParam:
// ConvCode(CONV_FILE_REPLACED, how many, 0xFFFF for that many or more);
// lParam: index of the file.
constexpr WPARAM CONV_FILE_REPLACED = 9;

constexpr WORD CONV_REASON_NOT_DISK_FILE = 1;  // the source is a device, not a file
constexpr WORD CONV_REASON_NOT_TEXT = 2;       // the source holds no text
constexpr WORD CONV_REASON_OUTPUT_IN_USE = 3;  // another program writes the output file
constexpr WORD CONV_REASON_CANNOT_READ = 4;    // the source cannot be opened or read whole
constexpr WORD CONV_REASON_CANNOT_WRITE = 5;   // the output cannot be created or written
constexpr WORD CONV_REASON_ENCODING = 6;       // the output encoding cannot hold the text
constexpr WORD CONV_REASON_WOULD_OVERWRITE_SOURCE = 7;  // the output would be a queued source
constexpr WORD CONV_REASON_UNDECODABLE = 8;    // the text is not valid in the file's encoding
constexpr WORD CONV_REASON_NO_ENGINE = 9;      // the converter did not start
constexpr WORD CONV_REASON_NO_MEMORY = 10;     // out of memory
constexpr WORD CONV_REASON_LINE_TOO_LONG = 11; // a line too long to convert
constexpr WORD CONV_REASON_CANNOT_APPEND = 12; // the output there cannot be continued
// Done, but the output took a number: another file of the run had made an
// output of its name.
constexpr WORD CONV_NOTE_NUMBERED = 13;
// Done without converting: the file is the earlier output of another
// queued file, beside it, which writes it anew.
constexpr WORD CONV_NOTE_EARLIER_OUTPUT = 14;
