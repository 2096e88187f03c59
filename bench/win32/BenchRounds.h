// What the benches that time the real program round by round share: a
// close wait on what the window shows, and the report of the rounds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/win32/BenchClock.h"
#include "tests/e2e/ProgramDriver.h"
#include "ui/main/MainWindowIds.h"

namespace shadowpane::bench {

// Polls every millisecond, so the figure carries little of the poll's own
// delay; false at the limit.
template <typename Check>
bool WaitClosely(Check check, DWORD limitMs) {
  const double end = Now() + limitMs / 1000.0;
  while (!check()) {
    if (Now() > end) return false;
    Sleep(1);
  }
  return true;
}

// Every entry of both lists blocked (or, for blocked = false, none).
inline bool AllShown(HWND main, bool blocked) {
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    for (const e2e::ListedEntry& entry : e2e::ReadList(GetDlgItem(main, id))) {
      if (entry.blocked != blocked) return false;
    }
  }
  return true;
}

// Prints the median and spread of the rounds' times; false (and says so)
// when fewer than `rounds` finished.
inline bool ReportRounds(const char* what, std::vector<double> ms, int rounds) {
  if (ms.size() != static_cast<std::size_t>(rounds)) {
    std::printf("%s: a round did not finish (%u done)\n", what, static_cast<unsigned>(ms.size()));
    return false;
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: median %.0f ms (min %.0f, max %.0f, %d rounds)\n", what, ms[ms.size() / 2], ms.front(),
              ms.back(), rounds);
  return true;
}

}  // namespace shadowpane::bench
