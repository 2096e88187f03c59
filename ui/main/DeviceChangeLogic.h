// Which device-change reports make the main window look for devices again,
// and what its two timers do when they tick. Portable: the window passes
// the report's fields and acts on the answers.
#pragma once

#include <cstdint>

namespace shadowpane {

// A device-interface class, laid out as the platform's 16-byte GUID.
struct ClassGuid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};

bool SameGuid(const ClassGuid& a, const ClassGuid& b);

// Imaging devices; sound, video and game controllers; the kernel-streaming
// video and audio categories. A report of any other class starts nothing.
constexpr ClassGuid kGuidDevclassImage = {0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};
constexpr ClassGuid kGuidDevclassMedia = {0x4D36E96C, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr ClassGuid kKsCategoryVideo = {0x6994AD05, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr ClassGuid kKsCategoryAudio = {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr ClassGuid kRefreshClasses[] = {kGuidDevclassImage, kGuidDevclassMedia, kKsCategoryVideo,
                                         kKsCategoryAudio};

// The events and header type that count (the platform's values).
constexpr std::uint32_t kDeviceArrivalEvent = 0x8000;         // DBT_DEVICEARRIVAL
constexpr std::uint32_t kDeviceRemoveCompleteEvent = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
constexpr std::uint32_t kDeviceInterfaceHeader = 5;           // DBT_DEVTYP_DEVICEINTERFACE

// The header of a report as far as the decision needs it.
struct DeviceChangeHeader {
  std::uint32_t deviceType = 0;
  ClassGuid classGuid{};
};

// An arrival or a completed removal of a device interface of one of the four
// classes restarts TIMER_DEVICE_REFRESH; anything else, a null header
// included, does nothing.
bool RestartsDeviceRefresh(std::uint32_t event, const DeviceChangeHeader* header);

// What a tick of the main window's timers asks for (ids in MainWindowIds.h).
enum class TimerAction {
  None,
  StopAndRefresh,  // kill the one-shot timer, then refresh
  Refresh,         // refresh (it restarts the poll itself)
  AddTray,         // add the tray icon, in the current state
};

// countAtRefresh: the system's wave-input count when the last refresh
// began; waveInCount: what it counts now. The poll refreshes only when the
// count changed, so an input listed on one side only (a virtual source the
// wave-input driver does not count) never refreshes it again and again.
TimerAction DecideTimer(unsigned timerId, std::uint32_t countAtRefresh, std::uint32_t waveInCount);

}  // namespace shadowpane
