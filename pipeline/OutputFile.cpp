#include "pipeline/OutputFile.h"

#include "pipeline/LongPath.h"
#include "pipeline/OutputRules.h"
#include "pipeline/PartFiles.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"

namespace {

constexpr int kMostNumbers = 9999;

std::wstring ParentOf(const std::wstring& folder) {
  const size_t cut = folder.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut);
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
  const std::wstring a = WithSlash(FullPath(path));
  const std::wstring b = WithSlash(FullPath(folder));
  return a.size() >= b.size() &&
         CompareStringOrdinal(a.c_str(), static_cast<int>(b.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// True when every byte of the file is ASCII (its text reads the same in
// UTF-8 and in every legacy code page).
bool HoldsOnlyAscii(const std::wstring& path) {
  fw::UniqueHandle file(CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) {
      const auto byte = static_cast<unsigned char>(chunk[i]);
      if (byte == 0 || byte >= 0x80) return false;
    }
  }
  return true;
}

std::uint64_t UnitBytes(TargetEncoding::Form form) {
  using Form = TargetEncoding::Form;
  if (form == Form::Utf16Le || form == Form::Utf16Be) return 2;
  if (form == Form::Utf32Le || form == Form::Utf32Be) return 4;
  return 1;
}

}  // namespace

bool OutputFile::Fail(OutputError error) {
  error_ = error;
  return false;
}

bool OutputFile::Open(const PlannedOutput& planned) {
  if (planned.folder.empty() || planned.name.empty()) return Fail(OutputError::NoFolder);
  if (!MakeFolders(planned)) return false;
  std::wstring open;
  DWORD disposition = CREATE_NEW;
  if (!Choose(planned, open, disposition) || (kind_ == Kind::Appended && !ChooseEncoding(open))) {
    kind_ = Kind::None;
    RemoveMadeFolders();
    return false;
  }
  // Readers may look; no other writer may add to the file while it is ours.
  if (!handle_) {
    handle_.reset(CreateFileW(SystemPath(open).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!handle_) {
    const DWORD error = GetLastError();
    kind_ = Kind::None;
    RemoveMadeFolders();
    return Fail(error == ERROR_SHARING_VIOLATION ? OutputError::InUse : OutputError::CannotWrite);
  }
  written_ = open;
  // Checked again on the open file, which cannot change under us now:
  // no source is ever written to, however its folder is spelled.
  const FileIdentity target = IdentityOf(handle_.get(), open);
  if (target.SameAs(source_) || planner_.IsSource(target)) {
    if (kind_ == Kind::Appended) kind_ = Kind::None;  // nothing of it was touched
    Undo();
    return Fail(OutputError::WouldOverwriteSource);
  }
  if (!SetFilePointerEx(handle_.get(), LARGE_INTEGER{}, &oldEnd_, FILE_END)) {
    oldEnd_.QuadPart = 0;
    if (kind_ == Kind::Appended) kind_ = Kind::None;
    Undo();
    return Fail(OutputError::CannotWrite);
  }
  if (!encoder_) encoder_ = std::make_unique<TextEncoder>(chosen_);
  planner_.RecordMade(target);
  return true;
}

bool OutputFile::MakeFolders(const PlannedOutput& planned) {
  std::wstring folder = FullPath(planned.folder);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  std::vector<std::wstring> missing;
  while (!folder.empty() && !IsFolderPath(folder)) {
    missing.push_back(folder);
    folder = ParentOf(folder);
  }
  if (missing.empty()) return true;
  // Only below a folder that is there and may hold new folders.
  if (folder.empty() || (!planned.madeBelow.empty() && !StartsWithFolder(folder, planned.madeBelow))) {
    return Fail(OutputError::NoFolder);
  }
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    if (!CreateDirectoryW(SystemPath(*level).c_str(), nullptr)) {
      if (GetLastError() == ERROR_ALREADY_EXISTS && IsFolderPath(*level)) continue;
      RemoveMadeFolders();
      return Fail(OutputError::CannotWrite);
    }
    madeFolders_.push_back(*level);
  }
  return true;
}

void OutputFile::RemoveMadeFolders() {
  // Each only when empty: another file of the run may be in it by now.
  for (auto level = madeFolders_.rbegin(); level != madeFolders_.rend(); ++level) {
    RemoveDirectoryW(SystemPath(*level).c_str());
  }
  madeFolders_.clear();
}

// The output's name, or with keeping both (and for a name an output of the
// run took already) the next free "name (n).ext".
bool OutputFile::Choose(const PlannedOutput& planned, std::wstring& open, DWORD& disposition) {
  const std::int32_t rule = planner_.ExistingRule();
  for (int n = 1; n <= kMostNumbers; ++n) {
    open = planned.folder + (n == 1 ? planned.name : NumberedName(planned.name, n));
    final_ = open;
    disposition = CREATE_NEW;
    kind_ = Kind::Created;
    // A free name is taken by creating the file at once: under Wine every
    // lookup of a name that is not there reads the whole folder, and a run
    // writing a thousand outputs into one folder paid that twice per file.
    // A creation that fails for another reason is tried again by Open,
    // which tells why.
    handle_.reset(CreateFileW(SystemPath(open).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle_ || !PathExists(open)) return true;
    if (IsFolderPath(open)) return Fail(OutputError::IsFolder);
    const FileIdentity existing = IdentifyFile(open.c_str());
    if (existing.SameAs(source_) || planner_.IsSource(existing)) {
      if (rule != EXISTING_KEEP_BOTH) return Fail(OutputError::WouldOverwriteSource);
      continue;
    }
    // Two sources of one run never meet in one output: the later one takes a number.
    if (planner_.MadeInRun(existing)) {
      numbered_ = true;
      continue;
    }
    switch (rule) {
      case EXISTING_REFUSE: return Fail(OutputError::Exists);
      case EXISTING_KEEP_BOTH: continue;
      case EXISTING_REPLACE: {
        // Written beside the old file under a name no file has, swapped in when whole.
        const std::wstring name = NameOf(open);
        RemoveStalePartFiles(planned.folder, name);
        kind_ = Kind::Replacing;
        open = planned.folder + NewPartFileName(name);
        return true;
      }
      default:
        kind_ = Kind::Appended;
        disposition = OPEN_EXISTING;
        return true;
    }
  }
  return Fail(OutputError::CannotWrite);
}

// Text appended to a file that holds some goes in that file's encoding,
// without a mark of its own. A file of ASCII alone reads the same in every
// encoding the run may write but UTF-16 and UTF-32: the run's own stays.
bool OutputFile::ChooseEncoding(const std::wstring& existing) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(SystemPath(existing).c_str(), GetFileExInfoStandard, &data)) {
    return Fail(OutputError::CannotWrite);
  }
  const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (size == 0) return true;  // an empty file is written as a new one
  char charset[kCharsetNameSize] = {};
  const FileEncoding encoding = DetectFileEncoding(SystemPath(existing).c_str(), charset);
  const UINT codePage = encoding == EncAnsi ? CodePageForDetectedFile(SystemPath(existing).c_str(), charset) : 0;
  TargetEncoding target = ResolveTarget(OUTENC_SAME_AS_SOURCE, encoding, codePage);
  const bool asciiFits = UnitBytes(chosen_.form) == 1 && target.form == TargetEncoding::Form::CodePage;
  if (asciiFits && HoldsOnlyAscii(existing)) target = chosen_;
  target.mark = TargetEncoding::Mark::Drop;
  if (size % UnitBytes(target.form) != 0) return Fail(OutputError::CannotAppend);
  encoder_ = std::make_unique<TextEncoder>(target);
  return true;
}

bool OutputFile::Write(const char* utf8, std::int32_t count) {
  std::string_view encoded;
  if (!encoder_->Encode(utf8, static_cast<size_t>(count), encoded_, encoded)) {
    return Fail(OutputError::Encoding);
  }
  DWORD written = 0;
  const bool whole = WriteFile(handle_.get(), encoded.data(), static_cast<DWORD>(encoded.size()),
                               &written, nullptr) &&
                     written == static_cast<DWORD>(encoded.size());
  return whole || Fail(OutputError::CannotWrite);
}

bool OutputFile::Commit() {
  const Kind kind = kind_;
  handle_.reset();
  if (kind == Kind::Replacing && !MoveFileExW(SystemPath(written_).c_str(),
                                              SystemPath(final_).c_str(),
                                              MOVEFILE_REPLACE_EXISTING)) {
    // The old output is held by another program: it stays as it was.
    const DWORD error = GetLastError();
    Undo();
    return Fail(error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED
                    ? OutputError::InUse
                    : OutputError::CannotWrite);
  }
  kind_ = Kind::None;
  madeFolders_.clear();
  return true;
}

bool OutputFile::KeepAsStopped() {
  if (kind_ == Kind::Replacing) {
    Undo();
    return false;
  }
  const bool kept = kind_ != Kind::None;
  handle_.reset();
  kind_ = Kind::None;
  madeFolders_.clear();
  return kept;
}

void OutputFile::Undo() {
  if (kind_ == Kind::Appended && handle_) {
    SetFilePointerEx(handle_.get(), oldEnd_, nullptr, FILE_BEGIN);
    SetEndOfFile(handle_.get());
  }
  handle_.reset();
  if (kind_ == Kind::Created || kind_ == Kind::Replacing) DeleteFileW(SystemPath(written_).c_str());
  kind_ = Kind::None;
  RemoveMadeFolders();
}
