#include "pipeline/FileTask.h"

#include <utility>

#include "pipeline/LongPath.h"
#include "pipeline/OutputRules.h"
#include "pipeline/ReadAhead.h"

namespace {

// Chunks go to the output, which is opened at the first of them.
class OutputSink : public FileConversion {
 public:
  OutputSink(OutputFile& out, const PlannedOutput& planned, FileTaskHooks& hooks)
      : out_(out), planned_(planned), hooks_(hooks) {}
  bool Write(const char* bytes, std::int32_t count) override {
    if (!out_.IsOpen()) {
      if (!out_.Open(planned_)) return false;
      opened = true;
    }
    if (!out_.Write(bytes, count)) return false;
    hooks_.ChunkWritten(out_.WrittenPath());
    return true;
  }
  bool StopRequested() override { return hooks_.StopRequested(); }
  void LineRead(std::uint64_t rawLength) override { hooks_.LineRead(rawLength); }
  void PieceRead(std::uint64_t rawLength) override { hooks_.PieceRead(rawLength); }

  bool opened = false;

 private:
  OutputFile& out_;
  const PlannedOutput& planned_;
  FileTaskHooks& hooks_;
};

// A file that gave no text and whose output is there: replacing puts the
// empty result in the old one's place; refusing still refuses.
bool FinishEmpty(OutputSink& sink, OutputFile& out, const PlannedOutput& planned,
                 std::int32_t rule) {
  if (planned.folder.empty() || !PathExists(planned.Path())) return true;
  if (rule == EXISTING_REPLACE) return sink.Write("", 0);
  if (rule == EXISTING_REFUSE && !IsFolderPath(planned.Path())) return out.Open(planned);
  return true;
}

}  // namespace

FileReport ConvertToOutput(ConvEngine& engine, const SourceFile& source, OutputPlanner& planner,
                           OutputBuffer& buffer, FileTaskHooks& hooks, StoppedFile stopped,
                           const ConvertedAhead* ahead) {
  FileReport report;
  // Another queued source's output beside it: that source writes it.
  if (const std::wstring* owner = planner.EarlierOutputOf(source.path)) {
    report.outputOf = *owner;
    return report;
  }
  // Taken before the source is read, so that nothing is ever written into
  // it, from the opening it is read through (one round trip less a file).
  fw::UniqueHandle file = ahead ? fw::UniqueHandle() : TFile::Open(source.path.c_str());
  const FileIdentity identity = ahead ? ahead->identity
                                : file ? IdentityOf(file.get(), source.path)
                                       : FileIdentity{};
  const PlannedOutput planned = planner.Plan(source, &engine);
  OutputFile out(planner, identity,
                 ResolveTarget(planner.Encoding(), source.encoding, source.codePage));
  OutputSink sink(out, planned, hooks);
  sink.encodingChosen = source.encodingChosen;
  report.outcome = ahead ? ahead->HandOn(sink)
                         : ConvertOneFile(engine, std::move(file), source.path.c_str(),
                                          source.encoding, source.codePage, buffer, sink);
  report.load = sink.load;
  report.replaced = sink.replaced;
  report.stopped = hooks.Stopped();
  bool kept = false;
  if (report.Succeeded() && report.stopped) {
    if (stopped == StoppedFile::KeepsOutput) kept = out.KeepAsStopped();
  } else if (report.Succeeded()) {
    const bool whole = out.IsOpen() || FinishEmpty(sink, out, planned, planner.ExistingRule());
    kept = whole && out.Commit();
    if (!kept) report.outcome = FileOutcome::WriteFailed;
    kept = kept && sink.opened;
  }
  if (!kept) out.Undo();
  report.error = out.Error();
  report.numbered = out.Numbered() && report.Succeeded();
  if (kept) report.output = out.Path();
  if (report.error == OutputError::Encoding) report.missing = out.DescribeMissing();
  return report;
}
