#include "glyphmap/HandleTable.h"

namespace glyphmap {

int HandleTable::Add(ConverterPtr converter) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < owners_.size(); ++i) {
    if (!owners_[i]) {
      fast_[i].store(converter.get(), std::memory_order_release);
      owners_[i] = std::move(converter);
      return static_cast<int>(i);
    }
  }
  return -1;
}

void HandleTable::Remove(int handle) {
  if (handle < 0 || handle >= kCapacity) return;
  ConverterPtr released;  // dropped after the lock is let go
  std::lock_guard<std::mutex> lock(mutex_);
  fast_[static_cast<size_t>(handle)].store(nullptr, std::memory_order_release);
  released = std::move(owners_[static_cast<size_t>(handle)]);
}

}  // namespace glyphmap
