#pragma once
// Everything a run of conversions needs to know, taken once before it
// starts (the file pages read it from the settings on the user interface
// thread, the command line from its options) and carried by the run.
#include <string>

#include "engine/ConvEngine.h"
#include "pipeline/OutputRules.h"

struct RunSettings {
  ConvDirection direction = Sim2Tra;
  ConvOptions conversion;      // the standard and the word list
  OutputOptions output;
  std::wstring outputFolder;   // where outputs go when they do not go beside their sources
  // True: a missing output folder is made (the command line's -o); false:
  // only the sub-folders below an existing output folder are.
  bool makeOutputFolder = false;
  // The one output file of a run of one source (the command line's -o FILE); else empty.
  std::wstring outputFile;
};
