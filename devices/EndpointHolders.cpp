#include "devices/EndpointHolders.h"

#include <algorithm>

namespace shadowpane {

EndpointLockTry EndpointHolders::TakeLock(const std::u16string& endpointId) {
  std::uint32_t waitMs = kLockWaitMs;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (waitLeftMs_) waitMs = std::min(waitMs, *waitLeftMs_);
  }
  EndpointLockTry attempt = system_.Lock(endpointId, waitMs);
  std::lock_guard<std::mutex> hold(lock_);
  if (waitLeftMs_) *waitLeftMs_ -= std::min(*waitLeftMs_, attempt.waitedMs);
  return attempt;
}

std::optional<std::uint32_t> EndpointHolders::LimitLockWaits(std::optional<std::uint32_t> limitMs) {
  std::lock_guard<std::mutex> hold(lock_);
  const std::optional<std::uint32_t> before = waitLeftMs_;
  if (limitMs && waitLeftMs_) limitMs = std::min(*limitMs, *waitLeftMs_);
  waitLeftMs_ = limitMs;
  return before;
}

std::optional<bool> EndpointHolders::Join(const std::u16string& endpointId,
                                          const std::function<std::optional<bool>()>& readAlone) {
  EndpointLockTry attempt = TakeLock(endpointId);
  EndpointHolderLock* lock = attempt.lock.get();
  bool claimed = false;
  {
    std::lock_guard<std::mutex> hold(lock_);
    claimed = claims_.count(endpointId) != 0;
  }
  // Without the lock nothing is known of other copies: this one reads
  // alone, holds without a claim, and its Leave gives back nothing until
  // the lock can be had.
  const int others = lock == nullptr ? 0 : lock->Holders() - (claimed ? 1 : 0);
  std::optional<bool> foundUnmuted = readAlone();
  // Under another holder the endpoint reads muted, so the mark tells what
  // the first found; read unmuted, no claim kept it muted (a name taken
  // by another program is no holder).
  if (others > 0 && !(foundUnmuted && *foundUnmuted)) foundUnmuted = lock->FoundUnmuted();
  if (!foundUnmuted || lock == nullptr || claimed) return foundUnmuted;
  std::unique_ptr<EndpointHolderClaim> claim = lock->Claim(*foundUnmuted);
  // No free claim: the others cannot see this copy; still muted, as the
  // block asks, and its Leave still asks whether anyone else holds it.
  if (claim != nullptr) {
    std::lock_guard<std::mutex> hold(lock_);
    claims_[endpointId] = std::move(claim);
  }
  return foundUnmuted;
}

LeaveOutcome EndpointHolders::Leave(const std::u16string& endpointId, bool recordedUnmuted,
                                    const std::function<bool(bool foundUnmuted)>& giveBack) {
  EndpointLockTry attempt = TakeLock(endpointId);
  // The claim stays until the lock is had: meanwhile the others still see
  // this copy, so none gives back under it, and the stray clean-up tries
  // again.
  if (attempt.lock == nullptr) return attempt.refused ? LeaveOutcome::LeftToOthers : LeaveOutcome::Failed;
  const bool markedUnmuted = attempt.lock->FoundUnmuted();
  {
    std::lock_guard<std::mutex> hold(lock_);
    claims_.erase(endpointId);
  }
  if (attempt.lock->Holders() > 0) return LeaveOutcome::LeftToOthers;
  return giveBack(recordedUnmuted || markedUnmuted) ? LeaveOutcome::GivenBack : LeaveOutcome::Failed;
}

std::vector<std::u16string> EndpointHolders::Claimed() {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<std::u16string> ids;
  for (const auto& entry : claims_) ids.push_back(entry.first);
  return ids;
}

}  // namespace shadowpane
