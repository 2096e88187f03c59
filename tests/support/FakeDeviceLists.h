// A DiscoveryTarget that behaves like the main window's two list boxes and
// its poll timer, and logs every call in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "devices/DiscoveryTarget.h"

namespace shadowpane::testing {

struct ListEntry {
  std::u16string text;
  std::uint32_t data;
};

class FakeDeviceLists : public DiscoveryTarget {
 public:
  explicit FakeDeviceLists(NotifyWindow window = 0x5150) : window_(window) {}

  NotifyWindow Window() override { return window_; }
  void KillAudioPollTimer() override;
  void SetAudioPollTimer() override;
  void ResetList(DeviceListBox list) override;
  void InsertAtTop(DeviceListBox list, const WideChar* text, std::uint32_t itemData) override;
  void ClearSelection(DeviceListBox list) override;

  const std::vector<ListEntry>& Entries(DeviceListBox list) const;
  // The entries' texts, top first.
  std::vector<std::u16string> Texts(DeviceListBox list) const;

  // "kill", "set", "reset video", "insert audio", "unselect video", ...
  std::vector<std::string> log;
  bool timerRunning = false;
  // Called at SetAudioPollTimer, to look at the world as the refresh ends.
  std::function<void()> onSetTimer;

 private:
  NotifyWindow window_;
  std::vector<ListEntry> video_;
  std::vector<ListEntry> audio_;
};

}  // namespace shadowpane::testing
