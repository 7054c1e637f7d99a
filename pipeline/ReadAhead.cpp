#include "pipeline/ReadAhead.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <utility>

#include "engine/ConvEngine.h"
#include "pipeline/FileTask.h"
#include "textio/TFile.h"

namespace {

// How many sources the second thread may convert beyond the one the job's
// thread is at: their text waits in memory, and none of them is larger
// than two parts (ParallelConvert) of source.
constexpr size_t kFilesAhead = 2;

// Takes what a conversion hands on, into memory.
class Recorder : public FileConversion {
 public:
  Recorder(ConvertedAhead& into, const std::atomic<bool>& stop) : into_(into), stop_(stop) {}
  bool Write(const char* bytes, std::int32_t count) override {
    into_.text.append(bytes, static_cast<size_t>(count));
    into_.chunks.push_back(ConvertedAhead::Chunk{into_.text.size(), into_.raw});
    return true;
  }
  bool StopRequested() override { return stop_.load(); }
  void LineRead(std::uint64_t rawLength) override { into_.raw += rawLength; }
  void PieceRead(std::uint64_t rawLength) override { into_.raw += rawLength; }

 private:
  ConvertedAhead& into_;
  const std::atomic<bool>& stop_;
};

}  // namespace

FileOutcome ConvertedAhead::HandOn(FileConversion& into) const {
  into.load = load;
  into.replaced = replaced;
  size_t begin = 0;
  std::uint64_t told = 0;
  for (size_t c = 0; c < chunks.size(); ++c) {
    if (!into.Write(text.data() + begin, static_cast<std::int32_t>(chunks[c].end - begin))) {
      return FileOutcome::WriteFailed;
    }
    begin = chunks[c].end;
    if (chunks[c].raw > told) into.PieceRead(chunks[c].raw - told);
    told = chunks[c].raw;
    // Asked after the last chunk too: a job held while the question about
    // a stop is open waits there.
    if (into.StopRequested() && c + 1 < chunks.size()) return FileOutcome::Done;
  }
  if (raw > told) into.PieceRead(raw - told);
  return outcome;
}

// What both threads share; the second thread holds it too, so that it
// never outlives what it reads.
struct ReadAhead::Run {
  enum class State { Free, Taken, Ready, JobsOwn };
  Run(const ConvEngine& owner, const std::vector<SourceFile>& files,
      const std::vector<bool>& marked)
      : engine(owner.Borrow()), sources(files), eligible(marked), states(files.size()),
        converted(files.size()) {}

  ConvEngine engine;
  std::vector<SourceFile> sources;
  std::vector<bool> eligible;
  fw::UniqueHandle jobThread;  // ended: the second thread gives up

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<State> states;
  std::vector<std::unique_ptr<ConvertedAhead>> converted;
  size_t next = 0;  // the first source nobody has taken
  size_t due = 0;   // the source the job's thread is at
  std::atomic<bool> stop{false};
};

namespace {

// Converts `source` into `into` as ConvertToOutput would; false when the
// job's thread is to do it (a source to be cut into parts, or one that
// cannot be opened now: at its turn it may).
bool ConvertAhead(ConvEngine& engine, const SourceFile& source,
                  const std::atomic<bool>& stop, OutputBuffer& buffer, ConvertedAhead& into) {
  fw::UniqueHandle file = TFile::Open(source.path.c_str());
  Recorder recorder(into, stop);
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) ||
      static_cast<std::uint64_t>(size.QuadPart) >= 2 * recorder.partBytes) {
    return false;
  }
  into.identity = IdentityOf(file.get(), source.path);
  recorder.encodingChosen = source.encodingChosen;
  try {
    into.outcome = ConvertOneFile(engine, std::move(file), source.path.c_str(), source.encoding,
                                  source.codePage, buffer, recorder);
  } catch (const std::bad_alloc&) {
    into.outcome = FileOutcome::NoMemory;
  }
  into.load = recorder.load;
  into.replaced = recorder.replaced;
  return true;
}

