// The texts of who uses a device and who tried, in the four interface
// languages (English, German, Spanish, Italian: the order of the program's
// string tables). Kept apart from the program's string tables until they
// take these texts in.
#pragma once

#include <vector>

#include "core/Text.h"
#include "usage/RecentUse.h"

namespace shadowpane {

constexpr int kUsageTextLanguages = 4;

enum class UsageText {
  InUseBy,            // %1: the programs
  TriedCamera,        // %1: the program
  ListeningInSilence, // %1: the program, %2: the microphone's name or AMicrophone
  ACamera,
  AMicrophone,
  UnknownProgram,
  RecentUseTitle,     // also the menu item
  ColumnTime,
  ColumnProgram,
  ColumnDevice,
  ColumnOutcome,
  Allowed,
  TurnedAway,
  NotifyAttemptsSetting,
};
constexpr int kUsageTextCount = static_cast<int>(UsageText::NotifyAttemptsSetting) + 1;

// The marks a text's names stand in for.
extern const WideChar kFirstNameMark[];
extern const WideChar kSecondNameMark[];

// The text in a language, 0..3; any other language reads English. Never null.
const WideChar* UsageTextIn(UsageText text, int language);

// A tray balloon's text (NOTIFYICONDATA szInfo) holds at most this many
// characters; a text built here never exceeds it.
constexpr int kUsageBalloonChars = 255;

// A program as shown: its name, or the unknown program's text.
WideString ShownProgram(WideView program, int language);
// "In use by a.exe, b.exe"; empty when no program is using it.
WideString InUseByText(const std::vector<WideString>& programs, int language);
// The balloon of a use turned away: the camera's, or the microphone's
// naming the device (empty deviceName: "a microphone").
WideString AttemptBalloonText(const UsageEvent& event, int language);

}  // namespace shadowpane
