// The main window's painting: the frame, the status panel and the group
// frames, and its owner-drawn device entries.
#include <algorithm>
#include <string>

#include "settings/Languages.h"
#include "core/win32/TextCast.h"
#include "ui/main/MainWindowAccessibility.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowUsage.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/OwnerDrawnList.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

constexpr UINT kSingleLine = DT_SINGLELINE | DT_LEFT | DT_TOP | kToolkitTextFlags;

// The frame's stretches are one column (or row) of the skin repeated. It is
// copied from the skin once and the part already drawn is then doubled
// within the canvas: a dozen BitBlts instead of one per pixel (about 4 600
// at 200 %, 2 300 at 100 %, which cost several milliseconds of every paint
// under Wine), and the very same pixels as one copy of the column per x.
void RepeatColumn(HDC dc, const SkinBitmap& skin, const Rect& span, int sourceX, int sourceY) {
  const int width = Width(span);
  if (width <= 0) return;
  skin.Copy(dc, span.left, span.top, 1, Height(span), sourceX, sourceY);
  for (int done = 1; done < width; done *= 2) {
    BitBlt(dc, span.left + done, span.top, std::min(done, width - done), Height(span), dc, span.left, span.top,
           SRCCOPY);
  }
}

// The same for one row of the skin repeated down a span.
void RepeatRow(HDC dc, const SkinBitmap& skin, const Rect& span, int sourceX, int sourceY) {
  const int height = Height(span);
  if (height <= 0) return;
  skin.Copy(dc, span.left, span.top, Width(span), 1, sourceX, sourceY);
  for (int done = 1; done < height; done *= 2) {
    BitBlt(dc, span.left, span.top + done, Width(span), std::min(done, height - done), dc, span.left, span.top,
           SRCCOPY);
  }
}

// The frame skin at the window's scale: its pieces are the 96-DPI pieces
// scaled, the right-hand and bottom ones cut from the skin's far edges.
void DrawFrame(HDC dc, int w, int h, int dpi) {
  if (HighContrastOn()) {
    FillWhite(dc, 0, 0, w, h);
    FrameFlat(dc, {0, 0, w, h});
    return;
  }
  SkinBitmap frame(dc, kSkinMainFrame, dpi);
  const int bandHeight = Scale(kMainBandHeight, dpi);
  const int leftWidth = Scale(kMainBandLeftWidth, dpi);
  const int rightWidth = Scale(kMainBandRightWidth, dpi);
  const int fillX = Scale(kMainFillSourceX, dpi);
  const int bottomHeight = Scale(kMainBottomHeight, dpi);
  const int sideWidth = Scale(kMainSideWidth, dpi);
  const int sideY = Scale(kMainSideSourceY, dpi);
  const int bottomY = frame.height() - bottomHeight;
  if (!frame.loaded()) return;
  frame.Copy(dc, 0, 0, leftWidth, bandHeight, 0, 0);
  frame.Copy(dc, w - rightWidth, 0, rightWidth, bandHeight, frame.width() - rightWidth, 0);
  RepeatColumn(dc, frame, {leftWidth, 0, w - rightWidth, bandHeight}, fillX, 0);
  const int bottom = h - bottomHeight;
  frame.Copy(dc, 0, bottom, bottomHeight, bottomHeight, 0, bottomY);
  frame.Copy(dc, w - bottomHeight, bottom, bottomHeight, bottomHeight, frame.width() - bottomHeight, bottomY);
  RepeatColumn(dc, frame, {bottomHeight, bottom, w - bottomHeight, h}, fillX, bottomY);
  RepeatRow(dc, frame, {0, bandHeight, sideWidth, bottom}, 0, sideY);
  RepeatRow(dc, frame, {w - sideWidth, bandHeight, w, bottom}, 0, sideY);
}

void DrawText(HDC dc, const WideChar* text, RECT rect, ToolkitColor color) {
  SetTextColor(dc, ShownTextColor(color));
  DrawTextW(dc, AsWide(text), -1, &rect, kSingleLine);
}

