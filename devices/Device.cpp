#include "devices/Device.h"

#include "devices/DeviceText.h"

namespace shadowpane {

namespace {
constexpr std::uint32_t kBlockedBit = 1u;
constexpr std::uint32_t kSharedBit = 2u;
constexpr std::uint32_t kGiveBackUnverifiedBit = 4u;
constexpr std::uint32_t kLeftToOthersBit = 8u;
}

SPDEV::SPDEV(DevicePoster& poster) : poster_(poster) {}

SPDEV::~SPDEV() = default;

int SPDEV::GetDisplayName(WideChar* buffer, int maxChars) {
  std::lock_guard<std::mutex> hold(nameLock_);
  return CopyNameField(displayName_, buffer, maxChars);
}

int SPDEV::SetDisplayName(const WideChar* text) {
  std::lock_guard<std::mutex> hold(nameLock_);
  return StoreNameField(displayName_, text);
}

int SPDEV::GetFriendlyName(WideChar* buffer, int maxChars) {
  std::lock_guard<std::mutex> hold(nameLock_);
  return CopyNameField(friendlyName_, buffer, maxChars);
}

int SPDEV::SetFriendlyName(const WideChar* text) {
  std::lock_guard<std::mutex> hold(nameLock_);
  return StoreNameField(friendlyName_, text);
}

int SPDEV::GetPath(WideChar* buffer, int maxChars) {
  std::lock_guard<std::mutex> hold(nameLock_);
  return CopyNameField(path_, buffer, maxChars);
}

int SPDEV::IsBlockedBitSet() {
  std::lock_guard<std::mutex> hold(stateLock_);
  return (stateFlags_ & kBlockedBit) ? 1 : 0;
}

int SPDEV::IsSharedBitSet() {
  std::lock_guard<std::mutex> hold(stateLock_);
  return (stateFlags_ & kSharedBit) ? 1 : 0;
}

void SPDEV::SetBlockedAndNotify(bool blocked, NotifyWindow window) {
  SetHeldAndNotify(blocked, false, window);
}

void SPDEV::SetHeldAndNotify(bool blocked, bool shared, NotifyWindow window) {
  std::lock_guard<std::mutex> hold(stateLock_);
  stateFlags_ &= ~(kBlockedBit | kSharedBit);
  if (blocked) stateFlags_ |= kBlockedBit;
  // A released device is not shared: there is no hold left to share.
  if (blocked && shared) stateFlags_ |= kSharedBit;
  // Posting inside the lock keeps the receiver's view in step with the bit.
  poster_.PostDeviceNotify(window, DEVICE_STATE_CHANGED, this);
}

void SPDEV::ReleasedAndNotify(bool giveBackUnverified, bool leftToOthers, NotifyWindow window) {
  std::lock_guard<std::mutex> hold(stateLock_);
  stateFlags_ &= ~(kBlockedBit | kSharedBit);
  if (giveBackUnverified) stateFlags_ |= kGiveBackUnverifiedBit;
  if (leftToOthers) stateFlags_ |= kLeftToOthersBit;
  poster_.PostDeviceNotify(window, DEVICE_STATE_CHANGED, this);
}

int SPDEV::TakeGiveBackUnverified() {
  std::lock_guard<std::mutex> hold(stateLock_);
  const bool set = (stateFlags_ & kGiveBackUnverifiedBit) != 0;
  stateFlags_ &= ~kGiveBackUnverifiedBit;
  return set ? 1 : 0;
}

int SPDEV::TakeLeftToOthers() {
  std::lock_guard<std::mutex> hold(stateLock_);
  const bool set = (stateFlags_ & kLeftToOthersBit) != 0;
  stateFlags_ &= ~kLeftToOthersBit;
  return set ? 1 : 0;
}

bool SPDEV::ChangeSharedAndNotify(bool shared, NotifyWindow window) {
  std::lock_guard<std::mutex> hold(stateLock_);
  if ((stateFlags_ & kBlockedBit) == 0) return false;
  if (((stateFlags_ & kSharedBit) != 0) == shared) return false;
  stateFlags_ ^= kSharedBit;
  poster_.PostDeviceNotify(window, DEVICE_STATE_CHANGED, this);
  return true;
}

void SPDEV::PostNotify(std::uint32_t code) {
  const NotifyWindow window = ReadNotifyWindow();
  std::lock_guard<std::mutex> hold(stateLock_);
  poster_.PostDeviceNotify(window, code, this);
}

void SPDEV::ResetStateFlags() {
  std::lock_guard<std::mutex> hold(stateLock_);
  stateFlags_ = 0;
}

NotifyWindow SPDEV::ReadNotifyWindow() {
  std::lock_guard<std::mutex> hold(nameLock_);
  return notifyWindow_;
}

void SPDEV::StorePath(const WideChar* text) {
  std::lock_guard<std::mutex> hold(nameLock_);
  StoreNameField(path_, text);
}

void SPDEV::StoreNotifyWindow(NotifyWindow window) {
  std::lock_guard<std::mutex> hold(nameLock_);
  notifyWindow_ = window;
}

std::uint32_t SPDEV::ReadWaveInId() {
  std::lock_guard<std::mutex> hold(nameLock_);
  return waveInId_;
}

void SPDEV::StoreWaveInId(std::uint32_t id) {
  std::lock_guard<std::mutex> hold(nameLock_);
  waveInId_ = id;
}

}  // namespace shadowpane
