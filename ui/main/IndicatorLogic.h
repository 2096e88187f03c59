// The indicator on screen, decided without the platform: which mark each
// kind of device shows (from the entries' data words, as the lists show
// them), how a mark looks (normal and in high contrast), where the window
// sits in the work area at a DPI, when it hides (a full-screen program or
// a presentation), and what a screen reader hears. Every size is for 96 DPI
// and scaled by the window's DPI. The Win32 window (win32/IndicatorWindow)
// draws and places itself with these answers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/ToolkitColors.h"

namespace shadowpane {

// What one kind's mark shows. Protected only when every device of the kind
// is verified blocked as another program would meet it; Shared when all are
// held but one can still be met (a camera others can open, a microphone
// others can hear); AtRisk otherwise, and whenever the program cannot tell.
// Talking (microphones only): one is given back while the talk key is held,
// none open otherwise; worse than Shared, better than an open one. A later
// state (a device in use right now) goes after these.
enum class IndicatorMark { Protected, AtRisk, Shared, Talking };

struct IndicatorMarks {
  IndicatorMark camera = IndicatorMark::AtRisk;
  IndicatorMark microphone = IndicatorMark::AtRisk;
};
inline bool operator==(const IndicatorMarks& a, const IndicatorMarks& b) {
  return a.camera == b.camera && a.microphone == b.microphone;
}

// The marks from the entries' data words (DeviceList::ListItemDataOf) and
// whether the last refresh read every category. An empty list, or an
// incomplete refresh, proves nothing: both marks at risk. A kind with no
// device in a complete, non-empty list has nothing open: protected, as the
// status panel counts it.
IndicatorMarks IndicatorMarksOf(const std::vector<std::uint32_t>& entryData, bool refreshComplete);

// The window at 96 DPI: two marks side by side on a dark plate.
constexpr int kIndicatorWidth = 56;
constexpr int kIndicatorHeight = 30;
// The gap between the window and the work area's edges.
constexpr int kIndicatorMargin = 8;
// Each mark is a disc this wide, its top-left corner at these points.
constexpr int kIndicatorMarkSize = 22;
constexpr Point kIndicatorCameraAt{4, 4};
constexpr Point kIndicatorMicrophoneAt{30, 4};
// The plate, and how opaque the window is where a compositor blends it.
constexpr ToolkitColor kIndicatorPlateColor = MakeToolkitColor(40, 44, 52);
constexpr int kIndicatorAlpha = 235;

// A mark's disc at a DPI, in the window's client area.
Rect IndicatorMarkRect(bool camera, int dpi);

// How a mark is drawn: the disc's colour (the program's state colours:
// the panel's green and red, the lock marks' amber), and whether the
// picture on it is struck through (the device is held). In high contrast
// the disc is outlined in the text colour on the window colour, and the
// stroke alone tells held from open; a shared hold is drawn in the
// highlight colour there. A talk is at risk (red, not struck) with a ring
// around the disc (white; the highlight colour in high contrast), so it
// reads apart from an open microphone at a glance.
struct IndicatorMarkLook {
  ToolkitColor disc;
  bool struck;
  bool highlighted;  // high contrast: the highlight colour, not the text colour
  bool ringed;       // the talk's ring around the disc
};
IndicatorMarkLook MarkLook(IndicatorMark mark);

constexpr ToolkitColor kIndicatorProtectedColor = MakeToolkitColor(96, 168, 48);
constexpr ToolkitColor kIndicatorAtRiskColor = MakeToolkitColor(219, 68, 68);
constexpr ToolkitColor kIndicatorSharedColor = MakeToolkitColor(232, 160, 32);
// The camera and microphone pictures on the disc.
constexpr ToolkitColor kIndicatorPictureColor = MakeToolkitColor(255, 255, 255);
// The talk's ring: this wide, just outside the disc, in this colour.
constexpr int kIndicatorRingWidth = 2;
constexpr ToolkitColor kIndicatorRingColor = MakeToolkitColor(255, 255, 255);

// The ring's outer bounds at a DPI: the disc grown by the ring's width.
Rect IndicatorRingRect(bool camera, int dpi);

// The window's place: its size at the DPI, in the corner (kIndicatorCorner*
// of settings/Settings.h; another number is the default corner) of the work
// area, kIndicatorMargin (scaled) in from both edges.
Rect IndicatorPlace(const Rect& workArea, int corner, int dpi);

// SHQueryUserNotificationState's answers (QUERY_USER_NOTIFICATION_STATE).
constexpr int kQunsNotPresent = 1;
constexpr int kQunsBusy = 2;
constexpr int kQunsRunningD3DFullScreen = 3;
constexpr int kQunsPresentationMode = 4;
constexpr int kQunsAcceptsNotifications = 5;
constexpr int kQunsQuietTime = 6;
constexpr int kQunsApp = 7;
// Hidden while a program runs full screen (busy, Direct3D) or a
// presentation is on: the indicator must not sit over a film or a talk.
// Every other answer, and a failed query (0), shows it.
bool IndicatorHiddenFor(int notificationState);

// Shown: the effective setting is on and nothing full screen runs.
bool IndicatorShown(int showIndicatorSetting, int notificationState);

// What a screen reader hears, in the language: "Camera protected,
// microphone at risk".
WideString IndicatorSpokenText(const IndicatorMarks& marks, int language);

}  // namespace shadowpane
