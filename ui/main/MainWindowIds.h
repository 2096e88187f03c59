// Ids the main window gives its controls, timers, messages and icons.
#pragma once

#include <cstdint>

namespace shadowpane {

// Control ids: the three title-bar buttons, then the device lists, video
// above and audio below.
constexpr int IDC_CLOSE_BUTTON = 1026;
constexpr int IDC_HIDE_BUTTON = 1027;
constexpr int IDC_MENU_BUTTON = 1028;
constexpr int IDC_VIDEO_LIST = 1029;
constexpr int IDC_AUDIO_LIST = 1030;

// One refresh 200 ms after the last matching device-change report.
constexpr unsigned TIMER_DEVICE_REFRESH = 101;
constexpr unsigned kDeviceRefreshDelayMs = 200;
// The once-a-second comparison of listed microphones with the system's
// wave-input count. Off while a refresh runs.
constexpr std::uint32_t TIMER_AUDIO_POLL = 102;
constexpr std::uint32_t kAudioPollIntervalMs = 1000;

// Adds the tray icon: first as soon as the new window has been painted (off
// the path to the window on screen), then again each second while the shell
// refuses it (not ready at logon). Runs only until an add succeeds.
constexpr unsigned TIMER_TRAY_ADD = 103;
constexpr unsigned kTrayFirstAddDelayMs = 10;
constexpr unsigned kTrayRetryIntervalMs = 1000;

// While a shortcut's targets settle (a microphone's worker verifies its
// hold before it shows blocked), the devices are read again at each tick;
// the balloon comes once all settled, or at the limit with what was reached.
constexpr unsigned TIMER_SHORTCUT_SETTLE = 104;
constexpr unsigned kShortcutSettlePollMs = 50;
constexpr unsigned kShortcutSettleLimitMs = 5000;

// The same for the commands of second copies of the program: each is
// answered once its targets settled, or at the same limit.
constexpr unsigned TIMER_COMMAND_SETTLE = 105;

// The second check of every hold after a resume (ui/main/win32/Away).
constexpr unsigned TIMER_RESUME_RECHECK = 106;
// While the push-to-talk key is held, it is read at each tick
// (kTalkKeyPollMs, ui/main/PushToTalkLogic.h).
constexpr unsigned TIMER_TALK_POLL = 107;

// The tray icon's callback; a second start sends it too, to raise the
// window. A private number below WM_USER.
constexpr std::uint32_t WM_TRAY_NOTIFY = 102;

// Icon resources: the application, at risk, protected.
constexpr int kIconApplication = 101;
constexpr int kIconAtRisk = 102;
constexpr int kIconProtected = 103;

}  // namespace shadowpane
