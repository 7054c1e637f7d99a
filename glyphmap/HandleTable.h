#pragma once
#include <mutex>
#include <vector>

#include "glyphmap/ConverterCache.h"

namespace glyphmap {

// The open instances. A handle is an index into the table; closed slots are
// reused. Lookups copy the converter out under the lock, so a close on one
// thread never pulls a converter from under a conversion on another.
class HandleTable {
 public:
  int Add(ConverterPtr converter);
  ConverterPtr Find(int handle);
  void Remove(int handle);

 private:
  std::mutex mutex_;
  std::vector<ConverterPtr> slots_;
};

}  // namespace glyphmap
