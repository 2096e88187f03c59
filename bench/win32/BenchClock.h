// Wall-clock and process CPU time for the Win32 benchmarks.
#pragma once

#include <windows.h>

namespace shadowpane::bench {

inline double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Kernel plus user time of this process. It moves in clock ticks, so short
// windows read coarse.
inline double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace shadowpane::bench
