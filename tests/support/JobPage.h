#pragma once
// A file page in miniature, for the file job's tests: a list of entries, a
// direction, a settings store of its own and a window that records the
// job's messages; and the folders of a run for tests built on it. For
// test programs that link the pages library.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/CfgStore.h"
#include "engine/ConvWorker.h"
#include "pages/FileJob.h"
#include "pages/OutputOptions.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TempDir.h"

namespace testing_support {

// `Job`: the file job, or a test's class derived from it.
template <class Job>
class BasicJobPage : public ConvWorker {
 public:
  explicit BasicJobPage(const std::wstring& settingsFile)
      : store(settingsFile.c_str()), job(*this) {
    // As the page does: each step message taken as it comes.
    sink.onStep = [this] { TakeSteps(); };
  }

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

// A run's folders for the file job's tests, in a temporary folder: the
// sources in 来源, the outputs in 输出, where the page's settings send them.
class JobFolders : public ::testing::Test {
 protected:
  explicit JobFolders(const std::wstring& name) : dir(name) {}

  TempDir dir;
  std::wstring outDir = dir / L"输出";
  std::wstring inDir = dir / L"来源";
  JobPage page{dir / L"Tarnwell.cfg"};

  void SetUp() override {
    CreateDirectoryW(outDir.c_str(), nullptr);
    CreateDirectoryW(inDir.c_str(), nullptr);
    ASSERT_GT(page.store.WriteString(CFGKEY_OUTPUT_DIR, outDir.c_str()), 0);
  }
  // Writes a source; returns its path.
  std::wstring Source(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = inDir + L"\\" + name;
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
  }
  std::string Output(const std::wstring& name) { return ReadFileBytes(outDir + L"\\" + name); }
};

}  // namespace testing_support
