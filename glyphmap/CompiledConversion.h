#pragma once
#include <cstddef>
#include <memory>
#include <string_view>

#include "glyphmap/FastConverter.h"

namespace opencc {
class Converter;
}

namespace glyphmap {

// One configuration, ready to convert: our own compiled form where it
// covers the configuration (it does for the program's two), else OpenCC's
// converter. Immutable, shared by every instance of the configuration.
class CompiledConversion {
 public:
  explicit CompiledConversion(std::shared_ptr<const opencc::Converter> converter);
  explicit CompiledConversion(std::unique_ptr<FastConverter> fast) : fast_(std::move(fast)) {}

  // Converts `text` into `out` and returns the byte count (no terminator).
  // `out` holds ceil(4n/3) bytes (the dictionaries are checked for that).
  // Throws std::runtime_error for text OpenCC would reject. A NUL passes
  // through as itself, and the text on either side converts on its own.
  size_t Convert(std::string_view text, char* out) const;

  // The largest k <= text.size() after which the text may be cut and its
  // two parts converted separately with the same result as the whole, or 0
  // (FastConverter::SafeCut; only after a NUL without our compiled form).
  size_t SafeCut(std::string_view text) const;

  bool IsCompiled() const { return fast_ != nullptr; }
  size_t MemoryBytes() const { return fast_ ? fast_->MemoryBytes() : 0; }

 private:
  // One piece of text without a NUL, the way OpenCC converts it.
  size_t ConvertPiece(std::string_view text, char* out) const;

  std::unique_ptr<FastConverter> fast_;
  std::shared_ptr<const opencc::Converter> opencc_;  // kept only without fast_
};

}  // namespace glyphmap
