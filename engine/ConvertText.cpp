#include "engine/ConvertText.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "config/FileBytes.h"
#include "engine/ConvEngine.h"
#include "engine/ConvNotify.h"
#include "engine/ConvWorker.h"
#include "fw/MessageBox.h"

namespace {

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

void ShowUtf8Message(const char* utf8, HWND owner) {
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
  fw::AppMessageBox(owner, text, MB_OK);
}

DWORD ConvertText(TextJob& job) {
  PostMessageW(job.window, WM_CONV_NOTIFY, CONV_BEGIN, 0);
  // The whole text in UTF-8 with its terminator, which glyphmap is given too.
  const int n = WideCharToMultiByte(CP_UTF8, 0, job.source.c_str(), -1, nullptr, 0, nullptr,
                                    nullptr);
  std::unique_ptr<char[]> input = n > 0 ? AllocZeroed(static_cast<size_t>(n)) : nullptr;
  if (input) {
    WideCharToMultiByte(CP_UTF8, 0, job.source.c_str(), -1, input.get(), n, nullptr, nullptr);
    ConvEngine engine;
    std::string output;
    std::vector<Utf8Place> places;
    bool converted = true;
    try {
      if (engine.Open(job.direction, job.options)) {
        const std::string words = engine.TakeWordListReport();
        if (!words.empty()) {
          if (job.worker != nullptr) {
            job.worker->ReportProblem(words.c_str());
          } else {
            ShowUtf8Message(words.c_str());
          }
        }
        engine.ConvertMarked(input.get(), static_cast<size_t>(n), job.everyPlace, output, places);
      }
    } catch (const std::runtime_error& e) {
      // What was converted before the failure is kept.
      if (job.worker != nullptr) {
        job.worker->ReportProblem(e.what());
      } else {
        ShowUtf8Message(e.what());
      }
    } catch (const std::bad_alloc&) {
      converted = false;  // the result stays as it was
    }
    engine.Close();
    if (converted && output.size() <= INT_MAX) {
      StoreResult(job, output.data(), static_cast<int>(output.size()));
      job.places = ToTextPlaces(output, std::string(input.get(), static_cast<size_t>(n)), places);
    }
  }
  PostMessageW(job.window, WM_CONV_NOTIFY, CONV_END, 0);
  return 0;
}
