#include "glyphmap/CompiledConversion.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "Converter.hpp"
#include "glyphmap/Utf8Scan.h"

namespace glyphmap {

CompiledConversion::CompiledConversion(std::shared_ptr<const opencc::Converter> converter)
    : fast_(FastConverter::TryBuild(*converter)) {
  if (!fast_) opencc_ = std::move(converter);
}

size_t CompiledConversion::Convert(std::string_view text, char* out) const {
  // A NUL is kept as it is, and the text after it converts as a text of its
  // own: the result is the pieces between NULs converted one by one, with
  // the NULs between them.
  size_t written = 0;
  for (;;) {
    const size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return written + ConvertPiece(text, out + written);
    written += ConvertPiece(text.substr(0, nul), out + written);
    out[written++] = '\0';
    text.remove_prefix(nul + 1);
  }
}

size_t CompiledConversion::ConvertPiece(std::string_view text, char* out) const {
  if (text.empty()) return 0;
  if (fast_ && fast_->ChecksItsInput()) return fast_->Convert(text.data(), text.size(), out);
  // OpenCC rejects a text that has a stray byte where a character should
  // start (and would then copy the whole rest of the text, up to a NUL it
  // may never find, into its message). We find such a byte first.
  size_t bad = FindInvalidUtf8Start(text);
  if (bad != std::string_view::npos) {
    throw std::runtime_error("文本不是有效的 UTF-8 / Invalid UTF-8 at byte " + std::to_string(bad));
  }
  if (fast_) return fast_->Convert(text.data(), text.size(), out);
  std::string converted = opencc_->Convert(text);
  if (3 * converted.size() > 4 * text.size() + 2) {
    throw std::runtime_error("转换结果超出缓冲区 / The converted text does not fit the buffer");
  }
  std::memcpy(out, converted.data(), converted.size());
  return converted.size();
}

size_t CompiledConversion::SafeCut(std::string_view text) const {
  if (fast_) return fast_->SafeCut(text.data(), text.size());
  const size_t nul = text.rfind('\0');
  return nul == std::string_view::npos ? 0 : nul + 1;
}

}  // namespace glyphmap
