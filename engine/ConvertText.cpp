#include "engine/ConvertText.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "engine/ConvEngine.h"
#include "engine/ConvNotify.h"
#include "fw/MessageBox.h"
#include "glyphmap/glyphmap.h"

namespace {

// Zero-filled bytes, or null when the memory is not there.
std::unique_ptr<char[]> AllocZeroed(size_t size) {
  std::unique_ptr<char[]> p(new (std::nothrow) char[size]);
  if (p) std::memset(p.get(), 0, size);
  return p;
}

// Converts the engine's UTF-8 output back into the job's result.
void StoreResult(TextJob& job, const char* utf8, int count) {
  if (count < 0) count = 0;
  std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<size_t>(count) + 1]);
  if (!wide) return;  // the result stays as it was
  std::memset(wide.get(), 0, (static_cast<size_t>(count) + 1) * sizeof(wchar_t));
  if (count > 0) MultiByteToWideChar(CP_UTF8, 0, utf8, count, wide.get(), count);
  job.result.assign(wide.get());
}

}  // namespace

void ShowUtf8Message(const char* utf8) {
  constexpr int kCapacity = 2048;
  std::wstring text;
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n > 0) {
    text.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), n);
    text.resize(wcslen(text.c_str()));
  }
  if (text.size() >= kCapacity) {
    size_t cut = kCapacity - 1;
    if (IS_HIGH_SURROGATE(text[cut - 1])) --cut;  // keep a pair whole
    text.resize(cut);
  }
  fw::AppMessageBox(nullptr, text, MB_OK);
}

DWORD ConvertText(TextJob& job) {
  PostMessageW(job.window, WM_CONV_NOTIFY, CONV_BEGIN, 0);
  auto engine = std::make_unique<ConvEngine>();

  // Four bytes per UTF-16 unit always hold the UTF-8 form; the converted
  // text gets what glyphmap says the open configuration and word list need.
  const size_t units = job.source.size();
  const size_t size = 4 * units + 4;
  std::unique_ptr<char[]> input, output;
  if (units <= (INT_MAX - 4) / 4) input = AllocZeroed(size);
  if (input) {
    int n = WideCharToMultiByte(CP_UTF8, 0, job.source.c_str(), -1, input.get(),
                                static_cast<int>(size), nullptr, nullptr);
    int count = 0;
    size_t capacity = 0;
    try {
      if (engine->Open(job.direction, job.options)) {
        capacity = glyphmap_output_bound(engine->Handle(), static_cast<size_t>(n));
        output = capacity > 0 ? AllocZeroed(capacity) : nullptr;
        if (output) {
          count = glyphmap_convert(engine->Handle(), input.get(), static_cast<size_t>(n),
                                   output.get(), capacity);
        }
      }
      engine->Close();
    } catch (const std::runtime_error& e) {
      ShowUtf8Message(e.what());
      engine->Close();
      count = output ? static_cast<int>(strnlen(output.get(), capacity)) : 0;
    }
    if (output || count == 0) StoreResult(job, output ? output.get() : "", count);
  }
  engine.reset();
  input.reset();
  output.reset();
  PostMessageW(job.window, WM_CONV_NOTIFY, CONV_END, 0);
  return 0;
}
