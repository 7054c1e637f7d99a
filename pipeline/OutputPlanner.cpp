#include "pipeline/OutputPlanner.h"

#include <stdexcept>

#include "engine/ConvEngine.h"
#include "pipeline/LongPath.h"
#include "pipeline/OutputRules.h"

namespace {

std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring WideOf(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
  return out;
}

}  // namespace

OutputPlanner::OutputPlanner(const RunSettings& settings, const std::vector<std::wstring>& sources,
                             ConvEngine* names)
    : settings_(settings) {
  std::vector<FileIdentity> ids;
  for (const std::wstring& path : sources) {
    std::uint64_t size = 0;
    ids.push_back(IdentifyFile(path.c_str(), &size));
    sourceBytes_ += size;
  }
  if (settings_.output.place == OUTPLACE_BESIDE_SOURCE && settings_.outputFile.empty()) {
    FindEarlierOutputs(sources, ids, names);
  }
  for (size_t i = 0; i < ids.size(); ++i) {
    if (ids[i].Known() && EarlierOutputOf(sources[i]) == nullptr) sources_.push_back(ids[i]);
  }
}

// An output beside its source is that source's, whoever queued it: it is
// never read, so the source may write into it without any queued file
// being written before it is read, in whatever order they were queued.
void OutputPlanner::FindEarlierOutputs(const std::vector<std::wstring>& paths,
                                       const std::vector<FileIdentity>& ids, ConvEngine* names) {
  for (size_t s = 0; s < paths.size(); ++s) {
    if (!ids[s].Known()) continue;
    SourceFile source;
    source.path = paths[s];
    const std::wstring output = FolderOf(source.path) + OutputName(source, names);
    if (!PathExists(output)) continue;
    const FileIdentity outputId = IdentifyFile(output.c_str());
    for (size_t t = 0; t < ids.size(); ++t) {
      if (t != s && ids[t].SameAs(outputId) && EarlierOutputOf(paths[t]) == nullptr) {
        earlierOutputs_.push_back(EarlierOutput{paths[t], paths[s]});
      }
    }
  }
}

std::wstring OutputPlanner::OutputName(const SourceFile& source, ConvEngine* names) const {
  std::wstring name = NameOf(source.path);
  if (settings_.output.convertNames && names != nullptr && names->Handle() != -1) {
    try {
      std::string converted;
      const std::string utf8 = Utf8Of(name);
      names->Convert(utf8.data(), utf8.size(), converted);
      // A converted name is only taken when it is still a plain name (a
      // word list may turn it into "NUL" or a path).
      const std::wstring wide = WideOf(converted);
      if (IsPlainFileName(wide)) name = wide;
    } catch (const std::exception&) {
      // The name stays as it is.
    }
  }
  if (settings_.output.place == OUTPLACE_BESIDE_SOURCE) {
    name = InsertBeforeExtension(
        name, BesideSourceSuffix(settings_.direction, settings_.conversion.standard));
  }
  return name;
}

PlannedOutput OutputPlanner::Plan(const SourceFile& source, ConvEngine* names) const {
  PlannedOutput out;
  if (!settings_.outputFile.empty()) {
    out.folder = FolderOf(settings_.outputFile);
    out.name = NameOf(settings_.outputFile);
    if (out.folder.empty()) out.folder = L".\\";
    return out;
  }
  if (settings_.output.place == OUTPLACE_BESIDE_SOURCE) {
    out.folder = FolderOf(source.path);
    out.madeBelow = out.folder;
  } else if (!settings_.outputFolder.empty()) {
    out.folder = WithSlash(settings_.outputFolder);
    if (!settings_.makeOutputFolder) out.madeBelow = out.folder;
    out.folder += source.subFolder;
  }
  if (out.folder.empty()) return out;
  out.name = OutputName(source, names);
  return out;
}

bool OutputPlanner::IsSource(const FileIdentity& file) const {
  for (const FileIdentity& source : sources_) {
    if (source.SameAs(file)) return true;
  }
  return false;
}

const std::wstring* OutputPlanner::EarlierOutputOf(const std::wstring& path) const {
  for (const EarlierOutput& earlier : earlierOutputs_) {
    if (earlier.output == path) return &earlier.source;
  }
  return nullptr;
}

bool OutputPlanner::MadeInRun(const FileIdentity& file) const {
  for (const FileIdentity& made : made_) {
    if (made.SameAs(file)) return true;
  }
  return false;
}

void OutputPlanner::RecordMade(const FileIdentity& file) {
  if (file.Known()) made_.push_back(file);
}
