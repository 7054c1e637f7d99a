// The command line's conversion of files, timed as filejob_bench times the
// file job (engine opening included, process start-up not):
//   cli_bench.exe s2t|t2s NAME PATH ENCODING [NAME PATH ENCODING ...]
// ENCODING is the file job bench's number (0 ANSI, 1 UTF-16LE, 2 UTF-16BE,
// 3 UTF-8), given to the command line as its -e name.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "tools/bench/BenchClock.h"

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) {
    std::fprintf(stderr, "usage: cli_bench s2t|t2s NAME PATH ENCODING ...\n");
    return 2;
  }
  const wchar_t* encodings[] = {L"ansi", L"utf16le", L"utf16be", L"utf8"};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"tarnwell-cli-bench";
  CreateDirectoryW(out.c_str(), nullptr);
  CliConsole console;
  for (int i = 2; i + 2 < argc; i += 3) {
    const int enc = std::atoi(argv[i + 2]);
    std::wstring error;
    CliOptions options;
    if (enc < 0 || enc > 3 ||
        !ParseCliOptions({L"-q", L"--overwrite", L"-c", Wide(argv[1]), L"-e", encodings[enc],
                          L"-o", out, Wide(argv[i + 1])},
                         options, error)) {
      std::fprintf(stderr, "cli_bench: bad arguments\n");
      return 2;
    }
    const double start = Now();
    const int status = RunCli(options, console);
    const double seconds = Now() - start;
    if (status != 0) {
      std::fprintf(stderr, "cli_bench: %s failed (%d)\n", argv[i], status);
      continue;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(Wide(argv[i + 1]).c_str(), GetFileExInfoStandard, &data);
    const double bytes = static_cast<double>(data.nFileSizeLow) +
                         static_cast<double>(data.nFileSizeHigh) * 4294967296.0;
    std::printf("bench: cli_%s_%s %.2f MB/s\n", argv[1], argv[i], bytes / seconds / 1e6);
  }
  return 0;
}
