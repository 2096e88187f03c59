// SPDEV: one capture device the program can block. Cameras and microphones
// derive from it; the device list owns every linked device.
//
// Locks: the state lock guards the blocked bit and the posting of its change;
// the name lock guards the three names, the notify window and the WaveInID.
// A device never holds two of its locks at a time.
#pragma once

#include <cstdint>
#include <mutex>

#include "devices/DevicePoster.h"
#include "devices/DeviceTypes.h"

namespace shadowpane {

// Base of the records discovery hands to Init; each kind has its own record
// and ignores a record of the other kind.
struct DeviceInitRecord {
  int kind = -1;
};

// Why a held device is shown amber (its shared bit set), as bits.
constexpr std::uint32_t kHoldRiskOpenToOthers = 1u;  // a camera others can open, a microphone others hear
constexpr std::uint32_t kHoldRiskExclusive = 2u;     // a program that takes the microphone for itself hears it
constexpr std::uint32_t kHoldRiskContested = 4u;     // another program keeps unmuting the microphone
constexpr std::uint32_t kHoldRiskTalking = 8u;       // the hold is paused while the push-to-talk key is down

class SPDEV {
 public:
  explicit SPDEV(DevicePoster& poster);
  SPDEV(const SPDEV&) = delete;
  SPDEV& operator=(const SPDEV&) = delete;
  // A subclass's destructor performs its unblock and releases what it holds.
  virtual ~SPDEV();

  // The operations, in their fixed slot order. All answer an int.
  virtual int GetKind() = 0;
  virtual int Init(const DeviceInitRecord* record) = 0;
  virtual int Block() = 0;
  virtual int Unblock() = 0;
  virtual int GetDisplayName(WideChar* buffer, int maxChars);
  virtual int SetDisplayName(const WideChar* text);
  virtual int GetFriendlyName(WideChar* buffer, int maxChars);
  virtual int SetFriendlyName(const WideChar* text);
  virtual int GetWaveInId() = 0;
  virtual int SetWaveInId(std::uint32_t id) = 0;
  virtual int GetPath(WideChar* buffer, int maxChars);
  virtual int PollDeviceLost() = 0;
  // Checks a hold again the way another program would meet it; a changed
  // answer posts the state anew. Answers 1 when a hold was checked (or a
  // check asked for), 0 otherwise.
  virtual int RecheckHold() { return 0; }

  // Bit 0 of the state flags, read under the state lock.
  int IsBlockedBitSet();
  // Bit 1: the device is held, yet the system still lets another program
  // open it (a camera the system shares between clients). Only ever set
  // together with the blocked bit; read under the state lock.
  int IsSharedBitSet();
  // Why the shared bit is set: kHoldRisk* bits, 0 while it is not.
  virtual std::uint32_t HoldRisks() { return IsSharedBitSet() != 0 ? kHoldRiskOpenToOthers : 0; }
  // Bit 2: the last release could not verify that the device is back as it
  // was found (a microphone left muted for others). Answers it and clears
  // it, so whoever tells the user does so once per release.
  int TakeGiveBackUnverified();
  // Bit 3: the last release left the device to other holders (a
  // microphone another copy of the program keeps muted). Taken like bit 2.
  int TakeLeftToOthers();

  // Reads the notify window under the name lock, then posts the code under
  // the state lock without touching the blocked bit (DEVICE_PLUGGED_IN).
  void PostNotify(std::uint32_t code);

  // Discovery's bookkeeping; touched by the user-interface thread only.
  int sweepMark = 0;
  int newFlag = 0;
  // A device that came back with the block the user had left on it, held
  // again by the refresh that found it: its plugged-in notice says so.
  bool heldAgainOnReturn = false;
  SPDEV* next = nullptr;

 protected:
  // Sets or clears the blocked bit and posts DEVICE_STATE_CHANGED to the
  // given window, both under the state lock. The shared bit is cleared.
  void SetBlockedAndNotify(bool blocked, NotifyWindow window);
  // The same, with the shared bit set as given (only while blocked).
  void SetHeldAndNotify(bool blocked, bool shared, NotifyWindow window);
  // Clears the blocked and shared bits, sets bits 2 and 3 as given and
  // posts DEVICE_STATE_CHANGED, under the state lock.
  void ReleasedAndNotify(bool giveBackUnverified, bool leftToOthers, NotifyWindow window);
  // On a blocked device whose shared bit differs: sets it and posts
  // DEVICE_STATE_CHANGED, under the state lock. Answers whether it posted.
  bool ChangeSharedAndNotify(bool shared, NotifyWindow window);
  // Clears the state flags without posting (Init).
  void ResetStateFlags();

  NotifyWindow ReadNotifyWindow();
  void StorePath(const WideChar* text);
  void StoreNotifyWindow(NotifyWindow window);
  std::uint32_t ReadWaveInId();
  void StoreWaveInId(std::uint32_t id);

  DevicePoster& poster_;

 private:
  std::mutex stateLock_;
  std::uint32_t stateFlags_ = 0;

  std::mutex nameLock_;
  WideChar displayName_[kNameUnits] = {};
  WideChar friendlyName_[kNameUnits] = {};
  WideChar path_[kNameUnits] = {};
  NotifyWindow notifyWindow_ = 0;
  std::uint32_t waveInId_ = 0;
};

}  // namespace shadowpane
