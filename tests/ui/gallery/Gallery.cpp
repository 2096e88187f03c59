// The toolkit gallery: renders every control in every state and a set of
// message boxes into .bmp files, for a person to look at. Run under Wine by
// scripts/gallery.sh; the first argument is the output folder.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "tests/ui/gallery/WindowImage.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/EditLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/ButtonControl.h"
#include "ui/toolkit/win32/ChoiceControl.h"
#include "ui/toolkit/win32/LabelControl.h"
#include "ui/toolkit/win32/MenuControl.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane::gallery {
namespace {

constexpr wchar_t kSheetClass[] = L"ToolkitGallerySheet";
std::wstring outputFolder;
int failures = 0;
int nextId = 1026;

using testing::Pump;

void Save(HWND window, const wchar_t* name) {
  const std::wstring path = outputFolder + L"\\" + name;
  if (!SaveWindowImage(window, path.c_str())) ++failures;
}

HWND MakeSheet(int width, int height) {
  HWND sheet = CreateWindowExW(0, kSheetClass, L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                               width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  // The cursor stays out of the way so that no control hovers by itself.
  SetCursorPos(1270, 1010);
  return sheet;
}

HWND Add(HWND sheet, const wchar_t* className, const wchar_t* text, int x, int y, int w, int h,
         LPVOID param = nullptr) {
  return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE, x, y, w, h, sheet,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)),
                         GetModuleHandleW(nullptr), param);
}

void Caption(HWND sheet, const wchar_t* text, int x, int y) { Add(sheet, kLabelClassName, text, x, y, 0, 0); }

enum class State { Normal, Hovered, Pressed, Disabled };
constexpr State kStates[] = {State::Normal, State::Hovered, State::Pressed, State::Disabled};
constexpr const wchar_t* kStateNames[] = {L"normal", L"hovered", L"pressed", L"disabled"};

void Show(HWND button, State state) {
  auto* record = GetWindowRecord<ButtonState>(button);
  if (record == nullptr) return;
  record->hovered = state == State::Hovered;
  record->pressed = state == State::Pressed;
  if (state == State::Disabled) EnableWindow(button, FALSE);
  RepaintControl(button);
}

void ButtonSheet() {
  HWND sheet = MakeSheet(700, 330);
  for (int s = 0; s < 4; ++s) Caption(sheet, kStateNames[s], 125 + 100 * s, 8);
  int y = 30;
  // Push buttons, the language picker, then the caption buttons.
  Caption(sheet, L"push", 10, y + 12);
  for (int s = 0; s < 4; ++s) {
    HWND b = Add(sheet, kButtonClassName, L"OK", 110 + 100 * s, y, 91, 37);
    SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
    SendMessageW(b, BXM_INSET, kPropertyStore, kDefaultInset);
    Show(b, kStates[s]);
  }
  y += 50;
  Caption(sheet, L"picker (normal, hovered;\npressed, disabled)", 10, y + 12);
  for (int s = 0; s < 4; ++s) {
    HWND b = Add(sheet, kButtonClassName, L"English", 110 + 190 * (s % 2), y + 45 * (s / 2), 184, 37);
    SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
    SendMessageW(b, BXM_ICON2, kPropertyStore, kSkinDropArrow);
    SendMessageW(b, BXM_ICON2POS, kPropertyStore, MAKELPARAM(10, 17));
    SendMessageW(b, BXM_INSET, kPropertyStore, kDefaultInset);
    SendMessageW(b, BXM_TEXTX, kPropertyStore, 10);
    Show(b, kStates[s]);
  }
  y += 100;
  const int strips[] = {kSkinCloseSecondary, kSkinCloseMain, kSkinMinimize, kSkinMenu};
  const int widths[] = {41, 41, 23, 23};
  Caption(sheet, L"caption (normal, hovered, pressed)", 10, y);
  y += 22;
  for (int k = 0; k < 4; ++k) {
    for (int s = 0; s < 3; ++s) {
      HWND b = Add(sheet, kButtonClassName, L"", 10 + 170 * k + 50 * s, y, widths[k], 17);
      SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, strips[k]);
      SendMessageW(b, BXM_FACESTYLE, kPropertyStore, BXS_STATE_STRIP);
      Show(b, kStates[s]);
    }
  }
  y += 35;
  Caption(sheet, L"toggle with icons (off, on)", 10, y + 12);
  for (int checked = 0; checked < 2; ++checked) {
    HWND b = Add(sheet, kButtonClassName, L"Toggle", 200 + 200 * checked, y, 120, 37);
    SendMessageW(b, BXM_KIND, kPropertyStore, BXK_TOGGLE);
    SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
    SendMessageW(b, BXM_ICON1, kPropertyStore, kSkinDropArrow);
    SendMessageW(b, BXM_ICON1POS, kPropertyStore, MAKELPARAM(10, 10));
    SendMessageW(b, BXM_ICON2, kPropertyStore, kSkinDropArrow);
    SendMessageW(b, BXM_ICON2POS, kPropertyStore, MAKELPARAM(10, 22));
    SendMessageW(b, BXM_CHECKED, kPropertyStoreRepaint, checked);
  }
  Pump(100);
  Save(sheet, L"buttons.bmp");
  DestroyWindow(sheet);
}

