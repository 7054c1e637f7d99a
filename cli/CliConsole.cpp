#include "cli/CliConsole.h"

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

bool WriteAll(HANDLE handle, const char* bytes, size_t count) {
  while (count > 0) {
    const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

}  // namespace

std::wstring WideFromUtf8(const char* bytes, std::int32_t count) {
  if (count <= 0) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, bytes, count, nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes, count, text.data(), n);
  return text;
}

std::string Utf8FromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), n, nullptr, nullptr);
  return bytes;
}

CliConsole::CliConsole()
    : in_(GetStdHandle(STD_INPUT_HANDLE)),
      out_(GetStdHandle(STD_OUTPUT_HANDLE)),
      err_(GetStdHandle(STD_ERROR_HANDLE)),
      inConsole_(IsConsole(in_)),
      outConsole_(IsConsole(out_)),
      errConsole_(IsConsole(err_)) {}

bool CliConsole::WriteText(HANDLE handle, bool console, const std::wstring& text) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  if (console) {
    const wchar_t* p = text.data();
    size_t left = text.size();
    while (left > 0) {
      const DWORD chunk = left > 8192 ? 8192 : static_cast<DWORD>(left);
      DWORD written = 0;
      if (!WriteConsoleW(handle, p, chunk, &written, nullptr) || written == 0) return false;
      p += written;
      left -= written;
    }
    return true;
  }
  const std::string bytes = Utf8FromWide(text);
  return WriteAll(handle, bytes.data(), bytes.size());
}

std::wstring ConsoleText(const char* bytes, std::int32_t count, const TargetEncoding& encoding) {
  using Form = TargetEncoding::Form;
  std::wstring text;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  switch (encoding.form) {
    case Form::Utf16Le:
    case Form::Utf16Be:
      for (std::int32_t i = 0; i + 1 < count; i += 2) {
        text += static_cast<wchar_t>(encoding.form == Form::Utf16Le ? b[i] | (b[i + 1] << 8)
                                                                    : (b[i] << 8) | b[i + 1]);
      }
      break;
    case Form::Utf32Le:
    case Form::Utf32Be:
      for (std::int32_t i = 0; i + 3 < count; i += 4) {
        const char32_t c = encoding.form == Form::Utf32Le
                               ? b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (char32_t{b[i + 3]} << 24)
                               : (char32_t{b[i]} << 24) | (b[i + 1] << 16) | (b[i + 2] << 8) | b[i + 3];
        if (c >= 0x10000) {
          text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
          text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
          text += static_cast<wchar_t>(c);
        }
      }
      break;
    case Form::CodePage: {
      // Without the system's GB18030 (Wine), its two-byte part reads as GBK.
      const UINT cp = encoding.codePage == 54936 && !IsValidCodePage(54936) ? 936 : encoding.codePage;
      const int n = MultiByteToWideChar(cp, 0, bytes, count, nullptr, 0);
      text.resize(static_cast<size_t>(n > 0 ? n : 0));
      MultiByteToWideChar(cp, 0, bytes, count, text.data(), n);
      break;
    }
    default: text = WideFromUtf8(bytes, count); break;
  }
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

bool CliConsole::WriteOut(const char* bytes, std::int32_t count, const TargetEncoding& encoding) {
  if (count <= 0) return true;
  if (outConsole_) return WriteText(out_, true, ConsoleText(bytes, count, encoding));
  return WriteAll(out_, bytes, static_cast<size_t>(count));
}

void CliConsole::Print(const std::wstring& text) { WriteText(out_, outConsole_, text); }

void CliConsole::Error(const std::wstring& line) {
  ClearProgress();
  WriteText(err_, errConsole_, line + L"\n");
}

void CliConsole::Progress(const std::wstring& line) {
  if (!errConsole_) return;
  std::wstring text = L"\r" + line;
  if (line.size() < progressWidth_) text.append(progressWidth_ - line.size(), L' ');
  progressWidth_ = line.size();
  WriteText(err_, true, text);
}

void CliConsole::ClearProgress() {
  if (!errConsole_ || progressWidth_ == 0) return;
  WriteText(err_, true, L"\r" + std::wstring(progressWidth_, L' ') + L"\r");
  progressWidth_ = 0;
}
