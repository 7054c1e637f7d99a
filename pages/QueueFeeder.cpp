#include "pages/QueueFeeder.h"

#include <cstddef>
#include <cwchar>
#include <iterator>
#include <utility>

#include "config/FileBytes.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"
#include "textio/SourceCheck.h"

bool PrepareQueuedFile(const QueuedPath& path, const QueueSettings& settings, ReadyFile& ready,
                       RefusedPaths& refused) {
  if (path.path.size() > 259) {
    refused.tooLong.push_back(path.path);
    return false;
  }
  // Never opened: reading a device can block the program for good.
  if (NamesDevice(path.path.c_str())) {
    refused.devices.push_back(path.path);
    return false;
  }
  ready = ReadyFile{};
  ready.size = FileSizeOf(path.path.c_str());
  if (settings.mode == 1) {
    MakeFileEntry(path.path.c_str(), settings.manualIndex, ready.entry);
    ready.entry.chosenByHand = true;
  } else {
    char charset[kCharsetNameSize] = {};
    const FileEncoding encoding = DetectFileEncoding(path.path.c_str(), charset);
    // The detector's charset decides the code page an ANSI file is read in.
    const UINT codePage =
        encoding == EncAnsi ? CodePageForDetectedFile(path.path.c_str(), charset) : 0;
    MakeFileEntry(path.path.c_str(), encoding, ready.entry, codePage);
    ready.charset = charset;
  }
  wcsncpy(ready.entry.subFolder, path.subFolder.c_str(), 259);
  return true;
}

void QueueFeeder::Add(HWND window, std::vector<std::wstring> paths, const QueueSettings& settings) {
  std::lock_guard<std::mutex> guard(lock_);
  window_ = window;
  batches_.push_back({std::move(paths), settings});
  busy_ = true;
  if (running_) return;
  if (worker_.joinable()) worker_.join();  // a worker that has just ended
  stop_ = false;
  running_ = true;
  worker_ = std::thread([this] { Work(); });
}

void QueueFeeder::Stop() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> guard(lock_);
  batches_.clear();
  ready_.clear();
  refused_ = RefusedPaths{};
  readyPosted_ = false;
  running_ = false;
  busy_ = false;
}

std::vector<ReadyFile> QueueFeeder::TakeReady(size_t most, bool& more) {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<ReadyFile> taken;
  if (ready_.size() <= most) {
    taken = std::exchange(ready_, {});
  } else {
    taken.assign(std::make_move_iterator(ready_.begin()),
                 std::make_move_iterator(ready_.begin() + static_cast<std::ptrdiff_t>(most)));
    ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(most));
  }
  more = !ready_.empty();
  // With files left the page asks again itself; else the next ready file
  // posts anew.
  readyPosted_ = more;
  return taken;
}

RefusedPaths QueueFeeder::TakeRefused() {
  std::lock_guard<std::mutex> guard(lock_);
  return std::exchange(refused_, {});
}

void QueueFeeder::Post(WPARAM what) {
  if (window_ != nullptr) PostMessageW(window_, WM_QUEUE_FILES, what, 0);
}

void QueueFeeder::Work() {
  for (;;) {
    Batch batch;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (batches_.empty() || stop_) {
        running_ = false;
        if (!stop_) {
          busy_ = false;
          Post(kQueueFilesDone);
        }
        return;
      }
      batch = std::move(batches_.front());
      batches_.pop_front();
    }
    // The folders are walked here too: a big one takes a while.
    const std::vector<QueuedPath> paths = ExpandDroppedFolders(batch.paths, batch.settings.subFolders, batch.settings.outputsOf);
    for (const QueuedPath& path : paths) {
      if (stop_) break;
      ReadyFile ready;
      RefusedPaths refused;
      const bool ok = PrepareQueuedFile(path, batch.settings, ready, refused);
      std::lock_guard<std::mutex> guard(lock_);
      if (ok) {
        ready_.push_back(std::move(ready));
        // One notice at a time: the page takes everything ready at once.
        if (!readyPosted_) {
          readyPosted_ = true;
          Post(kQueueFilesReady);
        }
      } else {
        for (auto& p : refused.tooLong) refused_.tooLong.push_back(std::move(p));
        for (auto& p : refused.devices) refused_.devices.push_back(std::move(p));
      }
    }
  }
}
