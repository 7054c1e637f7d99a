// tarnwell-cli: the converter for scripts and consoles.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/CliRun.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  try {
    return CliMain(args);
  } catch (...) {
    // Out of memory while planning or reporting: a failure, never a crash.
    return kExitSomeFailed;
  }
}
