// The shell the Settings, language and About windows share: the record at
// the head of each window's own record, the class registration, the opening
// steps, the common messages and the frame painting.
#pragma once

#include <windows.h>

#include <new>
#include <vector>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/win32/DrawnText.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {

// The per-window record's head: made at WM_NCCREATE, freed at WM_NCDESTROY
// with the fonts it holds. Each window's record derives from it and adds
// its own fields after these.
struct SecondaryWindow {
  HWND window = nullptr;
  int result = 0;  // OK sets 1 just before closing
  // The DPI it is laid out for: its owner's at the start (the system's
  // without one), then its own monitor's from WM_DPICHANGED.
  int dpi = 96;
  GdiObject<HFONT> normalFont;  // Tahoma 13, normal
  GdiObject<HFONT> boldFont;    // Tahoma 13, bold: the title
  GdiObject<HFONT> largeFont;   // Tahoma 15, normal
  // What screen readers call the window, and its close button (which
  // shows only a picture).
  WideString accessibleName;
  int closeId = 0;
  // The controls last in the Tab order, in that order.
  std::vector<int> trailingIds;
  // The control that had the focus when the window was last left.
  HWND lastFocus = nullptr;
  // The taskbar icon handed over at opening, the window's to destroy.
  HICON taskbarIcon = nullptr;
  // The self-sized controls widened after sizing, each with its 96-DPI
  // right end, widened again after a DPI change.
  struct Reach {
    int id;
    int right;
  };
  std::vector<Reach> reaches;
};

// The record of a new window, its head filled in, or null when memory runs
// out (creation then fails).
// The three fonts at the record's DPI.
void CreateSecondaryFonts(SecondaryWindow& record);

// The client area in 96-DPI units, where the windows' layouts work.
Size DesignClientSize(HWND window);

template <class Record>
Record* MakeSecondaryRecord(HWND window, const CREATESTRUCTW&) {
  auto* record = new (std::nothrow) Record;
  if (record == nullptr) return nullptr;
  record->window = window;
  record->dpi = OwnerLayoutDpi(GetWindow(window, GW_OWNER));
  SetLayoutDpi(window, record->dpi);
  CreateSecondaryFonts(*record);
  return record;
}

// Registers a secondary window class: class style 0, one pointer of extra
// space, arrow cursor, no icon, no background, no menu. 1 or 0.
int RegisterSecondaryWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure);

// The opening steps for a W x H window: created centred on the owner's
// window rectangle (on the screen when there is no owner), given its
// rounded outline, updated and shown; the owner is disabled and the modal
// loop runs. Answers the loop's result once the window is destroyed; a
// window that cannot be created answers 0 without touching the owner. A
// window that stands alone on the taskbar gets a title and an icon there;
// the window takes the icon (an unshared copy) and destroys it as it goes.
int OpenSecondaryWindow(const wchar_t* className, HWND owner, Size size, const wchar_t* taskbarTitle = L"",
                        HICON taskbarIcon = nullptr, void* creationData = nullptr);

// The messages every secondary window handles alike: the caption hit test,
// the size wanted at a new DPI (its 96-DPI size scaled),
// WM_CLOSE (owner enabled, window destroyed), WM_DESTROY (owner enabled,
// the result reported to the modal loop), the accessible object and the
// descriptions of its controls; everything else gets the default
// processing.
LRESULT HandleShellMessage(SecondaryWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_CREATE: the window text from the creation data, then the controls.
void CreateWindowControls(HWND window, LPARAM createStruct, const std::vector<ControlPlacement>& controls);

// The window's name for screen readers: its title.
void NameSecondaryWindow(HWND window, const WideChar* title);

// Puts the trailing controls (the bottom buttons, the close button) last in
// the Tab order again, after controls made later.
void OrderTabStops(HWND window);

// "Close": WM_CLOSE sent to the window itself.
void CloseSecondaryWindow(HWND window);

// The title as the frame draws it: bold, one line, in its box.
DrawnText TitleText(const SecondaryWindow& record, const WideChar* title);

// Draws what a window shows inside its frame, into the off-screen bitmap.
// The content painter gets the client size in 96-DPI units; it scales by
// record.dpi what it draws.
using WindowContent = void (*)(const SecondaryWindow& record, HDC dc, Size client);

// The whole WM_PAINT of a secondary window, off screen: the frame sliced
// from the skin, the white body, the two separator lines, the title in the
// bold font, the window's own content, then one copy to the window.
void PaintWindowFrame(const SecondaryWindow& record, int skinId, const WideChar* title,
                      WindowContent content = nullptr);

}  // namespace shadowpane
