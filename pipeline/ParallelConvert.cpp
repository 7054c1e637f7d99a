#include "pipeline/ParallelConvert.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>

#include "engine/ConvEngine.h"
#include "fw/Handle.h"
#include "pipeline/LineConvert.h"
#include "textio/MakeReader.h"
#include "textio/TReader.h"

namespace {

// A part longer than this (a line of tens of megabytes) would be held in
// memory whole while it waits: such a source is converted on one thread.
constexpr std::uint64_t kLongestPart = 64u << 20;
// How many parts may be taken ahead of the output, by either thread.
constexpr size_t kPartsAhead = 4;
// Parts are handed on in chunks of at most this many bytes.
constexpr size_t kLargestChunk = 16u << 20;

struct Part {
  enum class State { Free, Taken, Ready };
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  State state = State::Free;
  // Converted ahead of its turn: the text waiting to be handed on.
  std::string text;
  FileOutcome outcome = FileOutcome::Done;
  std::uint64_t raw = 0;       // source bytes of the lines taken
  std::uint64_t replaced = 0;  // damaged places made U+FFFD
  bool cut = false;            // ended early by a stop
};

// What both threads share; the second thread holds it too, so that it
// never outlives what it reads.
struct Run {
  Run(const ConvEngine& owner, std::shared_ptr<TReader> data, const PartReaders& spec)
      : engine(owner.Borrow()), whole(std::move(data)), readers(spec) {}

  ConvEngine engine;
  std::shared_ptr<TReader> whole;
  PartReaders readers;
  fw::UniqueHandle firstThread;  // ended: the second thread gives up

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Part> parts;
  size_t next = 0;      // the first part nobody has taken
  size_t end = 0;       // no part from here on is taken (a part failed before)
  size_t handedOn = 0;  // parts handed to the output
  std::atomic<bool> stop{false};
  // Texts of parts handed on, emptied, their room kept for the next parts
  // taken ahead: fresh memory for every part cost the job its pages'
  // clearing, and giving it back cost both processors a flush.
  std::vector<std::string> spare;
};

// A part taken ahead gets a spare text's room (the caller holds the lock).
void LendSpare(Run& run, Part& part) {
  if (run.spare.empty()) return;
  part.text = std::move(run.spare.back());
  run.spare.pop_back();
}

// The text of a part handed on goes back among the spares (the caller
// holds the lock); as many as parts may wait, the rest are freed.
void KeepSpare(Run& run, Part& part) {
  if (run.spare.size() < kPartsAhead && part.text.capacity() > 0) {
    part.text.clear();
    run.spare.push_back(std::move(part.text));
  }
  std::string().swap(part.text);
}

// Where a part's converted text goes and whom it asks about a stop: handed
// straight on (`passTo`) or kept in the part; the first thread asks its
// conversion (`asker`), the second only hears the stop.
class PartSink : public FileConversion {
 public:
  PartSink(Part& part, std::atomic<bool>& stop, FileConversion* asker, FileConversion* passTo)
      : part_(part), stop_(stop), asker_(asker), passTo_(passTo) {}

  bool Write(const char* bytes, std::int32_t count) override {
    if (passTo_) return passTo_->Write(bytes, count);
    part_.text.append(bytes, static_cast<size_t>(count));
    return true;
  }
  bool StopRequested() override {
    if (asker_ && asker_->StopRequested()) stop_.store(true);
    if (stop_.load()) part_.cut = true;
    return part_.cut;
  }
  void LineRead(std::uint64_t rawLength) override {
    part_.raw += rawLength;
    if (passTo_) passTo_->LineRead(rawLength);
  }
  void PieceRead(std::uint64_t rawLength) override {
    part_.raw += rawLength;
    if (passTo_) passTo_->PieceRead(rawLength);
  }

