// The main window's painting: the frame, the status panel and the group
// frames, and its owner-drawn device entries.
#include <string>

#include "settings/Languages.h"
#include "core/win32/TextCast.h"
#include "ui/main/MainWindowAccessibility.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OwnerDrawnList.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

constexpr UINT kSingleLine = DT_SINGLELINE | DT_LEFT | DT_TOP | kToolkitTextFlags;

void DrawFrame(HDC dc, int w, int h) {
  if (HighContrastOn()) {
    FillWhite(dc, 0, 0, w, h);
    FrameFlat(dc, {0, 0, w, h});
    return;
  }
  SkinBitmap frame(dc, kSkinMainFrame);
  frame.Copy(dc, 0, 0, kMainBandLeftWidth, kMainBandHeight, 0, 0);
  frame.Copy(dc, w - kMainBandRightWidth, 0, kMainBandRightWidth, kMainBandHeight, kMainBandRightSourceX, 0);
  for (int x = kMainBandLeftWidth; x < w - kMainBandRightWidth; ++x) {
    frame.Copy(dc, x, 0, 1, kMainBandHeight, kMainFillSourceX, 0);
  }
  const int bottom = h - kMainBottomHeight;
  frame.Copy(dc, 0, bottom, kMainBottomHeight, kMainBottomHeight, 0, kMainBottomSourceY);
  frame.Copy(dc, w - kMainBottomHeight, bottom, kMainBottomHeight, kMainBottomHeight, kMainBottomRightSourceX,
             kMainBottomSourceY);
  for (int x = kMainBottomHeight; x < w - kMainBottomHeight; ++x) {
    frame.Copy(dc, x, bottom, 1, kMainBottomHeight, kMainFillSourceX, kMainBottomSourceY);
  }
  for (int y = kMainBandHeight; y < bottom; ++y) {
    frame.Copy(dc, 0, y, kMainSideWidth, 1, 0, kMainSideSourceY);
    frame.Copy(dc, w - kMainSideWidth, y, kMainSideWidth, 1, 0, kMainSideSourceY);
  }
}

void DrawText(HDC dc, const WideChar* text, RECT rect, ToolkitColor color) {
  SetTextColor(dc, ShownTextColor(color));
  DrawTextW(dc, AsWide(text), -1, &rect, kSingleLine);
}

void DrawStatusPanel(HDC dc, int w, const StatusPanelLook& look) {
  const int right = w - kPanelRightInset;
  FillColor(dc, kPanelLeft, kPanelTop, right, kPanelBottom, look.fill);
  const COLORREF corner = ToColorRef(look.corners);
  SetPixelV(dc, kPanelLeft, kPanelTop, corner);
  SetPixelV(dc, right - 1, kPanelTop, corner);
  SetPixelV(dc, kPanelLeft, kPanelBottom - 1, corner);
  SetPixelV(dc, right - 1, kPanelBottom - 1, corner);
  // Without its colour the panel keeps its outline; the headline says the state.
  if (HighContrastOn()) FrameFlat(dc, {kPanelLeft, kPanelTop, right, kPanelBottom});
}

void Dash(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);  // the end point is left out
}

void DrawGroupFrame(HDC dc, HFONT captionFont, int width, int top, const WideChar* caption) {
  const int right = width + kGroupLeft;
  const int bottom = top + kGroupHeight;
  HPEN pen = CreatePen(PS_SOLID, 1, ShownLineColor(kColorGroupDash));
  HGDIOBJ previousPen = pen != nullptr ? SelectObject(dc, pen) : nullptr;
  const int across = GroupHorizontalDashes(width);
  for (int i = 0, x = kGroupFirstDashEnd; i < across; ++i, x += kGroupDashPeriod) {
    Dash(dc, x - kGroupDashLength, top, x, top);
    Dash(dc, x - kGroupDashLength, bottom - 1, x, bottom - 1);
  }
  for (int i = 0, y = top + 5; i < kGroupVerticalDashes; ++i, y += kGroupDashPeriod) {
    Dash(dc, kGroupLeft, y - kGroupDashLength, kGroupLeft, y);
    Dash(dc, right - 1, y - kGroupDashLength, right - 1, y);
  }
  if (pen != nullptr) {
    SelectObject(dc, previousPen);
    DeleteObject(pen);
  }
  HGDIOBJ previousFont = SelectObject(dc, captionFont);
  RECT rect{kGroupCaptionX, top - kGroupCaptionRise, right, top + kGroupHeight};
  DrawTextW(dc, AsWide(caption), -1, &rect, kSingleLine);
  SelectObject(dc, previousFont);
}

