#include "ui/main/win32/PushToTalk.h"

#include "core/win32/TextCast.h"
#include "policy/PolicyRules.h"
#include "settings/Languages.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/win32/HotKeys.h"
#include "ui/main/win32/TrayIcon.h"

namespace shadowpane {
namespace {

// GetAsyncKeyState's bit for a key down now.
constexpr SHORT kKeyDownBit = static_cast<SHORT>(0x8000);

void Carry(MainWindowData& data, const TalkStep& step) {
  if (step.startTalk && data.devices) StartTalks(*data.devices);
  if (step.endTalk && data.devices) EndTalks(*data.devices);
  if (step.poll) {
    SetTimer(data.window, TIMER_TALK_POLL, kTalkKeyPollMs, nullptr);
  } else {
    KillTimer(data.window, TIMER_TALK_POLL);
  }
  if (step.refused && data.trayShown) {
    ShowTrayBalloon(data.window, StateIconId(gProtectedState), AsWide(GetString(STR_UNBLOCK_NOT_ALLOWED)), true);
  }
}

// The key of the registered talk shortcut, read now. Zero (up) also where
// the system does not let this program read it: another desktop, such as
// the secure one, has the input, which ends the talk.
bool TalkKeyDown() {
  const std::uint32_t stored = RegisteredShortcut(ShortcutAction::HoldToTalk);
  if (stored == kNoShortcut) return false;
  return (GetAsyncKeyState(static_cast<int>(ShortcutKey(stored))) & kKeyDownBit) != 0;
}

}  // namespace

bool OnTalkHotKey(MainWindowData& data, WPARAM id) {
  ShortcutAction action = ShortcutAction::BlockAll;
  if (!ShortcutActionOfHotKey(id, &action) || action != ShortcutAction::HoldToTalk) return false;
  // The key is first read a poll period later, not here: the press's
  // message may be taken before the key's state reads down.
  Carry(data, data.pushToTalk.Press(!RefusesUnblock(data.policy)));
  return true;
}

bool OnTalkTimer(MainWindowData& data, WPARAM id) {
  if (id != TIMER_TALK_POLL) return false;
  Carry(data, data.pushToTalk.Poll(TalkKeyDown()));
  return true;
}

void EndTalk(MainWindowData& data) { Carry(data, data.pushToTalk.End()); }

bool TalkInProgress(const MainWindowData& data) { return data.pushToTalk.Talking(); }

}  // namespace shadowpane