 private:
  Part& part_;
  std::atomic<bool>& stop_;
  FileConversion* asker_;
  FileConversion* passTo_;
};

// The reader a thread converts parts with: made and its buffers sized
// once, read anew over each part.
struct PartReader {
  std::unique_ptr<TReader> reader;
  bool ready = false;
};

// Converts `part` with `engine`, gathering the text in `buffer` (empty
// again afterwards): handed on to `passTo` or kept in the part.
void ConvertPart(Run& run, Part& part, ConvEngine& engine, PartReader& tools,
                 OutputBuffer& buffer, FileConversion* asker, FileConversion* passTo) {
  if (!tools.reader) {
    tools.reader = MakeReader(run.readers.encoding, run.readers.codePage);
    tools.reader->SetLongestLine(run.readers.longestLine);
    tools.ready = GetLineBuffers(*tools.reader, run.readers.lineRoom);
  }
  if (!tools.ready) {
    part.outcome = FileOutcome::NoMemory;
    return;
  }
  TReader& reader = *tools.reader;
  reader.ReadPartOf(*run.whole, part.begin, part.end);
  PartSink sink(part, run.stop, asker, passTo);
  try {
    // Room for the text as long as the source and an eighth more, which a
    // conversion seldom passes: the text is not moved while it grows.
    if (!passTo) part.text.reserve(static_cast<size_t>(part.end - part.begin) * 9 / 8);
    part.outcome = ConvertLines(engine, reader, buffer, sink);
  } catch (const std::bad_alloc&) {
    part.outcome = FileOutcome::NoMemory;
  }
  part.replaced = reader.Replacements();
}

// The second thread: takes the next free part while it is not too far
// ahead of the output, converts it into memory, and marks it ready.
DWORD WINAPI ConvertAhead(void* param) noexcept {
  const std::unique_ptr<std::shared_ptr<Run>> held(static_cast<std::shared_ptr<Run>*>(param));
  Run& run = **held;
  PartReader reader;
  OutputBuffer buffer;
  for (;;) {
    Part* part = nullptr;
    {
      std::unique_lock<std::mutex> lock(run.mutex);
      while (!run.stop.load() && run.next < run.end && run.next - run.handedOn >= kPartsAhead) {
        run.changed.wait_for(lock, std::chrono::milliseconds(100));
        // The first thread ended without taking the parts (it was ended
        // from outside): nobody will.
        if (WaitForSingleObject(run.firstThread.get(), 0) == WAIT_OBJECT_0) return 0;
      }
      if (run.stop.load() || run.next >= run.end) return 0;
      part = &run.parts[run.next++];
      part->state = Part::State::Taken;
      LendSpare(run, *part);
    }
    ConvertPart(run, *part, run.engine, reader, buffer, nullptr, nullptr);
    {
      std::lock_guard<std::mutex> lock(run.mutex);
      part->state = Part::State::Ready;
      if (part->outcome != FileOutcome::Done) {
        run.end = std::min(run.end, static_cast<size_t>(part - run.parts.data()) + 1);
      }
    }
    run.changed.notify_all();
  }
}

// Runs ConvertAhead for the length of a conversion; ending it stops the
// thread and waits for it.
class SecondThread {
 public:
  explicit SecondThread(const std::shared_ptr<Run>& run) : run_(run) {
    auto* param = new (std::nothrow) std::shared_ptr<Run>(run);
    if (!param) return;
    thread_.reset(CreateThread(nullptr, 0, &ConvertAhead, param, 0, nullptr));
    // Without a second thread the first converts every part itself.
    if (!thread_) delete param;
  }
  ~SecondThread() {
    if (!thread_) return;
    run_->stop.store(true);
    run_->changed.notify_all();
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  SecondThread(const SecondThread&) = delete;
  SecondThread& operator=(const SecondThread&) = delete;

 private:
  std::shared_ptr<Run> run_;
  fw::UniqueHandle thread_;
};

// Hands a part converted ahead to the output, in chunks cut between
// characters, and tells its source bytes; its own outcome unless the output
// failed.
FileOutcome HandOn(Part& part, FileConversion& into) {
  const char* text = part.text.data();
  size_t left = part.text.size();
  while (left > 0) {
    size_t take = std::min(left, kLargestChunk);
    while (take < left && take > 0 && (static_cast<unsigned char>(text[take]) & 0xC0) == 0x80) --take;
    if (take == 0) take = std::min(left, kLargestChunk);
    if (!into.Write(text, static_cast<std::int32_t>(take))) return FileOutcome::WriteFailed;
    text += take;
    left -= take;
  }
  // Told as a piece: progress moves by every step its bytes make.
  if (part.raw > 0) into.PieceRead(part.raw);
  return part.outcome;
}

}  // namespace

std::vector<std::uint64_t> PartCuts(TReader& whole, std::uint64_t partBytes) {
  std::vector<std::uint64_t> cuts;
  const std::uint64_t size = whole.Size();
  if (partBytes == 0 || size < 2 * partBytes) return cuts;
  std::uint64_t begin = 0;
  while (size - begin > partBytes + partBytes / 2) {
    const std::uint64_t cut = whole.NextLineStart(begin + partBytes);
    if (cut - begin > kLongestPart) return {};
    if (cut >= size) break;
    cuts.push_back(cut);
    begin = cut;
  }
  if (size - begin > kLongestPart) return {};
  return cuts;
}

FileOutcome ConvertInParts(ConvEngine& engine, std::shared_ptr<TReader> whole,
                           const std::vector<std::uint64_t>& cuts, const PartReaders& readers,
                           OutputBuffer& output, FileConversion& into) {
  auto run = std::make_shared<Run>(engine, whole, readers);
  run->firstThread = fw::DuplicateCurrentThread();
  std::uint64_t begin = 0;
  for (size_t i = 0; i <= cuts.size(); ++i) {
    Part part;
    part.begin = begin;
    part.end = i < cuts.size() ? cuts[i] : whole->Size();
    run->parts.push_back(std::move(part));
    begin = run->parts.back().end;
  }
  run->end = run->parts.size();
  SecondThread second(run);

  PartReader reader;
  FileOutcome outcome = FileOutcome::Done;
  std::uint64_t replaced = 0;
  std::unique_lock<std::mutex> lock(run->mutex);
  while (run->handedOn < run->end) {
    Part& due = run->parts[run->handedOn];
    if (due.state == Part::State::Ready) {
      lock.unlock();
      outcome = HandOn(due, into);
      replaced += due.replaced;
      lock.lock();
      KeepSpare(*run, due);
      ++run->handedOn;
      run->changed.notify_all();
      if (outcome != FileOutcome::Done || due.cut) break;
      continue;
    }
    // The next free part: straight to the output when it is the one due,
    // else into memory until its turn, as long as no more parts than the
    // second thread may wait in memory (a second thread kept off the
    // processor must not let the whole rest of a file pile up).
    if (run->next < run->end && !run->stop.load() && run->next - run->handedOn < kPartsAhead) {
      Part& part = run->parts[run->next++];
      part.state = Part::State::Taken;
      const bool isDue = &part == &due;
      if (!isDue) LendSpare(*run, part);
      lock.unlock();
      ConvertPart(*run, part, engine, reader, output, &into, isDue ? &into : nullptr);
      lock.lock();
      if (isDue) {
        replaced += part.replaced;
        ++run->handedOn;
        run->changed.notify_all();
        outcome = part.outcome;
        if (outcome != FileOutcome::Done || part.cut) break;
      } else {
        part.state = Part::State::Ready;
        if (part.outcome != FileOutcome::Done) {
          run->end = std::min(run->end, static_cast<size_t>(&part - run->parts.data()) + 1);
        }
      }
      continue;
    }
    // After a stop a part nobody took is never converted: the output ends
    // before it.
    if (due.state == Part::State::Free) break;
    // The due part is being converted by the second thread: wait for it,
    // still asking about a stop (which the second thread then hears).
    run->changed.wait_for(lock, std::chrono::milliseconds(2));
    if (due.state != Part::State::Ready) {
      lock.unlock();
      if (into.StopRequested()) run->stop.store(true);
      lock.lock();
    }
  }
  lock.unlock();
  into.replaced = replaced;
  return outcome;
}