void ChoiceAndLabelSheet() {
  HWND sheet = MakeSheet(640, 330);
  const wchar_t* names[] = {L"normal", L"hovered", L"disabled"};
  for (int kind = 0; kind < 2; ++kind) {
    for (int s = 0; s < 3; ++s) {
      for (int checked = 0; checked < 2; ++checked) {
        std::wstring text = std::wstring(kind ? L"Check box, " : L"Radio, ") + names[s] +
                            (checked ? L", checked" : L"");
        HWND c = Add(sheet, kChoiceClassName, text.c_str(), 10 + 200 * s, 10 + 25 * (2 * kind + checked), 0,
                     0, reinterpret_cast<LPVOID>(kSkinChoice));
        SendMessageW(c, CXM_KIND, kPropertyStore, kind);
        SendMessageW(c, CXM_CHECKED, kPropertyStore, checked);
        if (s == 1) GetWindowRecord<ChoiceState>(c)->hovered = 1;
        if (s == 2) EnableWindow(c, FALSE);
      }
    }
  }
  Add(sheet, kLabelClassName, L"Label, 15 pixels", 10, 120, 0, 0, reinterpret_cast<LPVOID>(15));
  Add(sheet, kLabelClassName, L"Label, bold", 200, 120, 0, 0, reinterpret_cast<LPVOID>(0x1000F));
  Add(sheet, kLabelClassName, L"Two lines:\nthe second 5 pixels lower", 10, 150, 0, 0);
  Add(sheet, kLabelClassName,
      L"A label created 150 pixels wide wraps its text at spaces and takes the width of its widest line.",
      200, 150, 150, 0);
  Add(sheet, kLabelClassName, L"Incomprehensibilities stay whole in 60 pixels", 400, 150, 60, 0);
  Pump(100);
  Save(sheet, L"choices_labels.bmp");
  DestroyWindow(sheet);
}

