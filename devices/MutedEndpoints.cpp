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

MutedEndpoints::MutedEndpoints(MutedEndpointStore& store, MutedEndpointsLock* lock)
    : store_(store), recordLock_(lock), ids_(ParseMutedEndpoints(store.Read())) {}

bool MutedEndpoints::Contains(const std::u16string& id) {
  std::lock_guard<std::mutex> hold(lock_);
  return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

void MutedEndpoints::Add(const std::u16string& id) {
  std::lock_guard<std::mutex> hold(lock_);
  // An id the record could not read back is not written either.
  if (id.empty() || id.size() > kMaxEndpointIdChars || id.find(kEndpointIdSeparator) != std::u16string::npos) {
    return;
  }
  if (std::find(ids_.begin(), ids_.end(), id) == ids_.end()) ids_.push_back(id);
  // Written even when this copy's view lists it: another session may have
  // given the endpoint back since this copy read the record.
  unwritten_[id] = true;
  WriteLocked();
}

void MutedEndpoints::Remove(const std::u16string& id) {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = std::find(ids_.begin(), ids_.end(), id);
  if (found != ids_.end()) ids_.erase(found);
  unwritten_[id] = false;
  WriteLocked();
}

void MutedEndpoints::WriteLocked() {
  if (unwritten_.empty()) return;
  // Without the lock within its bound the change is merged and written all
  // the same: a change left unwritten can leave a muted input unrecorded,
  // while a lost race needs another session writing in that same moment.
  const bool locked = recordLock_ != nullptr && recordLock_->Lock();
  const std::u16string before = store_.Read();
  std::vector<std::u16string> stored = ParseMutedEndpoints(before);
  for (const auto& change : unwritten_) {
    auto found = std::find(stored.begin(), stored.end(), change.first);
    if (change.second && found == stored.end()) stored.push_back(change.first);
    if (!change.second && found != stored.end()) stored.erase(found);
  }
  const std::u16string after = FormatMutedEndpoints(stored);
  if (after == before || store_.Write(after)) unwritten_.clear();
  if (locked) recordLock_->Unlock();
}

bool MutedEndpoints::RetryWrite() {
  std::lock_guard<std::mutex> hold(lock_);
  WriteLocked();
  return unwritten_.empty();
}

std::vector<std::u16string> MutedEndpoints::Entries() {
  std::lock_guard<std::mutex> hold(lock_);
  return ids_;
}

}  // namespace shadowpane
