#pragma once
// The command line of tarnwell-cli: what to convert, how, and where to.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ConvDirection.h"
#include "textio/FileEncoding.h"

// How the sources are read: detected per file (as the file pages do), or
// one encoding for all. For EncAnsi, codePage 0 is the system's ANSI code
// page; another value decodes in that code page.
struct InputEncoding {
  bool detect = true;
  FileEncoding encoding = EncAnsi;
  UINT codePage = 0;
};

// What the output is written in; the values are the settings' output
// encodings (textio/TextEncoder.h). The table in CliOptions.cpp names what
// --to accepts.
enum class OutputEncoding : std::int32_t { Utf8 = 0, Utf8Bom = 1, Utf16Le = 2, Gb18030 = 3, Big5 = 4, SameAsSource = 5 };

// What to do with an output file that is already there.
enum class ExistingOutput { Refuse, Overwrite, Append, KeepBoth };

struct CliOptions {
  bool help = false;
  bool version = false;
  std::wstring configName = L"s2t";
  ConvDirection direction = Sim2Tra;
  std::int32_t standard = 0;  // engine/Standards.h
  std::wstring wordList;      // --words: a user word list; empty: none
  InputEncoding input;
  OutputEncoding output = OutputEncoding::Utf8;
  std::wstring outputPath;  // -o; empty: the current folder
  bool besideSource = false;  // --beside: each output beside its source, with a suffix
  bool convertNames = false;  // --convert-names
  bool recurse = false;
  ExistingOutput existing = ExistingOutput::Refuse;
  bool quiet = false;
  std::vector<std::wstring> inputs;  // files and folders; none: standard input
};

// Reads the arguments after the program's name. False on a usage error,
// with `error` saying what is wrong (in Chinese and English).
bool ParseCliOptions(const std::vector<std::wstring>& args, CliOptions& options,
                     std::wstring& error);

// The help text, in Chinese and English.
std::wstring CliHelpText();
// "tarnwell-cli 1.0.1".
std::wstring CliVersionText();
