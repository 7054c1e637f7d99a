#include "glyphmap/CompiledConversion.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Converter.hpp"
#include "glyphmap/Utf8Scan.h"

namespace glyphmap {

CompiledConversion::CompiledConversion(std::shared_ptr<const opencc::Converter> converter,
                                       std::shared_ptr<const opencc::Converter> normalizer)
    : fast_(FastConverter::TryBuild(*converter, normalizer.get())) {
  if (fast_) {
    expansion_ = {fast_->ExpansionNumerator(), fast_->ExpansionDenominator()};
    return;
  }
  expansion_ = ExpansionOf(*converter);
  if (normalizer) {
    Expansion n = ExpansionOf(*normalizer);
    expansion_.num *= n.num;
    expansion_.den *= n.den;
  }
  opencc_ = std::move(converter);
}

CompiledConversion::CompiledConversion(std::unique_ptr<FastConverter> fast)
    : fast_(std::move(fast)) {
  if (fast_) expansion_ = {fast_->ExpansionNumerator(), fast_->ExpansionDenominator()};
}

CompiledConversion::CompiledConversion(std::shared_ptr<const CompiledConversion> base,
                                       std::shared_ptr<const WordList> words)
    : base_(std::move(base)), words_(std::move(words)) {
  expansion_ = base_->GetExpansion();
  if (words_ && words_->words) {
    expansion_ = expansion_.Max({words_->words->ExpansionNumerator(),
                                 words_->words->ExpansionDenominator()});
  }
}

const std::string& CompiledConversion::WordListReport() const {
  static const std::string none;
  return words_ ? words_->report : none;
}

size_t CompiledConversion::Convert(std::string_view text, char* out) const {
  // A NUL is kept as it is, and the text after it converts as a text of its
  // own: the result is the pieces between NULs converted one by one, with
  // the NULs between them.
  size_t written = 0;
  for (;;) {
    const size_t nul = FindNul(text);
    if (nul == std::string_view::npos) return written + ConvertPiece(text, out + written);
    written += ConvertPiece(text.substr(0, nul), out + written);
    out[written++] = '\0';
    text.remove_prefix(nul + 1);
  }
}

size_t CompiledConversion::ConvertPiece(std::string_view text, char* out) const {
  if (text.empty()) return 0;
  if (base_) {
    if (!words_ || !words_->words) return base_->ConvertPiece(text, out);
    return ConvertWithWords(text, out);
  }
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
  if (converted.size() + 1 > OutputBound(text.size())) {
    throw std::runtime_error("转换结果超出缓冲区 / The converted text does not fit the buffer");
  }
  std::memcpy(out, converted.data(), converted.size());
  return converted.size();
}

size_t CompiledConversion::ConvertWithWords(std::string_view text, char* out) const {
  return WalkWords(text, out, [&](size_t from, size_t to, char* o) {
    return base_->Convert(text.substr(from, to - from), o);
  });
}

size_t CompiledConversion::SafeCut(std::string_view text) const {
  if (base_) {
    size_t cut = base_->SafeCut(text);
    if (!words_ || words_->inner.empty()) return cut;
    // No entry may reach across the cut: the character before it must end
    // every source that holds it.
    while (cut > 0 && text[cut - 1] != '\0') {
      size_t start = cut - 1;
      while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
      const auto* u = reinterpret_cast<const unsigned char*>(text.data()) + start;
      const uint32_t cp = cut - start == 1 ? u[0] : DecodeCharacter(u, cut - start);
      if (!std::binary_search(words_->inner.begin(), words_->inner.end(), cp)) break;
      cut = base_->SafeCut(text.substr(0, start));
    }
    return cut;
  }
  if (fast_) return fast_->SafeCut(text.data(), text.size());
  const size_t nul = text.rfind('\0');
  return nul == std::string_view::npos ? 0 : nul + 1;
}

}  // namespace glyphmap
