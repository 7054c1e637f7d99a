#include "glyphmap/HandleTable.h"

#include <limits>

namespace glyphmap {

int HandleTable::Add(ConverterPtr converter) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i]) {
      slots_[i] = std::move(converter);
      return static_cast<int>(i);
    }
  }
  if (slots_.size() >= static_cast<size_t>(std::numeric_limits<int>::max())) return -1;
  slots_.push_back(std::move(converter));
  return static_cast<int>(slots_.size() - 1);
}

ConverterPtr HandleTable::Find(int handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle < 0 || static_cast<size_t>(handle) >= slots_.size()) return nullptr;
  return slots_[static_cast<size_t>(handle)];
}

void HandleTable::Remove(int handle) {
  ConverterPtr released;  // dropped after the lock is let go
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle < 0 || static_cast<size_t>(handle) >= slots_.size()) return;
  released = std::move(slots_[static_cast<size_t>(handle)]);
}

}  // namespace glyphmap
