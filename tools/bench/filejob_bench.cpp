// The file job end to end: converts the given files into a temporary
// output folder and prints "bench: NAME VALUE UNIT" lines (the speed and
// the progress steps posted).
//   filejob_bench.exe s2t|t2s [--rounds N] NAME PATH ENCODING [NAME PATH ENCODING ...]
// With --rounds, each file is converted N times: the speed by the clock is
// the best round's, the processor time the rounds' mean (its ticks are
// coarse), as glyphmap_bench takes its own.
// With "stop" first, the job runs on its worker thread and is stopped once
// a fifth of its progress steps are posted: prints the time from the stop
// request to the end of the job.
//   filejob_bench.exe stop s2t|t2s NAME PATH ENCODING
// With "many", every text file of FOLDER is queued (its encoding detected,
// as Add does) and converted in one run, against ONE, a single file of the
// same bytes, queued and converted the same way.
//   filejob_bench.exe many s2t|t2s FOLDER ONE
// Memory is measured from outside (the peak resident size of the process,
// which Wine's own figures do not follow): run one file per process for that.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvEngine.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "pages/FileJob.h"
#include "pages/OutputOptions.h"
#include "pages/UserWords.h"
#include "tools/bench/BenchClock.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"

namespace {

// The job runs on this thread: the bench needs no window.
class BenchPage : public ConvWorker {
 public:
  BenchPage(CfgStore& store, std::vector<FileEntry> list, ConvDirection d)
      : job(*this), entries(std::move(list)), settings(ReadRunSettings(store, d)) {}
  FileJob job;
  std::vector<FileEntry> entries;
  RunSettings settings;
  DWORD RunJob() override {
    DWORD result = job.Run(entries, settings);
    runEnded = Now();
    return result;
  }
  std::atomic<double> runEnded{0};
  void OnJobMessage(WPARAM, LPARAM) override {}
  HWND JobWindow() const override { return nullptr; }
};


// Queues `paths` as the page does: each file's encoding detected.
std::vector<FileEntry> Queue(const std::vector<std::wstring>& paths) {
  std::vector<FileEntry> entries;
  for (const std::wstring& path : paths) {
    char charset[kCharsetNameSize] = {};
    const FileEncoding encoding = DetectFileEncoding(path.c_str(), charset);
    const UINT codePage = encoding == EncAnsi ? CodePageForDetectedFile(path.c_str(), charset) : 0;
    FileEntry entry;
    MakeFileEntry(path.c_str(), encoding, entry, codePage);
    entries.push_back(entry);
  }
  return entries;
}

void ClearFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Each run takes over a minute here: one round each is enough to compare.
constexpr int kRounds = 1;

// Seconds to queue and convert `paths` in one run (the best of kRounds).
double QueueAndConvert(CfgStore& store, const std::wstring& out,
                       const std::vector<std::wstring>& paths, ConvDirection direction) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    ClearFolder(out);
    const double start = Now();
    BenchPage page(store, Queue(paths), direction);
    page.RunJob();
    const double seconds = Now() - start;
    if (seconds < best) best = seconds;
  }
  ClearFolder(out);
  return best;
}