void DrawStatusPanel(HDC dc, int w, int dpi, const StatusPanelLook& look) {
  const int left = Scale(kPanelLeft, dpi);
  const int top = Scale(kPanelTop, dpi);
  const int right = w - Scale(kPanelRightInset, dpi);
  const int bottom = Scale(kPanelBottom, dpi);
  const int dot = Scale(1, dpi);
  FillColor(dc, left, top, right, bottom, look.fill);
  // The four corner pixels, as large as a pixel is at this DPI.
  FillColor(dc, left, top, left + dot, top + dot, look.corners);
  FillColor(dc, right - dot, top, right, top + dot, look.corners);
  FillColor(dc, left, bottom - dot, left + dot, bottom, look.corners);
  FillColor(dc, right - dot, bottom - dot, right, bottom, look.corners);
  // Without its colour the panel keeps its outline; the headline says the state.
  if (HighContrastOn()) FrameFlat(dc, {left, top, right, bottom});
}

// One dash of a group frame: 96-DPI rectangle, scaled.
void Dash(HDC dc, const Rect& r, int dpi) {
  // A line: in high contrast it takes the system's colour for lines.
  const GdiObject<HBRUSH> brush(CreateSolidBrush(ShownLineColor(kColorGroupDash)));
  const RECT rect = ToWinRect(Scale(r, dpi));
  if (brush) FillRect(dc, &rect, brush.get());
}

// A group frame of the given 96-DPI width and top: its dashes laid out at
// 96 DPI and each scaled, the caption in the window's bold font.
void DrawGroupFrame(HDC dc, HFONT captionFont, int width, int top, int dpi, const WideChar* caption) {
  const int right = width + kGroupLeft;
  const int bottom = top + kGroupHeight;
  const int across = GroupHorizontalDashes(width);
  for (int i = 0, x = kGroupFirstDashEnd; i < across; ++i, x += kGroupDashPeriod) {
    Dash(dc, {x - kGroupDashLength, top, x, top + 1}, dpi);
    Dash(dc, {x - kGroupDashLength, bottom - 1, x, bottom}, dpi);
  }
  for (int i = 0, y = top + 5; i < kGroupVerticalDashes; ++i, y += kGroupDashPeriod) {
    Dash(dc, {kGroupLeft, y - kGroupDashLength, kGroupLeft + 1, y}, dpi);
    Dash(dc, {right - 1, y - kGroupDashLength, right, y}, dpi);
  }
  HGDIOBJ previousFont = SelectObject(dc, captionFont);
  RECT rect = ToWinRect(Scale(Rect{kGroupCaptionX, top - kGroupCaptionRise, right, top + kGroupHeight}, dpi));
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

// The lower line of an entry in use; moves the name's rectangle up.
void DrawEntryUse(HDC dc, const WideString& inUse, RECT& nameRect, int dpi) {
  RECT useRect{nameRect.left, Scale(kEntryUseTop, dpi), nameRect.right, nameRect.bottom};
  SetTextColor(dc, ShownTextColor(kColorEntryUseText));
  DrawTextW(dc, AsWide(inUse.c_str()), -1, &useRect, DT_SINGLELINE | DT_TOP | DT_LEFT | DT_END_ELLIPSIS |
                                                         kToolkitTextFlags);
  SetTextColor(dc, ShownTextColor(kColorEntryText));
  nameRect.top = Scale(kEntryNameTopInUse, dpi);
}

}  // namespace