// A memory bitmap for one device entry, copied to the list in one block.
class EntryCanvas {
 public:
  EntryCanvas(HDC target, int width, int height) {
    dc_ = CreateCompatibleDC(target);
    bitmap_ = CreateCompatibleBitmap(target, width, height);
    if (dc_ != nullptr && bitmap_ != nullptr) previous_ = SelectObject(dc_, bitmap_);
  }
  ~EntryCanvas() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  EntryCanvas(const EntryCanvas&) = delete;
  EntryCanvas& operator=(const EntryCanvas&) = delete;
  HDC dc() const { return previous_ != nullptr ? dc_ : nullptr; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

void PaintMainWindow(const MainWindowData& data) {
  OffscreenPaint paint(data.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const int w = paint.width();
  const int h = paint.height();
  const StatusPanelLook look = PanelLook(gProtectedState);

  DrawFrame(dc, w, h);
  FillWhite(dc, kMainSideWidth, kMainBandHeight, w - kMainSideWidth, h - kMainBottomHeight);
  DrawStatusPanel(dc, w, look);

  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ previousFont = SelectObject(dc, data.boldFont.get());
  DrawText(dc, kMainTitleText, {10, 12, 200, 30}, kColorTitleDark);
  DrawText(dc, kMainTitleText, {10, 13, 200, 30}, kColorTitleLight);
  const int textRight = w - kStatusTextRightInset;
  // White on the panel's colour; in high contrast the panel has none.
  DrawText(dc, GetString(look.headline), {kHeadlineBox.left, kHeadlineBox.top, textRight, kHeadlineBox.bottom},
           HighContrastOn() ? kColorText : kColorHighlightText);
  SelectObject(dc, data.normalFont.get());
  DrawText(dc, GetString(look.line), {kStatusLineBox.left, kStatusLineBox.top, textRight, kStatusLineBox.bottom},
           look.statusLine);

  {
    SkinBitmap shields(dc, kSkinStatusShields);
    shields.Copy(dc, kShieldX, kShieldY, kShieldWidth, kShieldHeight, look.shieldSourceX, 0);
  }

  SetTextColor(dc, ShownTextColor(kColorText));
  const int groupWidth = w - kGroupWidthInset;
  DrawGroupFrame(dc, data.captionFont.get(), groupWidth, kVideoGroupTop, GetString(STR_VIDEO_DEVICES));
  DrawGroupFrame(dc, data.captionFont.get(), groupWidth, kAudioGroupTop, GetString(STR_AUDIO_DEVICES));
  SelectObject(dc, previousFont);
}

void DrawDeviceItem(const MainWindowData& data, const DRAWITEMSTRUCT& item) {
  const bool whole = (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
  if (!whole) return;  // a focus change alone draws nothing
  const int right = item.rcItem.right;
  const int entryHeight = item.rcItem.bottom - item.rcItem.top;
  if (right <= 0 || item.rcItem.bottom <= 0) return;
  EntryCanvas canvas(item.hDC, right, item.rcItem.bottom);
  HDC dc = canvas.dc();
  if (dc == nullptr) return;
  FillWhite(dc, 0, 0, right, item.rcItem.bottom);
  {
    SkinBitmap mark(dc, LockMarkSkin(static_cast<std::uint32_t>(item.itemData)));
    mark.Copy(dc, kLockMarkX, kLockMarkY, kLockMarkSize, kLockMarkSize, 0, 0);
  }
  const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  if (length != LB_ERR && length > 0) {
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(&text[0]));
    HGDIOBJ previousFont = SelectObject(dc, data.normalFont.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ShownTextColor(kColorEntryText));
    // In high contrast a word beside the name says the state the lock's
    // colour says otherwise.
    const bool word = HighContrastOn();
    RECT rect{kEntryTextX, 0, right - kEntryTextRightInset - (word ? kStateWordWidth : 0), entryHeight};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | kToolkitTextFlags);
    if (word) {
      const WideChar* state =
          AccessibleTextIn(DeviceStateWord(static_cast<std::uint32_t>(item.itemData)), gDisplayLanguage);
      RECT wordRect{right - kEntryTextRightInset - kStateWordWidth, 0, right - kEntryTextRightInset, entryHeight};
      DrawTextW(dc, AsWide(state), -1, &wordRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | kToolkitTextFlags);
    }
    SelectObject(dc, previousFont);
  }
  DrawListFocusMark(item.hwndItem, static_cast<int>(item.itemID), dc, {0, 0, right, entryHeight});
  BitBlt(item.hDC, 0, item.rcItem.top, right, entryHeight, dc, 0, 0, SRCCOPY);
}

}  // namespace shadowpane