// The second thread: takes the next source while it is not too far ahead
// of the job's thread, converts it into memory, and marks it ready.
DWORD WINAPI ConvertSourcesAhead(void* param) noexcept {
  const std::unique_ptr<std::shared_ptr<ReadAhead::Run>> held(
      static_cast<std::shared_ptr<ReadAhead::Run>*>(param));
  ReadAhead::Run& run = **held;
  // As large as the job's own, so that the text is handed on in the same chunks.
  OutputBuffer buffer;
  buffer.TakeInitialRoom();
  for (;;) {
    size_t index = 0;
    {
      std::unique_lock<std::mutex> lock(run.mutex);
      while (!run.stop.load() && run.next < run.sources.size() &&
             run.next - run.due > kFilesAhead) {
        run.changed.wait_for(lock, std::chrono::milliseconds(100));
        // The job's thread ended without taking them (it was ended from
        // outside): nobody will.
        if (WaitForSingleObject(run.jobThread.get(), 0) == WAIT_OBJECT_0) return 0;
      }
      if (run.stop.load() || run.next >= run.sources.size()) return 0;
      index = run.next++;
      run.states[index] = ReadAhead::Run::State::Taken;
    }
    auto converted = std::make_unique<ConvertedAhead>();
    const bool ahead = run.eligible[index] &&
                       ConvertAhead(run.engine, run.sources[index], run.stop, buffer, *converted);
    {
      std::lock_guard<std::mutex> lock(run.mutex);
      run.states[index] = ahead ? ReadAhead::Run::State::Ready : ReadAhead::Run::State::JobsOwn;
      if (ahead) run.converted[index] = std::move(converted);
    }
    run.changed.notify_all();
  }
}

}  // namespace

ReadAhead::ReadAhead(const ConvEngine& engine, const std::vector<SourceFile>& sources,
                     const std::vector<bool>& eligible)
    : run_(std::make_shared<Run>(engine, sources, eligible)) {
  run_->jobThread = fw::DuplicateCurrentThread();
  // The first source is the job's thread's own: nothing is ahead of it yet.
  run_->next = 1;
  // Nothing to gain from a second thread on one processor, nor for one source.
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  if (info.dwNumberOfProcessors < 2 || sources.size() < 2 || run_->engine.Handle() == -1) return;
  auto* param = new (std::nothrow) std::shared_ptr<Run>(run_);
  if (!param) return;
  thread_.reset(CreateThread(nullptr, 0, &ConvertSourcesAhead, param, 0, nullptr));
  // Without a second thread the job's thread converts every source itself.
  if (!thread_) delete param;
}

ReadAhead::~ReadAhead() {
  if (!thread_) return;
  run_->stop.store(true);
  run_->changed.notify_all();
  WaitForSingleObject(thread_.get(), INFINITE);
}

std::unique_ptr<ConvertedAhead> ReadAhead::Take(size_t index, FileTaskHooks& hooks) {
  Run& run = *run_;
  std::unique_lock<std::mutex> lock(run.mutex);
  run.due = index;
  run.changed.notify_all();
  // Nobody took it: the job's thread converts it, and the second thread
  // goes on beyond it.
  if (!thread_ || run.states[index] == Run::State::Free) {
    run.next = std::max(run.next, index + 1);
    return nullptr;
  }
  // The second thread is converting it: wait for it, still asking about a
  // stop (which the second thread then hears, ending it after the line in
  // hand).
  while (run.states[index] == Run::State::Taken) {
    run.changed.wait_for(lock, std::chrono::milliseconds(2));
    if (run.states[index] != Run::State::Taken) break;
    lock.unlock();
    if (hooks.StopRequested()) run.stop.store(true);
    lock.lock();
  }
  if (run.states[index] != Run::State::Ready) return nullptr;
  return std::move(run.converted[index]);
}
