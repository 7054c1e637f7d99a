#pragma once
// Compiled conversions kept on disk, so that a later process opens a
// shipped configuration by reading its image instead of parsing and
// compiling the dictionaries again (most of a first open). An image records
// what it was built from (the caller's identity text: the program's build,
// the configuration, the stamps of its files) and a checksum; it is served
// only when both match, and a missing, stale or damaged image is simply
// not served: the caller builds and saves a new one.
#include <memory>
#include <string>

#include "glyphmap/FastConverter.h"

namespace glyphmap {

class ConversionImages {
 public:
  // `folder`: where the images are kept, created when first needed; empty:
  // none are kept.
  ConversionImages() = default;
  explicit ConversionImages(std::wstring folder) : folder_(std::move(folder)) {}

  // The converter saved under `key` from the same `identity`, or null.
  std::unique_ptr<FastConverter> Load(const std::string& key, const std::string& identity) const;
  // Saves `fast` under `key`, replacing what was there in one step (a
  // reader never sees half an image). A failure to write is not an error:
  // the next process builds again.
  void Save(const std::string& key, const std::string& identity, const FastConverter& fast) const;

  bool Enabled() const { return !folder_.empty(); }
  // The image's file for `key`.
  std::wstring PathOf(const std::string& key) const;

 private:
  std::wstring folder_;
};

// The folder for the images of a user: the local application data folder's
// "Quorvane\Tarnwell\Conversions\", empty when there is none.
std::wstring UserImageFolder();

}  // namespace glyphmap
