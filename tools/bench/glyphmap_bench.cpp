// Converts a corpus through glyphmap.dll one line at a time and prints
// "bench: NAME VALUE UNIT" lines.
//   glyphmap_bench.exe DIRECTION(s2t|t2s) CORPUS.txt [ROUNDS [opencc]]
// With a fourth argument it times OpenCC's own load instead.
#include <windows.h>

#include <psapi.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Config.hpp"
#include "Converter.hpp"
#include "glyphmap/NamedConfigs.h"
#include "glyphmap/ConfigText.h"
#include "glyphmap/glyphmap.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/LineCorpus.h"

namespace {

size_t WorkingSetBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                       sizeof pmc);
  return pmc.WorkingSetSize;
}

// The folder of this program, where the dictionaries lie beside glyphmap.dll.
std::string OwnFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: glyphmap_bench CONFIGURATION CORPUS [ROUNDS [opencc]]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  LineCorpus corpus;
  if (!corpus.Load(argv[2])) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 2;
  }
  const std::string name = argv[1];

  if (argc > 4) {
    // OpenCC's own load of the same configuration, in this process under
    // the same conditions: what glyphmap's first open is held against.
    double t0 = Now();
    opencc::Config loader;
    std::string folder = OwnFolder();
    opencc::ConverterPtr converter = loader.NewFromString(
        glyphmap::PrepareConfig(glyphmap::ConfigTextByName(name, folder)).json, folder);
    std::printf("bench: opencc_same_process_open_%s %.1f ms\n", argv[1], (Now() - t0) * 1e3);
    return 0;
  }
  try {
    size_t memBefore = WorkingSetBytes();
    double t0 = Now();
    int first = glyphmap_open(name.c_str(), nullptr);
    double t1 = Now();
    int later = glyphmap_open(name.c_str(), nullptr);
    double t2 = Now();
    if (first < 0 || later < 0) return 1;
    // A later open is a look at the dictionaries' stamps: the median of a
    // few, so that one descheduling does not stand for all.
    std::vector<double> laterOpens;
    for (int i = 0; i < 21; ++i) {
      double a = Now();
      int h = glyphmap_open(name.c_str(), nullptr);
      laterOpens.push_back(Now() - a);
      if (h < 0) return 1;
      opencc_close(h);
    }
    std::sort(laterOpens.begin(), laterOpens.end());
    std::printf("bench: glyphmap_open_memory_%s %.1f MiB\n", argv[1],
                static_cast<double>(WorkingSetBytes() - memBefore) / 1048576.0);
    std::printf("bench: glyphmap_first_open_%s %.1f ms\n", argv[1], (t1 - t0) * 1e3);
    std::printf("bench: glyphmap_second_open_%s %.3f ms\n", argv[1], (t2 - t1) * 1e3);
    std::printf("bench: glyphmap_later_open_%s %.3f ms\n", argv[1], laterOpens[10] * 1e3);

    std::vector<char> out(1 << 20);
    size_t outBytes = 0;
    double best = 1e30, cpu = 0;
    for (int r = 0; r < rounds; ++r) {
      outBytes = 0;
      double start = Now(), startCpu = ThreadSeconds();
      for (std::string_view line : corpus.lines) {
        const size_t bound = glyphmap_output_bound(later, line.size());
        if (bound > out.size()) out.resize(bound);
        outBytes += static_cast<size_t>(
            glyphmap_convert(later, line.data(), line.size(), out.data(), out.size()));
      }
      best = std::min(best, Now() - start);
      cpu += ThreadSeconds() - startCpu;
    }
    std::printf("bench: glyphmap_%s %.2f MB/s\n", argv[1],
                static_cast<double>(corpus.text.size()) / best / 1e6);
    std::printf("bench: glyphmap_cpu_%s %.2f MB/s\n", argv[1],
                static_cast<double>(corpus.text.size()) / (cpu / rounds) / 1e6);
    std::fprintf(stderr, "%zu lines, %zu bytes in, %zu bytes out\n", corpus.lines.size(),
                 corpus.text.size(), outBytes);
    opencc_close(first);
    opencc_close(later);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "glyphmap: %s\n", e.what());
    return 1;
  }
  return 0;
}
