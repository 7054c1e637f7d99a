#pragma once
// One conversion of the clipboard's text. The user interface thread fills
// the source and reads the result only after the worker has ended.
#include <windows.h>

#include <string>

#include "engine/ConvDirection.h"
#include "engine/ConvEngine.h"

struct ClipboardJob {
  std::wstring source;
  DWORD sequence = 0;  // the clipboard's sequence number when the source was read
  ConvDirection direction = Sim2Tra;
  ConvOptions options;  // the standard and the word list

  // Filled by ConvertClipboardJob.
  std::wstring result;
  bool converted = false;      // result holds the whole converted text
  std::string problem;         // UTF-8: why it was not converted
  std::string wordListReport;  // UTF-8: word list lines that were skipped
};

// Converts job.source whole, on the calling thread (the worker). A failure
// leaves converted false and says why in problem; a partial result is
// never offered, so the clipboard keeps its text.
void ConvertClipboardJob(ClipboardJob& job);

// The characters of a text as a person counts them: a surrogate pair is
// one, line ends are none.
size_t CountCharacters(const std::wstring& text);
