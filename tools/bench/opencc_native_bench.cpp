// The same line-by-line conversion as glyphmap_bench, with OpenCC 1.4.1
// built natively for this machine: the reference for glyphmap's speed.
//   opencc_native_bench CONFIGURATION DATA_FOLDER CORPUS [ROUNDS]
// CONFIGURATION (s2t, t2s, s2tw ...) is read from
// DATA_FOLDER/CONFIGURATION.json, where the dictionaries lie too.
// With "file" first, it is a converter of one file as a command line is:
// load the configuration, read the file, convert it line by line, write the
// result to OUTPUT; the whole process is timed from outside.
//   opencc_native_bench file CONFIGURATION DATA_FOLDER INPUT OUTPUT
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Config.hpp"
#include "Converter.hpp"
#include "tools/bench/LineCorpus.h"

namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of this thread: unlike the clock, it does not count the
// time other processes of a busy machine take. Its ticks can be coarse (10 ms
// under Wine), so the rate is taken over all rounds together.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Resident memory of this process, from /proc.
double ResidentMiB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * 4096.0 / 1048576.0;
}

std::string ConfigText(const std::string& name, const std::string& data) {
  std::ifstream in(data + "/" + name + ".json", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int ConvertFile(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: opencc_native_bench file CONFIGURATION DATA INPUT OUTPUT\n");
    return 2;
  }
  const std::string config = ConfigText(argv[2], argv[3]);
  LineCorpus input;
  if (config.empty() || !input.Load(argv[4])) return 2;
  opencc::Config loader;
  opencc::ConverterPtr converter = loader.NewFromString(config, std::string(argv[3]));
  std::ofstream out(argv[5], std::ios::binary);
  for (std::string_view line : input.lines) out << converter->Convert(line);
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "file") == 0) return ConvertFile(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: opencc_native_bench CONFIGURATION DATA CORPUS [ROUNDS]\n");
    return 2;
  }
  const std::string name = argv[1];
  const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
  LineCorpus corpus;
  if (!corpus.Load(argv[3])) return 2;
  const std::string config = ConfigText(name, argv[2]);
  if (config.empty()) {
    std::fprintf(stderr, "no configuration %s in %s\n", argv[1], argv[2]);
    return 2;
  }

  double memBefore = ResidentMiB();
  double t0 = Now();
  opencc::Config loader;
  opencc::ConverterPtr converter = loader.NewFromString(config, std::string(argv[2]));
  double t1 = Now();
  std::printf("bench: opencc_native_open_memory_%s %.1f MiB\n", argv[1], ResidentMiB() - memBefore);
  std::printf("bench: opencc_native_open_%s %.1f ms\n", argv[1], (t1 - t0) * 1e3);

  std::vector<char> out(1 << 20);
  size_t outBytes = 0;
  double best = 1e30, cpu = 0;
  for (int r = 0; r < rounds; ++r) {
    outBytes = 0;
    double start = Now(), startCpu = ThreadSeconds();
    for (std::string_view line : corpus.lines) {
      std::string converted = converter->Convert(line);
      if (converted.size() + 1 > out.size()) out.resize(converted.size() + 1);
      std::memcpy(out.data(), converted.data(), converted.size());
      out[converted.size()] = '\0';
      outBytes += converted.size();
    }
    best = std::min(best, Now() - start);
    cpu += ThreadSeconds() - startCpu;
  }
  std::printf("bench: opencc_native_%s %.2f MB/s\n", argv[1],
              static_cast<double>(corpus.text.size()) / best / 1e6);
  std::printf("bench: opencc_native_cpu_%s %.2f MB/s\n", argv[1],
              static_cast<double>(corpus.text.size()) / (cpu / rounds) / 1e6);
  std::fprintf(stderr, "%zu lines, %zu bytes out\n", corpus.lines.size(), outBytes);
  return 0;
}
