#pragma once
// Owning wrappers for kernel handles; header only, so that every layer can
// use them without linking the windowing library (their target: fw_handles).
#include <windows.h>

#include <utility>

namespace fw {

// Owns a handle and gives it to `Traits::Close`. Null and
// INVALID_HANDLE_VALUE both mean "none".
template <class Traits>
class BasicUniqueHandle {
 public:
  BasicUniqueHandle() = default;
  explicit BasicUniqueHandle(HANDLE h) : h_(h) {}
  ~BasicUniqueHandle() { reset(); }
  BasicUniqueHandle(BasicUniqueHandle&& other) noexcept : h_(other.release()) {}
  BasicUniqueHandle& operator=(BasicUniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  BasicUniqueHandle(const BasicUniqueHandle&) = delete;
  BasicUniqueHandle& operator=(const BasicUniqueHandle&) = delete;

  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(h_, nullptr); }
  void reset(HANDLE h = nullptr) {
    if (*this) Traits::Close(h_);
    h_ = h;
  }

 private:
  HANDLE h_ = nullptr;
};

struct KernelHandleTraits {
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  static void Close(HANDLE h) { FindClose(h); }
};

// A file, event, thread or other kernel object: CloseHandle.
using UniqueHandle = BasicUniqueHandle<KernelHandleTraits>;
// A FindFirstFile search: FindClose.
using UniqueFindHandle = BasicUniqueHandle<FindHandleTraits>;

// A handle of the calling thread that other threads may wait on (it is
// signalled when the thread ends); empty when it cannot be had.
inline UniqueHandle DuplicateCurrentThread() {
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, SYNCHRONIZE,
                  FALSE, 0);
  return UniqueHandle(self);
}

}  // namespace fw
