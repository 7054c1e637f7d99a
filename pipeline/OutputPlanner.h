#pragma once
// Where each source of a run writes: the output folder (below it, the
// source's sub-folder of a given folder) or the source's own folder, under
// the source's name or its conversion, with the beside-the-source suffix.
// The planner knows every source of the run and every output the run has
// made, so that no output is ever a source and no two sources of the run
// meet in one output.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/FileIdentity.h"
#include "pipeline/RunSettings.h"
#include "textio/FileEncoding.h"

class ConvEngine;

// One source of a run and how it is read.
struct SourceFile {
  std::wstring path;
  std::wstring subFolder;  // below a given folder ("第一季\\"), kept under the output folder
  FileEncoding encoding = EncAnsi;
  UINT codePage = 0;  // for EncAnsi: the detected code page, 0 for the system's
  bool encodingChosen = false;  // the user chose the encoding: converted as chosen
};

// Where one output goes.
struct PlannedOutput {
  std::wstring folder;      // ends in a backslash; empty when there is no output folder
  std::wstring name;
  // Folders below this one (which must exist) may be made for the output;
  // empty: any missing folder may be made.
  std::wstring madeBelow;
  std::wstring Path() const { return folder + name; }
};

class OutputPlanner {
 public:
  // Takes the identities of the sources that exist now: nothing the run
  // writes is ever one of them. With outputs beside their sources, a
  // source that is where another source of the run writes its output
  // ("a(繁體).srt" queued with "a.srt") is that source's earlier output,
  // not a source: it is left out of the run (EarlierOutputOf), and the
  // source's output takes its place by the rule for an output that is
  // there. `names` converts the sources' names when the options say so.
  OutputPlanner(const RunSettings& settings, const std::vector<std::wstring>& sources,
                ConvEngine* names = nullptr);

  // The output of `source`; its name converted with `names` when the
  // options say so and the result is still a plain file name.
  PlannedOutput Plan(const SourceFile& source, ConvEngine* names) const;

  // The bytes of the queued sources as the planner found them (what a
  // run's progress is counted against).
  std::uint64_t SourceBytes() const { return sourceBytes_; }
  std::int32_t ExistingRule() const { return settings_.output.existing; }
  std::int32_t Encoding() const { return settings_.output.encoding; }
  bool IsSource(const FileIdentity& file) const;
  // The source whose earlier output the queued `path` is (as it was when
  // the run started: the source may have replaced it since), when it is
  // one; null otherwise.
  const std::wstring* EarlierOutputOf(const std::wstring& path) const;
  // Outputs the run has made so far: a later source never writes into one.
  bool MadeInRun(const FileIdentity& file) const;
  void RecordMade(const FileIdentity& file);

 private:
  std::wstring OutputName(const SourceFile& source, ConvEngine* names) const;

  const RunSettings& settings_;
  struct EarlierOutput {
    std::wstring output;  // as queued
    std::wstring source;
  };
  void FindEarlierOutputs(const std::vector<std::wstring>& paths,
                          const std::vector<FileIdentity>& ids, ConvEngine* names);

  std::vector<FileIdentity> sources_;
  std::vector<EarlierOutput> earlierOutputs_;
  std::vector<FileIdentity> made_;
  std::uint64_t sourceBytes_ = 0;
};
