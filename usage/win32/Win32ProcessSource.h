// What the usage records are checked against on Windows: this process and
// its image, the system's last start (the clock less the uptime), and the
// running processes from a process snapshot, each opened for its image
// path and start time where the system lets it.
#pragma once

#include "usage/UsageSources.h"

namespace shadowpane {

class Win32ProcessSource : public ProcessSource {
 public:
  OwnProcess Own() override;
  // 0 where GetTickCount64 is missing (before Vista, which keeps no records).
  std::uint64_t BootTime() override;
  int ReadProcesses(std::vector<RunningProcess>& processes) override;
};

}  // namespace shadowpane
