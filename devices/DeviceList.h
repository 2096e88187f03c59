// DeviceList: every device the program knows, newest first. Only the
// user-interface thread touches it, so it has no lock of its own.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "devices/Device.h"
#include "devices/ProfileCodec.h"
#include "devices/ProfileFile.h"

namespace shadowpane {

// LinkDevice gives suffixes -1 up to this one; a further device of the same
// name is refused.
constexpr int kMaxDisplayNameSuffix = 9998;
// The unsuffixed display name keeps at most this many characters.
constexpr int kDisplayNameBaseChars = 250;
// Profile.db keeps the records of at most this many blocked devices that
// are not listed now, the most recently seen.
constexpr std::size_t kMaxKeptBlockedRecords = 64;

class DeviceList {
 public:
  // The profile file is borrowed; it must outlive the list. Null means the
  // list is never saved (a list without a profile, as in some tests).
  explicit DeviceList(ProfileFile* profileFile = nullptr);
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  // Destroys whatever DestroyDeviceList has not already destroyed, without
  // saving: only an explicit DestroyDeviceList writes the profile.
  ~DeviceList();

  SPDEV* head() const { return head_; }
  ProfileFile* profileFile() const { return profileFile_; }
  int audioCount = 0;
  // The system's wave-input count when the last refresh began. The audio
  // poll compares the count with this one, not with the listed microphones:
  // an input that one side lists and the other does not would make those
  // differ for ever, and refresh every second.
  std::uint32_t waveInCountAtRefresh = 0;
  // False when the last refresh could not read a category of devices: the
  // list may then lack devices that are there, so it proves no protection.
  bool lastRefreshComplete = true;

  static int IsBlocked(SPDEV* device);
  // The data word of the device's entry: kind, blocked bit and, while
  // blocked, whether the hold is shared (kListItemHeldButShared).
  static std::uint32_t ListItemDataOf(SPDEV* device);
  int AllBlocked() const;
  SPDEV* FindByDisplayName(const WideChar* text) const;
  SPDEV* FindByPath(const WideChar* text) const;
  // Answers whether the device is linked (messages carry stale pointers).
  bool Contains(const SPDEV* device) const;
  int Count() const;

  // Gives a newly initialised device a unique display name and pushes it at
  // the head. Takes ownership: answers the device, or null after destroying
  // it when no free name is left.
  SPDEV* LinkDevice(SPDEV* device);

  // Reads the notify window, then posts DEVICE_PLUGGED_IN for the device.
  static void NotifyPluggedIn(SPDEV* device);

  // Takes the device out of the list and destroys it (its unblock runs).
  void DestroyDevice(SPDEV* device);

  // The paths of blocked devices that are not listed now (unplugged, or
  // saved by an earlier run and not found at start), most recently seen
  // first: a device that comes back is held again, as the user left it.
  const std::vector<std::u16string>& keptBlocked() const { return keptBlocked_; }
  // Keeps a path in front (a path without text cannot be recognised and
  // is not kept). Beyond kMaxKeptBlockedRecords the oldest go only at
  // DropOldestKeptBlocks.
  void KeepBlocked(const std::u16string& path);
  // Drops the oldest kept blocks beyond kMaxKeptBlockedRecords. A refresh
  // calls it once the devices that came back have taken theirs, so that a
  // device swept and listed again in one refresh (a microphone without a
  // name is a new object at each) pushes no other device's block out.
  void DropOldestKeptBlocks();
  // Takes the kept block of a device that is listed again: the same path,
  // or for a microphone one kept under its name at any wave-in number (the
  // number moves with the other inputs). True when one was taken.
  bool TakeKeptBlock(const std::u16string& path, bool microphone);

  // The paths of devices held for a while on the program's own account
  // (while the user is away), not by the user's choice: Profile.db saves
  // them as open, and one that goes while so held keeps no block. Empty
  // unless the window puts paths here; the window alone changes it.
  std::vector<std::u16string> blocksNotSaved;
  bool BlockNotSaved(const std::u16string& path) const;

  // Saves the profile while every device still has its state, closes the
  // profile file, then destroys the devices from the head.
  void DestroyDeviceList();

 private:
  bool NameTaken(const std::u16string& name) const;
  void ForgetName(SPDEV* device);

  SPDEV* head_ = nullptr;
  ProfileFile* profileFile_ = nullptr;
  std::vector<std::u16string> keptBlocked_;

  // Display names of the linked devices, so that finding the lowest free
  // suffix does not rescan the list once per candidate.
  std::unordered_map<std::u16string, int> linkedNames_;
  // Per base name, a suffix below which every candidate is known taken.
  // Forgotten whenever a device leaves the list.
  std::unordered_map<std::u16string, int> lowestFreeSuffixHint_;
};

// Writes Profile.db from the list: opens it when it is not open, writes
// one record per device in list order (blocked as the user chose: a block
// in blocksNotSaved is saved as open), then a blocked record per kept
// block, and keeps it open. Answers 1 when the
// file was written; on any failure closes it and answers 0.
int SaveProfile(DeviceList& list);

// Reads Profile.db. Answers 1 and the records in file order when the file
// exists and is valid as a whole, else 0 and no records.
int LoadProfile(ProfileFile& file, std::vector<ProfileRecord>& records);

}  // namespace shadowpane
