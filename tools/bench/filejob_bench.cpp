// The file job end to end: converts the given files into a temporary
// output folder and prints "bench: NAME VALUE UNIT" lines (the speed and
// the progress steps posted).
//   filejob_bench.exe s2t|t2s NAME PATH ENCODING [NAME PATH ENCODING ...]
// With "stop" first, the job runs on its worker thread and is stopped once
// a fifth of its progress steps are posted: prints the time from the stop
// request to the end of the job.
//   filejob_bench.exe stop s2t|t2s NAME PATH ENCODING
// Memory is measured from outside (the peak resident size of the process,
// which Wine's own figures do not follow): run one file per process for that.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "pages/FileJob.h"
#include "tools/bench/BenchClock.h"

namespace {

// The job runs on this thread: the bench needs no window.
class BenchPage : public ConvWorker {
 public:
  BenchPage(CfgStore& store, std::vector<FileEntry> list, ConvDirection d)
      : job(*this, store), entries(std::move(list)), direction(d) {}
  FileJob job;
  std::vector<FileEntry> entries;
  ConvDirection direction;
  DWORD RunJob() override {
    DWORD result = job.Run(entries, direction);
    runEnded = Now();
    return result;
  }
  std::atomic<double> runEnded{0};
  void OnJobMessage(WPARAM, LPARAM) override {}
  HWND JobWindow() const override { return nullptr; }
};

}  // namespace

int main(int argc, char** argv) {
  const bool stopMode = argc > 1 && std::strcmp(argv[1], "stop") == 0;
  if (stopMode) {
    --argc;
    ++argv;
  }
  if (argc < 5 || (argc - 2) % 3 != 0) {
    std::fprintf(stderr, "usage: filejob_bench s2t|t2s NAME PATH ENCODING ...\n");
    return 2;
  }
  ConvDirection direction = std::strcmp(argv[1], "t2s") == 0 ? Tra2Sim : Sim2Tra;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring work = std::wstring(temp) + L"tarnwell-filejob-bench";
  CreateDirectoryW(work.c_str(), nullptr);
  std::wstring out = work + L"\\out";
  CreateDirectoryW(out.c_str(), nullptr);
  CfgStore store((work + L"\\Tarnwell.cfg").c_str());
  store.WriteString(CFGKEY_OUTPUT_DIR, out.c_str());

  for (int i = 2; i + 2 < argc; i += 3) {
    FileEntry entry;
    MakeFileEntry(Wide(argv[i + 1]).c_str(), std::atoi(argv[i + 2]), entry);
    DeleteFileW((out + L"\\" + entry.name).c_str());
    BenchPage page(store, {entry}, direction);
    if (stopMode) {
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
    double start = Now();
    page.RunJob();
    double seconds = Now() - start;
    LARGE_INTEGER size{};
    HANDLE h = CreateFileW(entry.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    GetFileSizeEx(h, &size);
    CloseHandle(h);
    std::printf("bench: filejob_%s_%s %.2f MB/s\n", argv[1], argv[i],
                static_cast<double>(size.QuadPart) / seconds / 1e6);
    std::printf("bench: filejob_%s_%s_steps %u steps\n", argv[1], argv[i], page.job.StepCount());
    DeleteFileW((out + L"\\" + entry.name).c_str());
  }
  return 0;
}
