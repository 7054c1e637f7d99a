#pragma once
// The dictionaries that ship are listed beside glyphmap.dll with their sizes
// and SHA-256 (the build writes the list from the files it ships). A
// dictionary is checked against the list the first time it is loaded; after
// that its stamp (time of last write and size) is trusted until it changes,
// as the converter cache does. A damaged dictionary (emptied, cut short,
// edited) is refused by name rather than giving wrong conversions.
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace glyphmap {

// The list's name, in glyphmap.dll's folder.
constexpr char kDictionaryListName[] = "dictionaries.sha256";

class DictionaryCheck {
 public:
  // Throws std::runtime_error naming the file when the list names `name`
  // and the file at `folder + name` has another size or SHA-256, and
  // telling a damaged installation when the list is there but cannot be
  // parsed. A file the list does not name (a dictionary of the user's own)
  // passes, and so does every file when there is no list. `writeTime` and
  // `size` are the file's stamp: a file already found sound with the same
  // stamp is not read again.
  void Verify(const std::string& folder, const std::string& name, unsigned long long writeTime,
              unsigned long long size);
  // For a configuration that ships: throws std::runtime_error telling a
  // damaged installation unless the list is there, parses line by line,
  // and names every one of `names` (an emptied or rewritten list would let
  // any damage through). Cheap while the list keeps its stamp.
  void VerifyShipped(const std::string& folder, const std::vector<std::string>& names);

 private:
  struct Stamp {
    unsigned long long writeTime = 0;
    unsigned long long size = 0;
    bool operator==(const Stamp&) const = default;
  };
  // Held only to read or change the maps, never while a file is read: a
  // thread ended while checking leaves it free.
  std::mutex mutex_;
  std::map<std::string, Stamp> sound_;  // by full path
  // Lists found to name a configuration's dictionaries: by the list's path
  // and the names, the list's stamp then.
  std::map<std::string, Stamp> shippedSound_;
};

// The SHA-256 of `bytes` in lower-case hexadecimal; empty when the system
// cannot compute it.
std::string Sha256Hex(const std::string& bytes);

}  // namespace glyphmap
