// The prefix's display scale (HKCU\Control Panel\Desktop\LogPixels) set for
// the processes started while this lives; the earlier value, or its
// absence, comes back with it, so other tests keep 96 DPI. Wine reads the
// value when a process starts, so only processes started afterwards see it;
// a test that uses it runs alone (RUN_SERIAL).
#pragma once

#include <windows.h>

namespace shadowpane::testing {

class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi);
  ~ScopedLogPixels();
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

 private:
  DWORD previous_ = 0;
  bool hadValue_ = false;
};

}  // namespace shadowpane::testing