void PaintMainWindow(const MainWindowData& data) {
  OffscreenPaint paint(data.window);
  HDC dc = paint.dc();
  if (dc == nullptr) return;
  const int dpi = data.dpi;
  const int w = paint.width();
  const int h = paint.height();
  const StatusPanelLook look = PanelLook(gProtectedState);

  DrawFrame(dc, w, h, dpi);
  FillWhite(dc, Scale(kMainSideWidth, dpi), Scale(kMainBandHeight, dpi), w - Scale(kMainSideWidth, dpi),
            h - Scale(kMainBottomHeight, dpi));
  DrawStatusPanel(dc, w, dpi, look);

  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ previousFont = SelectObject(dc, data.boldFont.get());
  DrawText(dc, kMainTitleText, ToWinRect(Scale(Rect{10, 12, 200, 30}, dpi)), kColorTitleDark);
  DrawText(dc, kMainTitleText, ToWinRect(Scale(Rect{10, 13, 200, 30}, dpi)), kColorTitleLight);
  const int textRight = w - Scale(kStatusTextRightInset, dpi);
  const Rect headline = Scale(kHeadlineBox, dpi);
  // White on the panel's colour; in high contrast the panel has none.
  DrawText(dc, GetString(look.headline), {headline.left, headline.top, textRight, headline.bottom},
           HighContrastOn() ? kColorText : kColorHighlightText);
  SelectObject(dc, data.normalFont.get());
  const Rect line = Scale(kStatusLineBox, dpi);
  DrawText(dc, GetString(look.line), {line.left, line.top, textRight, line.bottom}, look.statusLine);

  {
    SkinBitmap shields(dc, kSkinStatusShields, dpi, SkinGrid{2, 1});
    const Rect cell = shields.Cell(look.shieldSourceX / kShieldWidth, 0);
    shields.Copy(dc, Scale(kShieldX, dpi), Scale(kShieldY, dpi), Width(cell), Height(cell), cell.left, cell.top);
  }

  SetTextColor(dc, ShownTextColor(kColorText));
  // The window's width at 96 DPI: the group frames are laid out there.
  const int groupWidth = MulDiv(w, kDesignDpi, dpi) - kGroupWidthInset;
  DrawGroupFrame(dc, data.captionFont.get(), groupWidth, kVideoGroupTop, dpi, GetString(STR_VIDEO_DEVICES));
  DrawGroupFrame(dc, data.captionFont.get(), groupWidth, kAudioGroupTop, dpi, GetString(STR_AUDIO_DEVICES));
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
    SkinBitmap mark(dc, LockMarkSkin(static_cast<std::uint32_t>(item.itemData)), data.dpi);
    mark.Copy(dc, Scale(kLockMarkX, data.dpi), Scale(kLockMarkY, data.dpi), mark.width(), mark.height(), 0, 0);
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
    const int wordWidth = word ? Scale(kStateWordWidth, data.dpi) : 0;
    const int textRightInset = Scale(kEntryTextRightInset, data.dpi);
    RECT rect{Scale(kEntryTextX, data.dpi), 0, right - textRightInset - wordWidth, entryHeight};
    // A talking microphone's lower line says so, before who uses it.
    const bool talking = (static_cast<std::uint32_t>(item.itemData) & kListItemTalking) != 0;
    const WideString inUse =
        talking ? WideString(GetString(STR_TALKING)) : EntryUsageText(data, WideString(AsCore(text.c_str())));
    if (!inUse.empty()) DrawEntryUse(dc, inUse, rect, data.dpi);
    DrawTextW(dc, text.c_str(), -1, &rect, DT_SINGLELINE | (inUse.empty() ? DT_VCENTER : DT_TOP) | DT_LEFT |
                                               kToolkitTextFlags);
    if (word) {
      const WideChar* state =
          AccessibleTextIn(DeviceStateWord(static_cast<std::uint32_t>(item.itemData)), gDisplayLanguage);
      RECT wordRect{right - textRightInset - wordWidth, 0, right - textRightInset, entryHeight};
      DrawTextW(dc, AsWide(state), -1, &wordRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | kToolkitTextFlags);
    }
    SelectObject(dc, previousFont);
  }
  DrawListFocusMark(item.hwndItem, static_cast<int>(item.itemID), dc, {0, 0, right, entryHeight});
  BitBlt(item.hDC, 0, item.rcItem.top, right, entryHeight, dc, 0, 0, SRCCOPY);
}

}  // namespace shadowpane
