#pragma once
// The encodings a converted file can be written in, and the encoder that
// turns the converted UTF-8 into one of them. A character the encoding
// cannot hold is never replaced by a '?': the encoder refuses the text and
// names the first few such characters with their lines.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textio/FileEncoding.h"

// The output encoding the user chooses (stored as this index).
enum OutputEncodingChoice : std::int32_t {
  OUTENC_UTF8 = 0,         // UTF-8; a source's mark stays as it came
  OUTENC_UTF8_BOM = 1,     // UTF-8 starting with a mark
  OUTENC_UTF16LE_BOM = 2,  // UTF-16 little-endian starting with a mark
  OUTENC_GB18030 = 3,      // GB18030 (no mark)
  OUTENC_BIG5 = 4,         // Big5 (no mark)
  OUTENC_SAME_AS_SOURCE = 5,
  OUTENC_COUNT = 6
};

// "UTF-8", "UTF-8 (带 BOM)", ..., "与源文件相同"; out of range gives UTF-8's.
const wchar_t* OutputEncodingLabel(std::int32_t choice);
// A stored value made safe: out of range reads as UTF-8.
std::int32_t ValidOutputEncoding(std::int32_t choice);

// The encoding one file is written in.
struct TargetEncoding {
  enum class Form { Utf8, Utf16Le, Utf16Be, Utf32Le, Utf32Be, CodePage };
  // What happens to a mark (U+FEFF) at the start of the text: kept as the
  // source had it, ensured, or dropped (legacy code pages have none).
  enum class Mark { AsSource, Ensure, Drop };
  Form form = Form::Utf8;
  UINT codePage = 0;  // for CodePage; never 0 (the system's is resolved)
  Mark mark = Mark::AsSource;
};

// The target for `choice` and a source read as `encoding` (with the ANSI
// `codePage`, 0 for the system's). "Same as the source" writes the
// source's encoding, its mark exactly as the source had it.
TargetEncoding ResolveTarget(std::int32_t choice, FileEncoding encoding, UINT codePage);

// One character the target cannot hold, and its line (from 1).
struct Unrepresentable {
  char32_t character = 0;
  std::uint64_t line = 0;
};

// Encodes a file's converted UTF-8, chunk by chunk in order; each chunk
// holds whole lines (or whole pieces of a long line), so lines are counted
// across chunks.
class TextEncoder {
 public:
  static constexpr size_t kNamedAtMost = 5;

  explicit TextEncoder(const TargetEncoding& target) : target_(target) {}

  // Appends the encoded `utf8` to `out` (cleared first). False when the
  // chunk holds characters the target cannot hold (Missing() names the
  // first of them) or is not UTF-8; `out` is then undefined.
  bool Encode(const char* utf8, size_t n, std::string& out);
  // The same, with the encoded bytes in `encoded`: `utf8` itself when the
  // target takes the chunk as it is (UTF-8 with no mark to add or drop),
  // else `out`'s text. Valid while both are.
  bool Encode(const char* utf8, size_t n, std::string& out, std::string_view& encoded);
  // The first characters (at most kNamedAtMost) of the refused chunk.
  const std::vector<Unrepresentable>& Missing() const { return missing_; }
  // "“丟”(第 3 行)、..." for the message that tells the user.
  std::wstring DescribeMissing() const;
  bool IsIdentity() const {
    return target_.form == TargetEncoding::Form::Utf8 && target_.mark == TargetEncoding::Mark::AsSource;
  }

 private:
  bool EncodeWide(const std::wstring& wide, std::string& out);
  void FindMissing(const std::wstring& wide);

  TargetEncoding target_;
  bool started_ = false;
  std::uint64_t line_ = 1;  // the line the next chunk starts in
  std::vector<Unrepresentable> missing_;
};
