#include "devices/EndpointHolders.h"

namespace shadowpane {

std::optional<bool> EndpointHolders::Join(const std::u16string& endpointId,
                                          const std::function<std::optional<bool>()>& readAlone) {
  std::unique_ptr<EndpointHolderLock> lock = system_.Lock(endpointId);
  bool claimed = false;
  {
    std::lock_guard<std::mutex> hold(lock_);
    claimed = claims_.count(endpointId) != 0;
  }
  // Without the lock nothing is known of other copies: as if alone.
  const int others = lock == nullptr ? 0 : lock->Holders() - (claimed ? 1 : 0);
  std::optional<bool> foundUnmuted;
  if (others > 0) {
    foundUnmuted = lock->FoundUnmuted();
  } else {
    foundUnmuted = readAlone();
  }
  if (!foundUnmuted || lock == nullptr || claimed) return foundUnmuted;
  std::unique_ptr<EndpointHolderClaim> claim = lock->Claim(*foundUnmuted);
  // No free claim: the others cannot see this copy, which then gives back
  // as if alone; still muted, as the block asks.
  if (claim != nullptr) {
    std::lock_guard<std::mutex> hold(lock_);
    claims_[endpointId] = std::move(claim);
  }
  return foundUnmuted;
}

bool EndpointHolders::Leave(const std::u16string& endpointId, bool recordedUnmuted,
                            const std::function<bool(bool foundUnmuted)>& giveBack) {
  std::unique_ptr<EndpointHolderLock> lock = system_.Lock(endpointId);
  const bool markedUnmuted = lock != nullptr && lock->FoundUnmuted();
  {
    std::lock_guard<std::mutex> hold(lock_);
    claims_.erase(endpointId);
  }
  if (lock != nullptr && lock->Holders() > 0) return true;
  return giveBack(recordedUnmuted || markedUnmuted);
}

std::vector<std::u16string> EndpointHolders::Claimed() {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<std::u16string> ids;
  for (const auto& entry : claims_) ids.push_back(entry.first);
  return ids;
}

}  // namespace shadowpane
