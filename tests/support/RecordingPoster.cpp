#include "tests/support/RecordingPoster.h"

namespace shadowpane::testing {

void RecordingPoster::PostDeviceNotify(NotifyWindow window, std::uint32_t code, SPDEV* device) {
  std::lock_guard<std::mutex> hold(lock_);
  posts_.push_back({window, code, device});
}

std::vector<PostedNotify> RecordingPoster::Posts() const {
  std::lock_guard<std::mutex> hold(lock_);
  return posts_;
}

size_t RecordingPoster::Count() const {
  std::lock_guard<std::mutex> hold(lock_);
  return posts_.size();
}

void RecordingPoster::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  posts_.clear();
}

}  // namespace shadowpane::testing
