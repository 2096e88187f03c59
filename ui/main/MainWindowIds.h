// Ids the main window gives its device lists and timers.
#pragma once

#include <cstdint>

namespace shadowpane {

// Control ids of the device lists: video above, audio below.
constexpr int IDC_VIDEO_LIST = 1029;
constexpr int IDC_AUDIO_LIST = 1030;

// The once-a-second comparison of listed microphones with the system's
// wave-input count. Off while a refresh runs.
constexpr std::uint32_t TIMER_AUDIO_POLL = 102;
constexpr std::uint32_t kAudioPollIntervalMs = 1000;

}  // namespace shadowpane
