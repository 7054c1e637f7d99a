// The proofreading figures: how many places a text gets per 1,000 Han
// characters at several rank thresholds, and what finding them costs next
// to the plain conversion (the whole text in one call, as a text page does).
//   places_bench.exe CONFIGURATION NAME TEXT.txt [ROUNDS]
// prints "bench: NAME VALUE UNIT" lines.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "glyphmap/glyphmap.h"
#include "tools/bench/BenchClock.h"

namespace {

std::string ReadAll(const char* path) {
  std::string bytes;
  if (FILE* f = std::fopen(path, "rb")) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

size_t HanCharacters(const std::string& text) {
  size_t count = 0;
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    const auto* u = reinterpret_cast<const unsigned char*>(text.data() + i);
    if ((u[0] & 0xF0) != 0xE0) continue;
    const unsigned cp = (u[0] & 0x0Fu) << 12 | (u[1] & 0x3Fu) << 6 | (u[2] & 0x3Fu);
    if ((cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF)) ++count;
  }
  return count;
}

void KeepRank(void* context, const glyphmap_place* place) {
  static_cast<std::vector<int>*>(context)->push_back(place->rank);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: places_bench CONFIGURATION NAME TEXT [ROUNDS]\n");
    return 2;
  }
  const std::string config = argv[1], name = argv[2];
  const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
  const std::string text = ReadAll(argv[3]);
  if (text.empty()) return 2;
  try {
    const int h = glyphmap_open(config.c_str(), nullptr);
    if (h < 0) return 1;
    std::vector<char> out(glyphmap_output_bound(h, text.size()));
    std::vector<int> ranks;
    glyphmap_convert_places(h, text.data(), text.size(), out.data(), out.size(), GLYPHMAP_EVERY_PLACE,
                            &KeepRank, &ranks);
    const double han = static_cast<double>(HanCharacters(text));
    std::printf("bench: places_han_%s_%s %.0f characters\n", config.c_str(), name.c_str(), han);
    for (int threshold : {0, 20, 40, 60, 90, 120, 150, 200, 300}) {
      const auto n = std::count_if(ranks.begin(), ranks.end(), [&](int r) { return r >= threshold; });
      std::printf("bench: places_per_1000_%s_%s_rank%d %.2f places\n", config.c_str(), name.c_str(),
                  threshold, han > 0 ? 1000.0 * static_cast<double>(n) / han : 0.0);
    }
    // The plain conversion and the one with places, alternating.
    std::vector<double> plain, marked;
    std::vector<int> kept;
    for (int i = 0; i < rounds; ++i) {
      double t0 = Now();
      glyphmap_convert(h, text.data(), text.size(), out.data(), out.size());
      double t1 = Now();
      kept.clear();
      glyphmap_convert_places(h, text.data(), text.size(), out.data(), out.size(), 0, &KeepRank, &kept);
      double t2 = Now();
      plain.push_back(t1 - t0);
      marked.push_back(t2 - t1);
    }
    const double mb = static_cast<double>(text.size()) / 1e6;
    std::printf("bench: places_plain_%s_%s %.1f MB/s\n", config.c_str(), name.c_str(), mb / Median(plain));
    std::printf("bench: places_marked_%s_%s %.1f MB/s\n", config.c_str(), name.c_str(), mb / Median(marked));
    std::printf("bench: places_cost_%s_%s %.2f x\n", config.c_str(), name.c_str(),
                Median(marked) / Median(plain));
    opencc_close(h);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
