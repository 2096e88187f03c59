// A DevicePoster that records every post, for checking what a device told
// the user-interface thread. Safe to call from worker threads.
#pragma once

#include <mutex>
#include <vector>

#include "devices/DevicePoster.h"

namespace shadowpane::testing {

struct PostedNotify {
  NotifyWindow window;
  std::uint32_t code;
  SPDEV* device;
};

class RecordingPoster : public DevicePoster {
 public:
  void PostDeviceNotify(NotifyWindow window, std::uint32_t code, SPDEV* device) override;
  std::vector<PostedNotify> Posts() const;
  size_t Count() const;
  void Clear();

 private:
  mutable std::mutex lock_;
  std::vector<PostedNotify> posts_;
};

}  // namespace shadowpane::testing