int ManyFiles(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: filejob_bench many s2t|t2s FOLDER ONE\n");
    return 2;
  }
  const ConvDirection direction = std::strcmp(argv[2], "t2s") == 0 ? Tra2Sim : Sim2Tra;
  const std::wstring folder = Wide(argv[3]);
  std::vector<std::wstring> paths;
  std::uint64_t bytes = 0;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*.srt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 1;
  do {
    paths.push_back(folder + L"\\" + found.cFileName);
    bytes += (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  } while (FindNextFileW(search, &found));
  FindClose(search);

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring work = std::wstring(temp) + L"tarnwell-filejob-many";
  CreateDirectoryW(work.c_str(), nullptr);
  const std::wstring out = work + L"\\out";
  CreateDirectoryW(out.c_str(), nullptr);
  CfgStore store((work + L"\\Tarnwell.cfg").c_str());
  store.WriteString(CFGKEY_OUTPUT_DIR, out.c_str());

  // Both runs open the conversion from glyphmap's cache, as the program's do.
  {
    ConvEngine warm;
    warm.Open(direction, CurrentConvOptions(store, direction));
  }
  const double many = QueueAndConvert(store, out, paths, direction);
  const double one = QueueAndConvert(store, out, {Wide(argv[4])}, direction);
  std::printf("bench: filejob_%s_many_files %zu files (%.1f MB)\n", argv[2], paths.size(),
              static_cast<double>(bytes) / 1e6);
  std::printf("bench: filejob_%s_many_files_rate %.1f files/s\n", argv[2],
              static_cast<double>(paths.size()) / many);
  std::printf("bench: filejob_%s_many_files_time %.2f s\n", argv[2], many);
  std::printf("bench: filejob_%s_many_files_mbps %.2f MB/s\n", argv[2],
              static_cast<double>(bytes) / many / 1e6);
  std::printf("bench: filejob_%s_one_file_same_bytes_time %.2f s\n", argv[2], one);
  std::printf("bench: filejob_%s_many_vs_one_time %.2f x (target: at most 2)\n", argv[2],
              many / one);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "many") == 0) return ManyFiles(argc, argv);
  const bool stopMode = argc > 1 && std::strcmp(argv[1], "stop") == 0;
  if (stopMode) {
    --argc;
    ++argv;
  }
  ConvDirection direction = argc > 1 && std::strcmp(argv[1], "t2s") == 0 ? Tra2Sim : Sim2Tra;
  int rounds = 1;
  if (!stopMode && argc > 3 && std::strcmp(argv[2], "--rounds") == 0) {
    rounds = std::atoi(argv[3]);
    argv[3] = argv[1];  // the direction, where the files' arguments expect it
    argc -= 2;
    argv += 2;
  }
  if (argc < 5 || (argc - 2) % 3 != 0 || rounds < 1) {
    std::fprintf(stderr, "usage: filejob_bench s2t|t2s [--rounds N] NAME PATH ENCODING ...\n");
    return 2;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring work = std::wstring(temp) + L"tarnwell-filejob-bench";
  CreateDirectoryW(work.c_str(), nullptr);
  std::wstring out = work + L"\\out";
  CreateDirectoryW(out.c_str(), nullptr);
  CfgStore store((work + L"\\Tarnwell.cfg").c_str());
  store.WriteString(CFGKEY_OUTPUT_DIR, out.c_str());

  for (int i = 2; i + 2 < argc; i += 3) {
    // The encoding by its number (0 ANSI, 1 UTF-16 LE, 2 UTF-16 BE, 3 UTF-8):
    // a name such as "utf8" would read as 0 and time the ANSI reader.
    char* end = nullptr;
    const long encoding = std::strtol(argv[i + 2], &end, 10);
    if (end == argv[i + 2] || *end != '\0' || encoding < EncAnsi || encoding > EncUtf8) {
      std::fprintf(stderr, "filejob_bench: ENCODING is 0 (ANSI), 1 (UTF-16 LE), 2 (UTF-16 BE) or 3 (UTF-8), not %s\n",
                   argv[i + 2]);
      return 2;
    }
    FileEntry entry;
    MakeFileEntry(Wide(argv[i + 1]).c_str(), static_cast<FileEncoding>(encoding), entry);
    DeleteFileW((out + L"\\" + entry.name).c_str());
    if (stopMode) {
      BenchPage page(store, {entry}, direction);
      if (page.StartJob() != 1) return 1;
      // The step count is only read here, while the worker writes it: a
      // figure a little stale is good enough to pick the moment.
      while (page.job.StepCount() < 200 && page.WorkerRecorded()) Sleep(1);
      const std::uint32_t at = page.job.StepCount();
      double start = Now();
      const int result = page.StopJob();
      const double end = Now();
      std::printf("bench: filejob_%s_%s_stop_to_end %.1f ms (stopped at step %u of 1000%s; "
                  "the job's own return after %.1f ms)\n",
                  argv[1], argv[i], (end - start) * 1000.0, at, result == 0 ? "" : ", terminated",
                  (page.runEnded.load() - start) * 1000.0);
      DeleteFileW((out + L"\\" + entry.name).c_str());
      continue;
    }
    // The program builds its conversions in the background once its window
    // shows (engine/ConvWarmUp): a job then opens them from glyphmap's
    // cache. So does the job here, as glyphmap_bench's conversion does.
    {
      ConvEngine warm;
      warm.Open(direction, CurrentConvOptions(store, direction));
    }
    // A large file is converted on two threads: the processor time is the
    // process's.
    double seconds = 1e30, cpu = 0;
    std::uint32_t steps = 0;
    for (int round = 0; round < rounds; ++round) {
      BenchPage page(store, {entry}, direction);
      const double start = Now(), startCpu = ProcessSeconds();
      page.RunJob();
      seconds = std::min(seconds, Now() - start);
      cpu += ProcessSeconds() - startCpu;
      steps = page.job.StepCount();
      DeleteFileW((out + L"\\" + entry.name).c_str());
    }
    cpu /= rounds;
    LARGE_INTEGER size{};
    HANDLE h = CreateFileW(entry.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    GetFileSizeEx(h, &size);
    CloseHandle(h);
    std::printf("bench: filejob_%s_%s %.2f MB/s\n", argv[1], argv[i],
                static_cast<double>(size.QuadPart) / seconds / 1e6);
    if (cpu > 0) {
      std::printf("bench: filejob_cpu_%s_%s %.2f MB/s\n", argv[1], argv[i],
                  static_cast<double>(size.QuadPart) / cpu / 1e6);
    }
    std::printf("bench: filejob_%s_%s_steps %u steps\n", argv[1], argv[i], steps);
  }
  return 0;
}
