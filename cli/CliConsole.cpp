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

bool CliConsole::WriteOut(const char* bytes, std::int32_t count) {
  if (count <= 0) return true;
  if (outConsole_) return WriteText(out_, true, WideFromUtf8(bytes, count));
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
