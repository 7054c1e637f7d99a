#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/ConvDirection.h"
#include "engine/ConvEngine.h"
#include "engine/TextPlaces.h"

class ConvWorker;

// What a text page hands to its worker. The page fills `source` before the
// job starts and reads `result` only after CONV_END.
struct TextJob {
  std::wstring source;
  std::wstring result;
  ConvDirection direction = Sim2Tra;
  ConvOptions options;  // the standard and the word list
  bool everyPlace = false;  // mark every place, not only those worth a look
  std::vector<TextPlace> places;  // the result's places, read with `result`
  HWND window = nullptr;  // receives CONV_BEGIN and CONV_END
  // The page's worker, told what kept the conversion from working; with
  // none, that is shown at once (ShowUtf8Message).
  ConvWorker* worker = nullptr;
};

// Converts the whole source text in one call of glyphmap, through UTF-8,
// into job.result. Posts CONV_BEGIN first and CONV_END last, on every path.
// Returns 0, the worker's exit code.
DWORD ConvertText(TextJob& job);

// Shows a UTF-8 message (glyphmap's error text) in the application's
// message box with an OK button, owned by `owner`; a text beyond 2047
// UTF-16 units is cut.
void ShowUtf8Message(const char* utf8, HWND owner = nullptr);
