// The proofreading figures: how many places a text gets per 1,000 Han
// characters at several rank thresholds, and what finding them costs next
// to the plain conversion (the whole text in one call, as a text page does).
//   places_bench.exe CONFIGURATION NAME TEXT.txt [ROUNDS [show]]
// prints "bench: NAME VALUE UNIT" lines ("show": and each judged place).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "glyphmap/glyphmap.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/PlaceJudge.h"

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

struct Scores {
  int rank, words;
};

void KeepScores(void* context, const glyphmap_place* place) {
  static_cast<std::vector<Scores>*>(context)->push_back({place->rank, place->words});
}

// A default place as the judge needs it.
struct Marked {
  size_t offset, length;
  std::vector<std::string> candidates;
};

void KeepMarked(void* context, const glyphmap_place* place) {
  Marked m{place->offset, place->length, {}};
  for (const char* p = place->candidates; *p;) {
    const char* end = p + std::strcspn(p, "\t\n");
    m.candidates.emplace_back(p, end);
    p = end + std::strcspn(end, "\n");
    if (*p) ++p;
  }
  static_cast<std::vector<Marked>*>(context)->push_back(std::move(m));
}

std::string ExeFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\'));
}

const char* const kVerdicts[4] = {"unknown", "keep", "change", "split"};

// Of up to 100 default places, spread evenly over the text, how many the
// phrase dictionaries would change, keep, are split on or do not know.
void JudgeSample(int h, const std::string& config, const std::string& name, const std::string& text,
                 std::vector<char>& out, bool show) {
  std::vector<Marked> marked;
  const int n = glyphmap_convert_places(h, text.data(), text.size(), out.data(), out.size(), 0,
                                        &KeepMarked, &marked);
  const std::string_view result(out.data(), n > 0 ? static_cast<size_t>(n) : 0);
  const PlaceJudge judge(ExeFolder(), config.rfind("s2", 0) == 0);
  const size_t sample = std::min<size_t>(100, marked.size());
  // By whole words, then where they do not know the context, by parts of
  // longer words too.
  int verdicts[2][4] = {};
  for (size_t i = 0; i < sample; ++i) {
    const Marked& m = marked[i * marked.size() / sample];
    int verdict = static_cast<int>(judge.Judge(result, m.offset, m.length, m.candidates, false));
    ++verdicts[0][verdict];
    if (verdict == 0) verdict = static_cast<int>(judge.Judge(result, m.offset, m.length, m.candidates, true));
    ++verdicts[1][verdict];
    if (show) {
      const size_t from = m.offset >= 9 ? m.offset - 9 : 0;
      std::string context(result.substr(from, m.offset + m.length + 9 - from));
      for (char& c : context) c = c == '\n' || c == '\r' ? ' ' : c;
      std::printf("place %zu %s: ...%s... (%s)\n", i, m.candidates.front().c_str(), context.c_str(),
                  kVerdicts[verdict]);
    }
  }
  const char* levels[2] = {"words", "parts"};
  for (int level = 0; level < 2; ++level) {
    for (int v = 0; v < 4; ++v) {
      std::printf("bench: places_judged_%s_%s_by_%s_%s %d of %zu\n", config.c_str(), name.c_str(),
                  levels[level], kVerdicts[v], verdicts[level][v], sample);
    }
  }
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
    std::vector<Scores> scores;
    glyphmap_convert_places(h, text.data(), text.size(), out.data(), out.size(), GLYPHMAP_EVERY_PLACE,
                            &KeepScores, &scores);
    const double han = static_cast<double>(HanCharacters(text));
    std::printf("bench: places_han_%s_%s %.0f characters\n", config.c_str(), name.c_str(), han);
    // By the rank alone, and with the words the default asks for (47).
    for (int words : {0, 47}) {
      for (int threshold : {0, 20, 40, 60, 90, 120, 150, 200, 300}) {
        const auto n = std::count_if(scores.begin(), scores.end(), [&](const Scores& s) {
          return s.rank >= threshold && s.words >= words;
        });
        std::printf("bench: places_per_1000_%s_%s_rank%d_words%d %.2f places\n", config.c_str(),
                    name.c_str(), threshold, words, han > 0 ? 1000.0 * static_cast<double>(n) / han : 0.0);
      }
    }
    JudgeSample(h, config, name, text, out, argc > 5 && std::strcmp(argv[5], "show") == 0);
    // The plain conversion and the one with places, alternating.
    std::vector<double> plain, marked;
    std::vector<Scores> kept;
    double plainCpu = 0, markedCpu = 0;  // processor time, over all rounds
    for (int i = 0; i < rounds; ++i) {
      const double c0 = ThreadSeconds(), t0 = Now();
      glyphmap_convert(h, text.data(), text.size(), out.data(), out.size());
      const double c1 = ThreadSeconds(), t1 = Now();
      kept.clear();
      glyphmap_convert_places(h, text.data(), text.size(), out.data(), out.size(), 0, &KeepScores, &kept);
      const double c2 = ThreadSeconds(), t2 = Now();
      plain.push_back(t1 - t0);
      marked.push_back(t2 - t1);
      plainCpu += c1 - c0;
      markedCpu += c2 - c1;
    }
    const double mb = static_cast<double>(text.size()) / 1e6;
    std::printf("bench: places_plain_%s_%s %.1f MB/s\n", config.c_str(), name.c_str(), mb / Median(plain));
    std::printf("bench: places_marked_%s_%s %.1f MB/s\n", config.c_str(), name.c_str(), mb / Median(marked));
    std::printf("bench: places_cost_%s_%s %.2f x\n", config.c_str(), name.c_str(),
                Median(marked) / Median(plain));
    if (plainCpu > 0) {
      std::printf("bench: places_cost_cpu_%s_%s %.2f x (%.2f s against %.2f s)\n", config.c_str(),
                  name.c_str(), markedCpu / plainCpu, markedCpu, plainCpu);
    }
    opencc_close(h);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
