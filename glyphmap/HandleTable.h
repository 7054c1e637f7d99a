#pragma once
#include <array>
#include <atomic>
#include <mutex>

#include "glyphmap/ConverterCache.h"

namespace glyphmap {

// The open instances. A handle is an index into a fixed table; closed slots
// are reused. Opening and closing take a lock; a conversion only reads its
// slot, so instances on different threads never wait for each other. The
// table owns a reference to each open instance's conversion, which keeps
// it alive until the handle is closed. Conversions only read, so several
// threads may convert with one handle at once; the caller closes a handle
// only once no conversion runs on it.
class HandleTable {
 public:
  static constexpr int kCapacity = 4096;

  int Add(ConverterPtr converter);  // -1 when every slot is taken
  const CompiledConversion* Find(int handle) const {
    if (handle < 0 || handle >= kCapacity) return nullptr;
    return fast_[static_cast<size_t>(handle)].load(std::memory_order_acquire);
  }
  void Remove(int handle);

 private:
  std::mutex mutex_;
  std::array<ConverterPtr, kCapacity> owners_;
  std::array<std::atomic<const CompiledConversion*>, kCapacity> fast_{};
};

}  // namespace glyphmap
