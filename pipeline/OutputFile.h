#pragma once
// The safe writer: one output file of a run, from its opening to its
// commit or its undoing, with everything needed to take back what it did.
//
// An output is opened at its first chunk: as a new file, appended to the
// file that is there (in the encoding that file already has, without a
// second mark), as a part file that replaces the old one only when whole,
// or under the next free number. It is held open without write sharing
// while the file is converted, so no other writer slips text into it.
// Nothing is ever written into a source of the run, nor into an output
// the run made earlier (the later output takes the next free number
// instead). Undoing takes back all of it: a new output and the folders made
// for it are removed, an appended one is cut back to its old end, a part
// file is removed and the old output stays as it was. Destroying an output
// that was neither committed nor kept undoes it.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "fw/Handle.h"
#include "pipeline/FileIdentity.h"
#include "pipeline/OutputPlanner.h"
#include "textio/TextEncoder.h"

enum class OutputError {
  None,
  NoFolder,              // no output folder, or one that is not there
  CannotWrite,           // the output cannot be made or written
  InUse,                 // another program holds the output
  WouldOverwriteSource,  // the output would be a source of the run
  Encoding,              // the encoding cannot hold the text
  Exists,                // the output is there and the rule is to leave it
  IsFolder,              // the output's name is a folder's
  CannotAppend,          // the file there cannot be continued (UTF-16 of an odd size)
};

class OutputFile {
 public:
  // `source`: the identity of the file converted, taken before it is read.
  OutputFile(OutputPlanner& planner, const FileIdentity& source, const TargetEncoding& chosen)
      : planner_(planner), source_(source), chosen_(chosen) {}
  ~OutputFile() { Undo(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens the output at `planned` by the run's rule for a file that is
  // there. False, with Error() set, when it cannot be had.
  bool Open(const PlannedOutput& planned);
  bool IsOpen() const { return static_cast<bool>(handle_); }
  // Encodes `count` bytes of converted UTF-8 (whole lines) and writes them
  // whole; false with Error() set otherwise.
  bool Write(const char* utf8, std::int32_t count);
  // Closes the output; a replacement takes the old file's place. False
  // (everything undone) when it could not.
  bool Commit();
  // Keeps what was written (a stopped file), except that a replacement cut
  // short never takes the old file's place. True when something was kept.
  bool KeepAsStopped();
  // Takes back everything this output did.
  void Undo();

  OutputError Error() const { return error_; }
  // The output's path (the old file's for a replacement).
  const std::wstring& Path() const { return final_; }
  // The file written now (the part file of a replacement).
  const std::wstring& WrittenPath() const { return written_; }
  // True when the output took a number because the run had made an output
  // of its name already.
  bool Numbered() const { return numbered_; }
  // The characters the encoding could not hold, after an Encoding error.
  std::wstring DescribeMissing() const { return encoder_ ? encoder_->DescribeMissing() : L""; }

 private:
  enum class Kind { None, Created, Appended, Replacing };

  bool Fail(OutputError error);
  bool MakeFolders(const PlannedOutput& planned);
  void RemoveMadeFolders();
  // The path to open and how, for an output at `path`; false when none.
  bool Choose(const PlannedOutput& planned, std::wstring& open, DWORD& disposition);
  bool ChooseEncoding(const std::wstring& existing);
  void Close();

  OutputPlanner& planner_;
  FileIdentity source_;
  TargetEncoding chosen_;
  std::unique_ptr<TextEncoder> encoder_;
  std::string encoded_;
  fw::UniqueHandle handle_;
  Kind kind_ = Kind::None;
  LARGE_INTEGER oldEnd_{};
  std::wstring written_;
  std::wstring final_;
  std::vector<std::wstring> madeFolders_;  // deepest last
  bool numbered_ = false;
  OutputError error_ = OutputError::None;
};
