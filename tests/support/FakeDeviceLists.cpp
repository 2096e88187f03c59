#include "tests/support/FakeDeviceLists.h"

#include "devices/DeviceText.h"

namespace shadowpane::testing {

namespace {
const char* Name(DeviceListBox list) { return list == DeviceListBox::Video ? "video" : "audio"; }
}  // namespace

void FakeDeviceLists::KillAudioPollTimer() {
  log.push_back("kill");
  timerRunning = false;
}

void FakeDeviceLists::SetAudioPollTimer() {
  log.push_back("set");
  timerRunning = true;
  if (onSetTimer) onSetTimer();
}

void FakeDeviceLists::ResetList(DeviceListBox list) {
  log.push_back(std::string("reset ") + Name(list));
  (list == DeviceListBox::Video ? video_ : audio_).clear();
}

void FakeDeviceLists::InsertAtTop(DeviceListBox list, const WideChar* text, std::uint32_t data) {
  log.push_back(std::string("insert ") + Name(list));
  auto& entries = list == DeviceListBox::Video ? video_ : audio_;
  entries.insert(entries.begin(),
                 ListEntry{BoundedString(text, kNameUnits),
                           data});
}

void FakeDeviceLists::ClearSelection(DeviceListBox list) {
  log.push_back(std::string("unselect ") + Name(list));
}

const std::vector<ListEntry>& FakeDeviceLists::Entries(DeviceListBox list) const {
  return list == DeviceListBox::Video ? video_ : audio_;
}

std::vector<std::u16string> FakeDeviceLists::Texts(DeviceListBox list) const {
  std::vector<std::u16string> texts;
  for (const ListEntry& entry : Entries(list)) texts.push_back(entry.text);
  return texts;
}

}  // namespace shadowpane::testing
