#pragma once
// A file page in miniature, for the file job's tests: a list of entries, a
// direction, a settings store of its own and a window that records the
// job's messages. For test programs that link the pages library.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvWorker.h"
#include "pages/FileJob.h"
#include "pages/OutputOptions.h"
#include "tests/support/NotifySink.h"

namespace testing_support {

// `Job`: the file job, or a test's class derived from it.
template <class Job>
class BasicJobPage : public ConvWorker {
 public:
  explicit BasicJobPage(const std::wstring& settingsFile)
      : store(settingsFile.c_str()), job(*this) {}

  std::vector<FileEntry> entries;
  ConvDirection direction = Sim2Tra;
  CfgStore store;
  Job job;
  NotifySink sink;
  RunSettings settings;  // read from the store as a run starts, as the page does

  int StartJob() override {
    settings = ReadRunSettings(store, direction);
    return ConvWorker::StartJob();
  }
  DWORD RunJob() override { return job.Run(entries, settings); }
  void OnJobMessage(WPARAM, LPARAM) override {}
  HWND JobWindow() const override { return sink.hwnd(); }

  void Add(const std::wstring& path, FileEncoding encoding) {
    FileEntry e;
    ASSERT_TRUE(MakeFileEntry(path.c_str(), encoding, e));
    entries.push_back(e);
  }
  // Runs the job to its end on a worker, pumping its messages.
  void RunToEnd(DWORD timeoutMs = 60000) {
    sink.clear();
    ASSERT_EQ(StartJob(), 1);
    ASSERT_TRUE(sink.PumpUntilEnd(timeoutMs));
    while (WorkerRecorded()) sink.PumpFor(5);
  }
  // The messages without the progress steps.
  std::vector<NotifySink::Message> Reports() const {
    std::vector<NotifySink::Message> out;
    for (const auto& m : sink.messages()) {
      if (m.first != CONV_STEP) out.push_back(m);
    }
    return out;
  }
};

using JobPage = BasicJobPage<FileJob>;

}  // namespace testing_support
