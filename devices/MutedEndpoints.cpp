#include "devices/MutedEndpoints.h"

#include <algorithm>

namespace shadowpane {

std::vector<std::u16string> ParseMutedEndpoints(const std::u16string& text) {
  std::vector<std::u16string> ids;
  std::size_t start = 0;
  while (start <= text.size() && ids.size() < kMaxMutedEndpoints) {
    std::size_t end = text.find(kEndpointIdSeparator, start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string id = text.substr(start, end - start);
    if (!id.empty() && id.size() <= kMaxEndpointIdChars &&
        std::find(ids.begin(), ids.end(), id) == ids.end()) {
      ids.push_back(std::move(id));
    }
    start = end + 1;
  }
  return ids;
}

std::u16string FormatMutedEndpoints(const std::vector<std::u16string>& ids) {
  std::u16string text;
  for (const std::u16string& id : ids) {
    if (!text.empty()) text += kEndpointIdSeparator;
    text += id;
  }
  return text;
}

MutedEndpoints::MutedEndpoints(MutedEndpointStore& store)
    : store_(store), ids_(ParseMutedEndpoints(store.Read())) {}

bool MutedEndpoints::Contains(const std::u16string& id) {
  std::lock_guard<std::mutex> hold(lock_);
  return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

void MutedEndpoints::Add(const std::u16string& id) {
  std::lock_guard<std::mutex> hold(lock_);
  // An id the record could not read back is not written either.
  if (id.empty() || id.size() > kMaxEndpointIdChars ||
      id.find(kEndpointIdSeparator) != std::u16string::npos ||
      std::find(ids_.begin(), ids_.end(), id) != ids_.end()) {
    return;
  }
  ids_.push_back(id);
  WriteLocked();
}

void MutedEndpoints::Remove(const std::u16string& id) {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = std::find(ids_.begin(), ids_.end(), id);
  if (found == ids_.end()) return;
  ids_.erase(found);
  WriteLocked();
}

void MutedEndpoints::WriteLocked() { unwritten_ = !store_.Write(FormatMutedEndpoints(ids_)); }

bool MutedEndpoints::RetryWrite() {
  std::lock_guard<std::mutex> hold(lock_);
  if (unwritten_) WriteLocked();
  return !unwritten_;
}

std::vector<std::u16string> MutedEndpoints::Entries() {
  std::lock_guard<std::mutex> hold(lock_);
  return ids_;
}

}  // namespace shadowpane