void EditAndListSheet() {
  HWND sheet = MakeSheet(420, 330);
  HWND cue = Add(sheet, kEditClassName, L"", 10, 10, 300, 30);
  SendMessageW(cue, EXM_CUETEXT, 1, reinterpret_cast<LPARAM>(L"Cue text of an empty field"));
  // The cue shows once the empty field has had the focus and lost it.
  SetFocus(GetDlgItem(cue, kEditInnerId));
  SetFocus(sheet);
  Add(sheet, kEditClassName, L"Typed text", 10, 50, 300, 30);
  Add(sheet, kEditClassName, L"A multi-line field\r\nsecond line", 10, 90, 300, 60);
  Pump(100);
  Save(sheet, L"edit.bmp");

  MenuItemList list;
  AddMenuItem(MIT_ITEM, u"English", &list, 100);
  AddMenuItem(MIT_SEPARATOR, u"", &list, 0);
  AddMenuItem(MIT_LABEL, u"Other languages", &list, 0);
  AddMenuItem(MIT_ITEM, u"Deutsche", &list, 101);
  AddMenuItem(MIT_ITEM, u"Espa\u00F1ol", &list, 102);
  AddMenuItem(MIT_ITEM, u"Italiano", &list, 103);
  MarkMenuItemByIndex(&list, 0);
  SetForegroundWindow(sheet);
  if (ShowMenuPopup(&list, sheet)) {
    HWND popup = FindWindowW(kMenuClassName, nullptr);
    if (popup != nullptr) {
      // Hover the fourth item ("Deutsche") so that the highlight shows.
      POINT p{60, 5 + 22 + 11 + 22 + 11};
      ClientToScreen(popup, &p);
      SetCursorPos(p.x, p.y);
      SendMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(60, 5 + 22 + 11 + 22 + 11));
      Pump(50);
      Save(popup, L"list_popup.bmp");
      DestroyWindow(popup);
    } else {
      ++failures;
    }
  }
  ClearMenuItemList(&list);
  DestroyWindow(sheet);
}

// Message boxes: a timer inside the box's own loop saves it and closes it.
std::wstring boxImageName;

void CALLBACK SaveAndCloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND box = FindWindowW(kMessageBoxClassName, nullptr);
  if (box == nullptr) {
    ++failures;
    return;
  }
  Save(box, boxImageName.c_str());
  SendMessageW(box, WM_CLOSE, 0, 0);
}

void BoxImage(const wchar_t* name, const std::function<void()>& show) {
  boxImageName = name;
  SetCursorPos(1270, 1010);
  SetTimer(nullptr, 0, 150, SaveAndCloseBox);
  show();
}

void MessageBoxes() {
  BoxImage(L"box_short.bmp", [] { ShowMessageBox(nullptr, L"Device has been plugged in.", MBX_BUTTONS_OK, MBX_ICON_INFO); });
  BoxImage(L"box_nl.bmp", [] {
    ShowMessageBox(nullptr, L"Unable to block device. <nl> <nl> Device: Integrated Camera",
                   MBX_BUTTONS_OK, MBX_ICON_WARNING);
  });
  BoxImage(L"box_long.bmp", [] {
    ShowMessageBox(nullptr,
                   L"The program could not open the capture device because another program is using "
                   L"it right now. Close the other program, then click the device again to block it.",
                   MBX_BUTTONS_OK, MBX_ICON_ERROR);
  });
  BoxImage(L"box_restart.bmp", [] {
    ShowMessageBox(nullptr,
                   L"Another instance of Shadowpane is already running.\n \nDo you want to restart the program?",
                   MBX_BUTTONS_YESNO, MBX_ICON_QUESTION);
  });
  BoxImage(L"box_yesnocancel.bmp", [] {
    ShowMessageBox(nullptr, L"Save the changes before closing?", MBX_BUTTONS_YESNOCANCEL, MBX_ICON_QUESTION);
  });
  BoxImage(L"box_check.bmp", [] {
    MessageBoxParams params;
    params.buttons = MBX_BUTTONS_OK | MBX_DONTSHOWAGAIN;
    params.icon = MBX_ICON_STOP;
    params.modal = 1;
    ShowMessageBoxEx(&params, nullptr, L"Devices plugged in from now on are blocked at once.");
  });
}

}  // namespace
}  // namespace shadowpane::gallery

int main() {
  using namespace shadowpane;
  using namespace shadowpane::gallery;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterToolkitClasses(instance) || !RegisterMessageBoxClass(instance)) return 2;
  WNDCLASSEXW sheet{};
  sheet.cbSize = sizeof(sheet);
  sheet.lpfnWndProc = DefWindowProcW;
  sheet.hInstance = instance;
  sheet.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  sheet.lpszClassName = kSheetClass;
  RegisterClassExW(&sheet);
  outputFolder = OutputFolder();
  CreateDirectoryW(outputFolder.c_str(), nullptr);
  ButtonSheet();
  ChoiceAndLabelSheet();
  EditAndListSheet();
  MessageBoxes();
  return failures == 0 ? 0 : 1;
}
