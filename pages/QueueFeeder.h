#pragma once
// Files joining a file page's queue, made ready on a worker: dropped
// folders walked, each file's size taken and its encoding detected, so that
// a folder of thousands of files never holds up the window. The page takes
// the ready files in order as they come and gives each its row.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <optional>

#include "engine/ConvDirection.h"
#include "pages/FileDrop.h"
#include "pages/FileEntry.h"
#include "pipeline/TextFiles.h"

// Posted to the page: wParam kQueueFilesReady when ready files wait to be
// taken, kQueueFilesDone when everything handed in has been looked at.
constexpr UINT WM_QUEUE_FILES = WM_USER + 102;
constexpr WPARAM kQueueFilesReady = 0;
constexpr WPARAM kQueueFilesDone = 1;

// What the settings say about queueing, read once on the page's thread.
struct QueueSettings {
  bool subFolders = false;        // a folder gives its sub-folders' files too
  std::int32_t mode = 0;          // 0 detect each file, 1 the manual choice
  std::int32_t manualIndex = 0;   // the manual choice (a FileEncoding)
  // A folder's earlier outputs of this direction are left out.
  std::optional<ConvDirection> outputsOf;
};

// One file ready for its row.
struct ReadyFile {
  FileEntry entry;
  std::uint64_t size = 0;
  std::string charset;  // the detected charset's name; empty for the manual choice
};

// Paths the queue refuses: too long for it, or names of devices.
struct RefusedPaths {
  std::vector<std::wstring> tooLong;
  std::vector<std::wstring> devices;
  bool empty() const { return tooLong.empty() && devices.empty(); }
};

// Makes `path` ready: false (with the path added to `refused`) for a path
// too long for the queue or a name that stands for a device, which is never
// opened. Reads the file's size and, in mode 0, detects its encoding.
bool PrepareQueuedFile(const QueuedPath& path, const QueueSettings& settings, ReadyFile& ready,
                       RefusedPaths& refused);

class QueueFeeder {
 public:
  QueueFeeder() = default;
  QueueFeeder(const QueueFeeder&) = delete;
  QueueFeeder& operator=(const QueueFeeder&) = delete;
  ~QueueFeeder() { Stop(); }

  // Hands in files and folders (folders not yet walked) for `window`, which
  // is posted WM_QUEUE_FILES; they come ready after those handed in before.
  void Add(HWND window, std::vector<std::wstring> paths, const QueueSettings& settings);
  // Ends the work: what is not ready yet is dropped. Waits for the worker.
  void Stop();
  // True from Add until the worker has looked at everything handed in.
  bool Busy() const { return busy_.load(); }
  // Up to `most` of the files ready so far, in order; the page's thread
  // takes them. `more` tells whether others are ready still.
  std::vector<ReadyFile> TakeReady(size_t most, bool& more);
  // The paths refused so far; taken when the work is done.
  RefusedPaths TakeRefused();

 private:
  struct Batch {
    std::vector<std::wstring> paths;
    QueueSettings settings;
  };
  void Work();
  void Post(WPARAM what);

  HWND window_ = nullptr;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> busy_{false};
  std::mutex lock_;  // guards the members below
  std::deque<Batch> batches_;
  std::vector<ReadyFile> ready_;
  RefusedPaths refused_;
  bool readyPosted_ = false;  // a kQueueFilesReady is on its way and not yet taken
  bool running_ = false;      // the worker takes batches
};
