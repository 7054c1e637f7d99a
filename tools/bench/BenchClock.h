#pragma once
// What the Windows benchmarks time with, and the one conversion they need
// for their arguments.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

// Seconds on the performance counter.
inline double Now() {
  static const LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// A span of the system's times in seconds.
inline double FileTimeSeconds(const FILETIME& t) {
  return static_cast<double>(static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
}

// Processor time of this thread: unlike the clock, it does not count the
// time other processes of a busy machine take. Its ticks can be coarse (10 ms
// under Wine): take it over many rounds together.
inline double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

// Processor time of the whole process, every thread's: for work that a
// job spreads over several threads. Coarse ticks, as ThreadSeconds.
inline double ProcessSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

// An argument (UTF-8 under the runtime we build with) as UTF-16.
inline std::wstring Wide(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  w.resize(wcslen(w.c_str()));
  return w;
}
