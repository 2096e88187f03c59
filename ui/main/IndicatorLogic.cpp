// This file is UTF-8; the u"" literals make the compiler store each text as
// UTF-16, whatever the build machine's locale.
#include "ui/main/IndicatorLogic.h"

#include "devices/DeviceTypes.h"
#include "settings/Languages.h"
#include "settings/Settings.h"
#include "ui/toolkit/DpiScaling.h"

namespace shadowpane {
namespace {

// Worst first: one open device makes its kind at risk whatever the others;
// a talk is still better news than an open microphone.
IndicatorMark Worse(IndicatorMark a, IndicatorMark b) {
  if (a == IndicatorMark::AtRisk || b == IndicatorMark::AtRisk) return IndicatorMark::AtRisk;
  if (a == IndicatorMark::Talking || b == IndicatorMark::Talking) return IndicatorMark::Talking;
  if (a == IndicatorMark::Shared || b == IndicatorMark::Shared) return IndicatorMark::Shared;
  return IndicatorMark::Protected;
}

IndicatorMark MarkOfEntry(std::uint32_t data) {
  if ((ListItemBlocked(data) & 1) == 0) return IndicatorMark::AtRisk;
  // A microphone talking through its hold: open on purpose, for now.
  if ((data & kListItemTalking) != 0) return IndicatorMark::Talking;
  return (data & kListItemHeldButShared) != 0 ? IndicatorMark::Shared : IndicatorMark::Protected;
}

using TextInLanguages = const WideChar* const[kLanguageCount];

// English, German, Spanish, Italian; by IndicatorMark. Whole phrases, since
// the state's word agrees with the device's noun. A camera never talks.
TextInLanguages kCameraPhrases[] = {
    {u"Camera protected", u"Kamera geschützt", u"Cámara protegida", u"Videocamera protetta"},
    {u"Camera at risk", u"Kamera gefährdet", u"Cámara en riesgo", u"Videocamera a rischio"},
    {u"Camera blocked, but other programs can still use it",
     u"Kamera gesperrt, aber andere Programme können sie noch verwenden",
     u"Cámara bloqueada, pero otros programas aún pueden usarla",
     u"Videocamera bloccata, ma altri programmi possono ancora usarla"},
};
TextInLanguages kMicrophonePhrases[] = {
    {u"microphone protected", u"Mikrofon geschützt", u"micrófono protegido", u"microfono protetto"},
    {u"microphone at risk", u"Mikrofon gefährdet", u"micrófono en riesgo", u"microfono a rischio"},
    {u"microphone blocked, but other programs can still hear it",
     u"Mikrofon gesperrt, aber andere Programme können es noch hören",
     u"micrófono bloqueado, pero otros programas aún pueden oírlo",
     u"microfono bloccato, ma altri programmi possono ancora sentirlo"},
    {u"microphone talking", u"Mikrofon beim Sprechen", u"micrófono hablando", u"microfono in conversazione"},
};
constexpr WideChar kPhraseSeparator[] = u", ";

}  // namespace

IndicatorMarks IndicatorMarksOf(const std::vector<std::uint32_t>& entryData, bool refreshComplete) {
  IndicatorMarks marks;
  if (entryData.empty() || !refreshComplete) return marks;
  marks.camera = IndicatorMark::Protected;
  marks.microphone = IndicatorMark::Protected;
  for (std::uint32_t data : entryData) {
    IndicatorMark& mark = ListItemKind(data) == DEVICE_KIND_VIDEO ? marks.camera : marks.microphone;
    mark = Worse(mark, MarkOfEntry(data));
  }
  return marks;
}

Rect IndicatorMarkRect(bool camera, int dpi) {
  const Point at = camera ? kIndicatorCameraAt : kIndicatorMicrophoneAt;
  return Scale(RectAt(at, {kIndicatorMarkSize, kIndicatorMarkSize}), dpi);
}

Rect IndicatorRingRect(bool camera, int dpi) {
  const Rect disc = IndicatorMarkRect(camera, dpi);
  const int width = Scale(kIndicatorRingWidth, dpi);
  return {disc.left - width, disc.top - width, disc.right + width, disc.bottom + width};
}

IndicatorMarkLook MarkLook(IndicatorMark mark) {
  switch (mark) {
    case IndicatorMark::Protected:
      return {kIndicatorProtectedColor, true, false, false};
    case IndicatorMark::Shared:
      return {kIndicatorSharedColor, true, true, false};
    case IndicatorMark::Talking:
      return {kIndicatorAtRiskColor, false, false, true};
    case IndicatorMark::AtRisk:
      break;
  }
  return {kIndicatorAtRiskColor, false, false, false};
}

Rect IndicatorPlace(const Rect& workArea, int corner, int dpi) {
  if (corner < 0 || corner >= kIndicatorCornerCount) corner = kIndicatorCornerDefault;
  const Size size = Scale(Size{kIndicatorWidth, kIndicatorHeight}, dpi);
  const int margin = Scale(kIndicatorMargin, dpi);
  const bool right = corner == kIndicatorCornerTopRight || corner == kIndicatorCornerBottomRight;
  const bool bottom = corner == kIndicatorCornerBottomLeft || corner == kIndicatorCornerBottomRight;
  const int x = right ? workArea.right - margin - size.width : workArea.left + margin;
  const int y = bottom ? workArea.bottom - margin - size.height : workArea.top + margin;
  return RectAt({x, y}, size);
}

bool IndicatorHiddenFor(int notificationState) {
  return notificationState == kQunsBusy || notificationState == kQunsRunningD3DFullScreen ||
         notificationState == kQunsPresentationMode;
}

bool IndicatorShown(int showIndicatorSetting, int notificationState) {
  return showIndicatorSetting != 0 && !IndicatorHiddenFor(notificationState);
}

WideString IndicatorSpokenText(const IndicatorMarks& marks, int language) {
  if (language < 0 || language >= kLanguageCount) language = LANGUAGE_ENGLISH;
  const IndicatorMark camera = marks.camera == IndicatorMark::Talking ? IndicatorMark::AtRisk : marks.camera;
  WideString text = kCameraPhrases[static_cast<int>(camera)][language];
  text += kPhraseSeparator;
  text += kMicrophonePhrases[static_cast<int>(marks.microphone)][language];
  return text;
}

}  // namespace shadowpane
