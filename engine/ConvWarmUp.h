#pragma once
#include <windows.h>

#include <cstdint>

#include "fw/Handle.h"

// Builds the conversions of both directions for a standard in the
// background, so that the first conversion the user asks for finds them
// ready: the first open of a configuration in a process builds its tables
// from the dictionaries (a quarter of a second), every later one takes
// them from glyphmap's cache. Nothing is opened with a word list here: a
// list's skipped lines are told by the first job that uses it.
class ConvWarmUp {
 public:
  ConvWarmUp() = default;
  // The thread is not waited for: at the end of the process it simply
  // stops with it, and glyphmap's cache stays usable whenever it stops.
  ~ConvWarmUp() = default;
  ConvWarmUp(const ConvWarmUp&) = delete;
  ConvWarmUp& operator=(const ConvWarmUp&) = delete;

  // Starts the building thread at low priority; once per object.
  void Start(std::int32_t standard);
  // True once the thread has ended (or none was started).
  bool Done() const;

 private:
  static DWORD WINAPI Run(void* standard) noexcept;
  fw::UniqueHandle thread_;
};
