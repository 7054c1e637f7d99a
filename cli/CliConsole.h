#pragma once
// Standard output and standard error of tarnwell-cli: text goes to a
// console through WriteConsoleW (so Chinese shows whatever the console's
// code page), and as raw UTF-8 bytes when the stream is redirected.
#include <windows.h>

#include <cstdint>
#include <string>

#include "textio/TextEncoder.h"

class CliConsole {
 public:
  CliConsole();

  // Converted text for standard output: bytes in `encoding`, whole lines.
  // A console shows them as the text they are; redirected, they go as they are.
  bool WriteOut(const char* bytes, std::int32_t count, const TargetEncoding& encoding = {});
  // A message line on standard error (the progress line is cleared first).
  void Error(const std::wstring& line);
  // Text on standard output (help, version).
  void Print(const std::wstring& text);

  // The progress line, rewritten in place; only on a console.
  bool ProgressShown() const { return errConsole_; }
  void Progress(const std::wstring& line);
  void ClearProgress();

  HANDLE In() const { return in_; }
  bool InConsole() const { return inConsole_; }

 private:
  bool WriteText(HANDLE handle, bool console, const std::wstring& text);

  HANDLE in_, out_, err_;
  bool inConsole_, outConsole_, errConsole_;
  size_t progressWidth_ = 0;
};

std::wstring WideFromUtf8(const char* bytes, std::int32_t count);
// The text of `count` bytes written in `encoding` (whole lines), for a
// console; a byte-order mark is left out.
std::wstring ConsoleText(const char* bytes, std::int32_t count, const TargetEncoding& encoding);
std::string Utf8FromWide(const std::wstring& text);
