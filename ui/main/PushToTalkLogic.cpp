#include "ui/main/PushToTalkLogic.h"

#include "devices/Microphone.h"

namespace shadowpane {

TalkStep PushToTalk::Press(bool unblockAllowed) {
  TalkStep step;
  if (talking_) {
    step.poll = true;
    return step;
  }
  if (!unblockAllowed) {
    step.refused = true;
    return step;
  }
  talking_ = true;
  step.startTalk = true;
  step.poll = true;
  return step;
}

TalkStep PushToTalk::Poll(bool keyDown) {
  if (talking_ && keyDown) {
    TalkStep step;
    step.poll = true;
    return step;
  }
  return End();
}

TalkStep PushToTalk::End() {
  TalkStep step;
  step.endTalk = talking_;
  talking_ = false;
  return step;
}

TalkStep PushToTalk::PluggedIn() const {
  TalkStep step;
  step.poll = talking_;
  return step;
}

int StartTalks(DeviceList& list) {
  int asked = 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    auto* microphone = dynamic_cast<SPDEVMIC*>(device);
    if (microphone != nullptr && DeviceList::IsBlocked(device) != 0 && microphone->HoldRequested()) {
      asked += microphone->Talk(true);
    }
  }
  return asked;
}

void EndTalks(DeviceList& list) {
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    auto* microphone = dynamic_cast<SPDEVMIC*>(device);
    if (microphone != nullptr) microphone->Talk(false);
  }
}

}  // namespace shadowpane
