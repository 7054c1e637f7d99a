#include "clipconv/ClipboardText.h"

#include <cstring>

#include "fw/Handle.h"

namespace {

// The clipboard, open for the life of the object when Opened().
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    // Another program holds it for a moment while it copies or pastes.
    for (int attempt = 0; attempt < 20 && !opened_; ++attempt) {
      opened_ = OpenClipboard(owner) != FALSE;
      if (!opened_) Sleep(25);
    }
  }
  ~OpenedClipboard() {
    if (opened_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool Opened() const { return opened_; }

 private:
  bool opened_ = false;
};

// A global block holding `text` and its terminator; null without memory.
HGLOBAL TextBlock(const std::wstring& text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return nullptr;
  void* data = GlobalLock(block);
  if (data == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(data, text.c_str(), bytes);
  GlobalUnlock(block);
  return block;
}

bool SetText(const std::wstring& text) {
  HGLOBAL block = TextBlock(text);
  if (block == nullptr) return false;
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) {
    GlobalFree(block);  // still ours when the clipboard did not take it
    return false;
  }
  return true;
}

}  // namespace

ClipboardRead ReadClipboardText(HWND owner, std::wstring& text, DWORD& sequence) {
  text.clear();
  OpenedClipboard clipboard(owner);
  if (!clipboard.Opened()) return ClipboardRead::Busy;
  sequence = GetClipboardSequenceNumber();
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (block == nullptr) return ClipboardRead::NoText;
  const auto* data = static_cast<const wchar_t*>(GlobalLock(block));
  if (data == nullptr) return ClipboardRead::NoText;
  const size_t units = GlobalSize(block) / sizeof(wchar_t);
  text.assign(data, wcsnlen(data, units));
  GlobalUnlock(block);
  return text.empty() ? ClipboardRead::NoText : ClipboardRead::Text;
}

ClipboardWrite ReplaceClipboardText(HWND owner, const std::wstring& text, DWORD sequence) {
  OpenedClipboard clipboard(owner);
  if (!clipboard.Opened()) return ClipboardWrite::Busy;
  if (GetClipboardSequenceNumber() != sequence) return ClipboardWrite::Changed;
  return SetText(text) ? ClipboardWrite::Written : ClipboardWrite::Failed;
}

bool PutClipboardText(HWND owner, const std::wstring& text) {
  OpenedClipboard clipboard(owner);
  return clipboard.Opened() && SetText(text);
}
