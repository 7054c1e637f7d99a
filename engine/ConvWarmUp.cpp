#include "engine/ConvWarmUp.h"

#include <cstdint>

#include "engine/ConvDirection.h"
#include "engine/Standards.h"
#include "glyphmap/glyphmap.h"

void ConvWarmUp::Start(std::int32_t standard) {
  if (thread_) return;
  // The standard travels in the thread's argument: nothing is shared.
  thread_.reset(CreateThread(nullptr, 0, &ConvWarmUp::Run,
                             reinterpret_cast<void*>(static_cast<std::intptr_t>(standard)),
                             CREATE_SUSPENDED, nullptr));
  if (!thread_) return;
  SetThreadPriority(thread_.get(), THREAD_PRIORITY_BELOW_NORMAL);
  ResumeThread(thread_.get());
}

bool ConvWarmUp::Done() const {
  return !thread_ || WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0;
}

DWORD WINAPI ConvWarmUp::Run(void* standard) noexcept {
  const auto chosen = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(standard));
  for (ConvDirection direction : {Sim2Tra, Tra2Sim}) {
    const char* name = StandardConfigName(direction, chosen);
    if (name == nullptr) continue;
    try {
      const int handle = glyphmap_open(name, "");
      if (handle != -1) opencc_close(handle);
    } catch (...) {
      // A missing dictionary is told by the job that needs it.
    }
  }
  return 0;
}
