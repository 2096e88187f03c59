// What every window class shares on Windows: registration, the module,
// the per-window record in the window's extra space, ToolkitFont, the
// property-message convention, notifications to the parent, the polling
// hover tracker and the caption hit test.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/Text.h"
#include "core/win32/TextCast.h"
#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/PropertyMessage.h"
#include "ui/toolkit/ToolkitColors.h"
#include "ui/toolkit/ToolkitFont.h"
#include "ui/toolkit/win32/WindowDpi.h"

namespace shadowpane {

constexpr wchar_t kButtonClassName[] = L"KButtonEx_0000";
constexpr wchar_t kLabelClassName[] = L"KLabelEx_0000";
constexpr wchar_t kChoiceClassName[] = L"KChoiceEx_0000";
constexpr wchar_t kEditClassName[] = L"KEditEx_0000";
constexpr wchar_t kMenuClassName[] = L"KMenuEx_0000";
constexpr wchar_t kMessageBoxClassName[] = L"KQM2MessageExWndClass";

// The window's extra space holds exactly the pointer to its record.
constexpr int kWindowRecordBytes = 4;
static_assert(sizeof(void*) == kWindowRecordBytes, "the program is a 32-bit image");

// Registers a class whose windows hold their record in the extra space
// (kWindowRecordBytes): no class style, background or menu, the system
// cursor given (IDC_ARROW). iconId 0 leaves the class without icons;
// otherwise its large and small icons are that icon resource of the
// instance, loaded at the system DPI's sizes, each its own copy. Every window class of the program is registered
// here. 1 or 0.
int RegisterRecordClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, const wchar_t* cursor,
                        int iconId = 0);
// Registers KButtonEx_0000, KLabelEx_0000, KChoiceEx_0000, KEditEx_0000 and
// KMenuEx_0000 in that order. 1 when all succeeded, 0 at the first failure.
int RegisterToolkitClasses(HINSTANCE instance);
// Registers KQM2MessageExWndClass (the application registers it first among
// its own classes). 1 or 0.
int RegisterMessageBoxClass(HINSTANCE instance);
// The module: the instance the last class was registered with (the
// executable's module before any registration). Windows are created in it
// and icons, menus and skin bitmaps loaded from it.
HINSTANCE ToolkitInstance();

// ToolkitFont: Tahoma, cell height 13, normal weight, non-antialiased. The
// label varies height and weight, the main window's title font also the
// quality. The height is the 96-DPI cell height, scaled to dpi (the same
// face and weight at every scale). The caller owns the font.
HFONT CreateToolkitFont(int height = kToolkitFontHeight, int weight = kFontWeightNormal,
                        BYTE quality = NONANTIALIASED_QUALITY, int dpi = kDesignDpi);
// The same for a control or window: at its top-level window's layout DPI.
HFONT CreateToolkitFontFor(HWND window, int height = kToolkitFontHeight, int weight = kFontWeightNormal,
                           BYTE quality = NONANTIALIASED_QUALITY);

// Per-window record: the pointer is the whole content of the extra space.
template <class Record>
Record* GetWindowRecord(HWND window) {
  return reinterpret_cast<Record*>(GetWindowLongPtrW(window, 0));
}
void SetWindowRecord(HWND window, void* record);

// The properties the toolkit may have set on a window (its keyboard cues,
// its layout DPI), removed as the window goes.
void ForgetWindowProperties(HWND window);

// WM_CREATE: the toolkit's classes skip the default WM_NCCREATE processing,
// so each sets its window text from the creation data here.
void SetTextFromCreation(HWND window, LPARAM createStruct);

// The window procedure skeleton of every toolkit class. The record is made
// at WM_NCCREATE, where a failure makes creation fail, or at WM_CREATE,
// where a failure leaves the window inert without a record and the skeleton
// otherwise sets the window text from the creation data (a class that makes
// its record at WM_NCCREATE gets WM_CREATE in its handler). WM_NCDESTROY
// clears the extra space, then deletes the record, whose holders free the
// fonts, brushes and items it owns. Other messages go to the handler while
// there is a record. A window without one (messages before its record is
// made, such as WM_GETMINMAXINFO and WM_NCCALCSIZE, or a window whose
// record could not be made) gets the default answers of DefWindowProcW.
enum class RecordMadeAt { NcCreate, Create };

template <class Record>
using RecordFactory = Record* (*)(HWND window, const CREATESTRUCTW& create);
template <class Record>
using RecordHandler = LRESULT (*)(Record& record, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam);

template <class Record>
LRESULT RecordWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         RecordMadeAt madeAt, RecordFactory<Record> make,
                         RecordHandler<Record> handle) {
  const bool makesHere = (message == WM_NCCREATE && madeAt == RecordMadeAt::NcCreate) ||
                         (message == WM_CREATE && madeAt == RecordMadeAt::Create);
  if (makesHere) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    Record* record = create != nullptr ? make(window, *create) : nullptr;
    if (message == WM_NCCREATE) {
      if (record == nullptr) return FALSE;
      SetWindowRecord(window, record);
      return TRUE;
    }
    if (record == nullptr) return 0;
    SetWindowRecord(window, record);
    SetTextFromCreation(window, lParam);
    return 0;
  }
  if (message == WM_NCCREATE) return TRUE;  // skips the default text, see SetTextFromCreation
  Record* record = GetWindowRecord<Record>(window);
  if (message == WM_NCDESTROY) {
    ForgetWindowProperties(window);
    SetWindowRecord(window, nullptr);
    delete record;
    return 0;
  }
  if (record == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return handle(*record, window, message, wParam, lParam);
}

// Whether the window still exists and still holds this record: false once
// a parent has destroyed the control while the control was notifying it.
bool StillHoldsRecord(HWND window, const void* record);

// The client area's size.
Size ClientSize(HWND window);
// Resizes a window without moving it, changing the z-order or activating it.
void ResizeWindow(HWND window, Size size);
constexpr RECT ToWinRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Repaints the whole control at once, without erasing (painting is
// off-screen, so nothing needs erasing).
void RepaintControl(HWND window);

// The property convention: stores lParam when the low word of wParam is
// non-zero, repaints when the high word is, answers the current value.
LRESULT HandleIntProperty(HWND window, int& field, WPARAM wParam, LPARAM lParam);
// Repaints when the high word of wParam asks for it (for properties with
// their own store rule).
void RepaintIfAsked(HWND window, WPARAM wParam);

// WM_COMMAND to the parent, wParam = the control id (code 0), lParam = the
// control; sent synchronously.
void SendCommandToParent(HWND control);

// The cursor counts as over a window when the window under the cursor's
// screen position is that window itself (a window on top ends it).
bool IsCursorOverWindow(HWND window);
// The cursor's position in the window's client coordinates.
POINT CursorClientPosition(HWND window);
// Starts TIMER_HOVER_WATCH (every 10 ms) on the window.
void StartHoverWatch(HWND window);

// WM_NCHITTEST of the toolkit's and the application's popup windows: the
// default answer, except that the client area's top rows (29, the main
// window 42) answer HTCAPTION so that they drag the window. lParam holds
// signed screen coordinates, so monitors left of or above the primary one
// work.
LRESULT CaptionHitTest(HWND window, LPARAM lParam, WPARAM wParam, int dragRows = kCaptionDragRows);

constexpr COLORREF ToColorRef(ToolkitColor color) { return static_cast<COLORREF>(color); }

}  // namespace shadowpane
