#include "ui/toolkit/win32/ButtonControl.h"

#include <cstddef>
#include <new>

#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DrawnText.h"
#include "ui/toolkit/win32/FocusMark.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

constexpr int kIconFaces = 4;
// Faces of a state strip (normal, hovered, pressed) and of a framed skin.
constexpr int kStripFaces = 3;
constexpr int kFramedFaces = 4;

// The button's record: its portable state first (so the window handle is
// the record's first field) and the font it owns.
struct ButtonWindow {
  ButtonState state;
  GdiObject<HFONT> font;
  int dpi = kDesignDpi;  // the layout DPI its font and skins are for
};
static_assert(offsetof(ButtonWindow, state) == 0, "the record starts with the button's state");

HWND WindowOf(const ButtonState& button) { return reinterpret_cast<HWND>(button.window); }

// Over the button: the window under the cursor is the button and the
// cursor's client position is inside the sensitive rectangle.
bool CursorOverButton(const ButtonState& button) {
  HWND window = WindowOf(button);
  if (!IsCursorOverWindow(window)) return false;
  const POINT p = CursorClientPosition(window);
  return InSensitiveRect(button, p.x, p.y);
}

void SendHoverNotify(HWND window, UINT code) {
  NMHDR header{};
  header.hwndFrom = window;
  header.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
  header.code = code;
  SendMessageW(GetParent(window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void OnMouseMove(ButtonState& button) {
  if (button.hovered || !CursorOverButton(button)) return;
  HWND window = WindowOf(button);
  button.hovered = 1;
  RepaintControl(window);
  StartHoverWatch(window);
  SetTimer(window, TIMER_HOVER_DWELL, kHoverDwellMs, nullptr);
}

void OnHoverWatch(ButtonState& button) {
  if (CursorOverButton(button)) return;
  HWND window = WindowOf(button);
  button.hovered = 0;
  RepaintControl(window);
  KillTimer(window, TIMER_HOVER_WATCH);
  KillTimer(window, TIMER_HOVER_DWELL);
  SendHoverNotify(window, BXN_LEAVE);
}

void OnHoverDwell(ButtonState& button) {
  if (!CursorOverButton(button)) return;
  HWND window = WindowOf(button);
  SendHoverNotify(window, BXN_HOVER);
  KillTimer(window, TIMER_HOVER_DWELL);
}

void OnSpinRepeat(ButtonState& button) {
  HWND window = WindowOf(button);
  const POINT p = CursorClientPosition(window);
  const bool first = SpinRepeat(button, p.y, ClientSize(window).height);
  SendCommandToParent(window);
  // The parent may have destroyed the button while handling the command.
  if (first && StillHoldsRecord(window, &button))
    SetTimer(window, TIMER_SPIN_REPEAT, kSpinRepeatPeriodMs, nullptr);
}

void OnLeftDown(ButtonState& button) {
  HWND window = WindowOf(button);
  const PressEffect effect = PressButton(button, CursorOverButton(button));
  switch (effect) {
    case PressEffect::Ignored:
      return;
    case PressEffect::TrackPress:
      RepaintControl(window);
      SetCapture(window);
      SetTimer(window, TIMER_PRESS_TRACK, kPressTrackPeriodMs, nullptr);
      break;
    case PressEffect::SpinPress:
      RepaintControl(window);
      SetCapture(window);
      SetTimer(window, TIMER_SPIN_REPEAT, kSpinFirstDelayMs, nullptr);
      break;
    case PressEffect::LatchOn:
      RepaintControl(window);
      if (IsWindowEnabled(window)) SendCommandToParent(window);
      if (!StillHoldsRecord(window, &button)) return;
      if (button.pressed) {
        SetCapture(window);
      } else {
        ReleaseCapture();
      }
      break;
    case PressEffect::LatchOff:
      RepaintControl(window);
      ReleaseCapture();
      break;
  }
  SetFocus(window);
}

void OnLeftUp(ButtonState& button) {
  HWND window = WindowOf(button);
  const ReleaseStart start = BeginRelease(button, CursorOverButton(button));
  if (!start.handled) return;
  RepaintControl(window);
  // Releasing runs the capture-loss step (timers, hover, BXN_LEAVE) first;
  // the parent may destroy the button on that BXN_LEAVE.
  ReleaseCapture();
  if (!StillHoldsRecord(window, &button)) return;
  KillTimer(window, button.kind == BXK_SPIN ? TIMER_SPIN_REPEAT : TIMER_PRESS_TRACK);
  const POINT p = CursorClientPosition(window);
  if (CompleteRelease(button, start, IsWindowEnabled(window) != FALSE, p.y,
                      ClientSize(window).height)) {
    SendCommandToParent(window);
  }
}

void OnCaptureChanged(ButtonState& button) {
  HWND window = WindowOf(button);
  KillTimer(window, TIMER_HOVER_WATCH);
  KillTimer(window, TIMER_PRESS_TRACK);
  KillTimer(window, TIMER_SPIN_REPEAT);
  LoseCapture(button);
  RepaintControl(window);
  SendHoverNotify(window, BXN_LEAVE);
}

void OnEnable(ButtonState& button, bool enabled) {
  HWND window = WindowOf(button);
  if (!enabled && button.pressed) {
    // The capture-loss step sends BXN_LEAVE, on which the parent may
    // destroy the button.
    if (GetCapture() == window) ReleaseCapture();
    if (!StillHoldsRecord(window, &button)) return;
    button.pressed = 0;
  }
  RepaintControl(window);
}

// Space, or a screen reader's default action: a click as the mouse makes
// it, pressed and released over the button.
void ClickByKey(ButtonState& button) {
  HWND window = WindowOf(button);
  if (button.kind == BXK_LATCH || !IsWindowEnabled(window)) return;
  const ReleaseStart start{true, true, true};
  if (!CompleteRelease(button, start, true, 0, ClientSize(window).height)) return;
  RepaintControl(window);
  SendCommandToParent(window);
}

// The dialog manager's view: a push button with the focus is the default
// one, which Enter presses.
LRESULT DialogCode(const ButtonState& button) {
  if (button.kind == BXK_TOGGLE) return DLGC_BUTTON;
  return DLGC_BUTTON | (GetFocus() == WindowOf(button) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT OnPairProperty(HWND window, int& x, int& y, WPARAM wParam, LPARAM lParam) {
  if (PropertyStores(wParam)) {
    x = PackedLow(lParam);
    y = PackedHigh(lParam);
  }
  RepaintIfAsked(window, wParam);
  return PackPair(x, y);
}

LRESULT OnProperty(ButtonState& button, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = WindowOf(button);
  switch (message) {
    case BXM_KIND:
      return HandleIntProperty(window, button.kind, wParam, lParam);
    case BXM_FACESTYLE:
      return HandleIntProperty(window, button.faceStyle, wParam, lParam);
    case BXM_FACEBITMAP:
      return HandleIntProperty(window, button.faceBitmap, wParam, lParam);
    case BXM_ICON1:
      return HandleIntProperty(window, button.icon1Bitmap, wParam, lParam);
    case BXM_ICON2:
      return HandleIntProperty(window, button.icon2Bitmap, wParam, lParam);
    case BXM_ICON1POS:
      return OnPairProperty(window, button.icon1X, button.icon1Y, wParam, lParam);
    case BXM_ICON2POS:
      return OnPairProperty(window, button.icon2X, button.icon2Y, wParam, lParam);
    case BXM_INSET:
      // The inset is a 96-DPI value; the sensitive rectangle is in pixels.
      if (PropertyStores(wParam)) {
        const int inset = static_cast<int>(lParam);
        ApplyInset(button, Scale(inset, LayoutDpi(window)), ClientSize(window));
        button.inset = inset;
      }
      RepaintIfAsked(window, wParam);
      return button.inset;
    case BXM_TEXTX:
      return HandleIntProperty(window, button.textX, wParam, lParam);
    case BXM_CHECKED:
      return HandleIntProperty(window, button.checked, wParam, lParam);
    case BXM_TOGGLABLE:
      return HandleIntProperty(window, button.togglable, wParam, lParam);
    case BXM_VALUE:
      return HandleIntProperty(window, button.value, wParam, lParam);
    case BXM_RANGE:
      if (PropertyStores(wParam)) ApplyRange(button, lParam);
      RepaintIfAsked(window, wParam);
      return PackedRange(button);
    default:
      return 0;
  }
}

// A framed face: the tile's corners at the button's corners, its middle
// column and row repeated along the edges, the centre filled with the
// tile's centre colour. The corners are 18 pixels at 96 DPI, scaled.
void DrawFramedFace(const SkinBitmap& skin, HDC dc, int w, int h, int face, int dpi) {
  if (HighContrastOn()) {
    FrameFlat(dc, {0, 0, w, h});
    return;
  }
  const Rect tile = skin.Cell(0, face);
  const int r = tile.top;
  const int c = Scale(kFramedCorner, dpi);
  const int farX = Width(tile) - c;
  const int farY = Height(tile) - c;
  skin.Copy(dc, 0, 0, c, c, 0, r);
  skin.Copy(dc, w - c, 0, c, c, farX, r);
  skin.Copy(dc, 0, h - c, c, c, 0, r + farY);
  skin.Copy(dc, w - c, h - c, c, c, farX, r + farY);
  for (int x = c; x < w - c; ++x) {
    skin.Copy(dc, x, 0, 1, c, c, r);
    skin.Copy(dc, x, h - c, 1, c, c, r + farY);
  }
  for (int y = c; y < h - c; ++y) {
    skin.Copy(dc, 0, y, c, 1, 0, r + c);
    skin.Copy(dc, w - c, y, c, 1, farX, r + c);
  }
  if (skin.loaded()) {
    const COLORREF centre = skin.Pixel(c, r + c, ToColorRef(kColorBackground));
    FillColor(dc, c, c, w - c, h - c, static_cast<ToolkitColor>(centre));
  }
}

// An icon strip of four faces; its place is a 96-DPI offset, scaled.
void DrawIcon(HDC dc, int bitmapId, int x, int y, int face, bool fromRight, int clientWidth, int dpi) {
  SkinBitmap icon(dc, bitmapId, dpi, SkinGrid{1, kIconFaces});
  if (!icon.loaded()) return;
  const Rect cell = icon.Cell(0, face);
  const int w = Width(cell);
  const int left = Scale(x, dpi);
  icon.Copy(dc, fromRight ? clientWidth - left - w : left, Scale(y, dpi), w, Height(cell), cell.left, cell.top);
}

// The caption as it is drawn at a client size: the button's font, one line
// centred vertically, centred across or from the text x.
DrawnTexts CaptionTexts(const ButtonWindow& record, int w, int h) {
  const ButtonState& button = record.state;
  wchar_t caption[kButtonCaptionMaxChars + 1] = {};
  const int length = GetWindowTextW(WindowOf(button), caption, kButtonCaptionMaxChars + 1);
  if (length <= 0) return {};
  DrawnText text{record.font.get(), {0, 0, w, h}, DT_SINGLELINE | DT_VCENTER | kToolkitTextFlags,
                 std::wstring(caption, static_cast<std::size_t>(length))};
  if (button.textX == kTextCentred) {
    text.format |= DT_CENTER;
  } else {
    text.format |= DT_LEFT;
    text.rect.left = Scale(button.textX, record.dpi);
  }
  return {text};
}

void DrawCaption(const ButtonWindow& record, HDC dc, int w, int h, int face) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(record.state.textColors[face]));
  DrawTexts(dc, CaptionTexts(record, w, h));
}

void DrawButton(const ButtonWindow& record, HDC dc, int width, int height) {
  const ButtonState& button = record.state;
  HWND window = WindowOf(button);
  const int face =
      PickFace(IsWindowEnabled(window) != FALSE, button.pressed != 0, button.hovered != 0);
  // Parts the skin does not cover stay white rather than undefined.
  FillWhite(dc, 0, 0, width, height);
  const int dpi = record.dpi;
  if (button.faceStyle == BXS_STATE_STRIP) {
    SkinBitmap skin(dc, button.faceBitmap, dpi, SkinGrid{1, kStripFaces});
    const Rect cell = skin.Cell(0, face);
    skin.Copy(dc, 0, 0, width, height, cell.left, cell.top);
  } else {
    SkinBitmap skin(dc, button.faceBitmap, dpi, SkinGrid{1, kFramedFaces});
    DrawFramedFace(skin, dc, width, height, face, dpi);
  }
  const bool toggle = button.kind == BXK_TOGGLE;
  if (button.icon1Bitmap != 0 && !(toggle && button.checked)) {
    DrawIcon(dc, button.icon1Bitmap, button.icon1X, button.icon1Y, face, false, width, dpi);
  }
  if (button.icon2Bitmap != 0 && !(toggle && !button.checked)) {
    DrawIcon(dc, button.icon2Bitmap, button.icon2X, button.icon2Y, face, !toggle, width, dpi);
  }
  DrawCaption(record, dc, width, height, face);
  DrawFocusMark(window, dc, {0, 0, width, height});
}

LRESULT OnPaint(const ButtonWindow& record) {
  OffscreenPaint paint(WindowOf(record.state));
  if (paint.dc() != nullptr) DrawButton(record, paint.dc(), paint.width(), paint.height());
  return 0;
}

ButtonWindow* MakeButtonWindow(HWND window, const CREATESTRUCTW&) {
  auto* record = new (std::nothrow) ButtonWindow;
  if (record == nullptr) return nullptr;
  InitButtonState(record->state, reinterpret_cast<std::uintptr_t>(window), ClientSize(window));
  record->dpi = LayoutDpi(window);
  record->font.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, record->dpi));
  return record;
}

// The parent moved to another DPI and has already resized the button: the
// font anew, the sensitive rectangle in proportion.
void OnDpiChanged(ButtonWindow& record) {
  HWND window = WindowOf(record.state);
  const int dpi = LayoutDpi(window);
  if (dpi == record.dpi) return;
  Rect& sensitive = record.state.sensitive;
  sensitive = {MulDiv(sensitive.left, dpi, record.dpi), MulDiv(sensitive.top, dpi, record.dpi),
               MulDiv(sensitive.right, dpi, record.dpi), MulDiv(sensitive.bottom, dpi, record.dpi)};
  record.dpi = dpi;
  record.font.Reset(CreateToolkitFont(kToolkitFontHeight, kFontWeightNormal, NONANTIALIASED_QUALITY, dpi));
  RepaintControl(window);
}

LRESULT HandleMessage(ButtonWindow& record, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  ButtonState& button = record.state;
  switch (message) {
    case WM_ENABLE:
      OnEnable(button, wParam != FALSE);
      return 0;
    case WM_PAINT:
      return OnPaint(record);
    case WM_TIMER:
      switch (wParam) {
        case TIMER_HOVER_WATCH:
          OnHoverWatch(button);
          break;
        case TIMER_PRESS_TRACK:
          if (TrackPress(button, CursorOverButton(button))) RepaintControl(window);
          break;
        case TIMER_SPIN_REPEAT:
          OnSpinRepeat(button);
          break;
        case TIMER_HOVER_DWELL:
          OnHoverDwell(button);
          break;
        default:
          break;
      }
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(button);
      return 1;
    case WM_LBUTTONDOWN:
      OnLeftDown(button);
      return 0;
    case WM_LBUTTONUP:
      OnLeftUp(button);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(button);
      return 0;
    case kDpiChangedAfterParent:
      OnDpiChanged(record);
      return 0;
    case WM_GETDLGCODE:
      return DialogCode(button);
    case WM_KEYDOWN:
      if (DecideControlKey(static_cast<std::uint32_t>(wParam), (lParam & (1 << 30)) != 0, false) ==
          ControlKeyAction::Click) {
        ClickByKey(button);
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_ACCESSIBLE_DEFAULT_ACTION:
      ClickByKey(button);
      return 0;
    case WM_GETOBJECT:
      return AnswerControlObject(window, wParam, lParam, DescribeButton);
    case WM_DRAWN_TEXTS: {
      const Size size = ClientSize(window);
      return AnswerDrawnTexts(CaptionTexts(record, size.width, size.height), lParam);
    }
    default: {
      if (message >= BXM_KIND && message <= BXM_RANGE) return OnProperty(button, message, wParam, lParam);
      LRESULT result = 0;
      if (AnswerFocusMarkMessage(window, message, wParam, lParam, &result)) return result;
      return DefWindowProcW(window, message, wParam, lParam);
    }
  }
}

}  // namespace

LRESULT CALLBACK ButtonExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<ButtonWindow>(window, message, wParam, lParam, RecordMadeAt::Create,
                                        MakeButtonWindow, HandleMessage);
}

}  // namespace shadowpane
