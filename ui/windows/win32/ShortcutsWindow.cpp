#include "ui/windows/win32/ShortcutsWindow.h"

#include "core/win32/TextCast.h"
#include "settings/Languages.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/PropertyMessage.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/ShortcutFieldLogic.h"
#include "ui/toolkit/win32/ShortcutFieldControl.h"
#include "ui/windows/ShortcutsWindowLogic.h"
#include "ui/windows/win32/SecondaryWindow.h"

namespace shadowpane {
namespace {

// The platform's key names are short; longer ones are cut.
constexpr int kKeyNameChars = 64;

// The window's services while it is open (one modal window at a time).
ShortcutsWindowServices g_services;

struct ShortcutsWindow : SecondaryWindow {};

HWND Field(HWND window, int row) { return GetDlgItem(window, IDC_SHORTCUTS_FIELD + row); }

std::uint32_t FieldShortcut(HWND window, int row) {
  return static_cast<std::uint32_t>(SendMessageW(Field(window, row), SFM_SHORTCUT, kPropertyRead, 0));
}

// The name the keyboard layout gives a key the portable names do not cover.
std::wstring KeyName(std::uint32_t stored) {
  wchar_t name[kKeyNameChars + 1] = {};
  const UINT scanCode = MapVirtualKeyW(ShortcutKey(stored), MAPVK_VK_TO_VSC);
  if (scanCode != 0) GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, kKeyNameChars + 1);
  return name;
}

void ShowField(HWND window, int row) {
  const std::uint32_t stored = FieldShortcut(window, row);
  const std::wstring keyName = KeyName(stored);
  const WideString text = ShortcutFieldText(stored, gDisplayLanguage, WideView(AsCore(keyName.c_str()), keyName.size()));
  SetWindowTextW(Field(window, row), AsWide(text.c_str()));
}

void ShowMessage(HWND window, int row, RowMessage message) {
  const WideString text = RowMessageText(message, gDisplayLanguage);
  HWND line = GetDlgItem(window, IDC_SHORTCUTS_MESSAGE + row);
  // At its whole place first, so the text wraps at the row's width rather
  // than at the last message's; then as wide again, as the label shrank to
  // its text and a glyph reaching past its advance would be cut.
  const Rect place = Scale(ShortcutMessagePlace(row, DesignClientSize(window)), LayoutDpi(window));
  SetWindowPos(line, nullptr, place.left, place.top, Width(place), Height(place), SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextW(line, AsWide(text.c_str()));
  ResizeWindow(line, {Width(place), ClientSize(line).height});
  RepaintControl(line);
}

void CreateFields(HWND window, const ShortcutSet& shortcuts) {
  for (int row = 0; row < kShortcutActionCount; ++row) {
    const Rect place = Scale(ShortcutFieldPlace(row), LayoutDpi(window));
    HWND field = CreateWindowExW(0, kShortcutFieldClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.left,
                                 place.top, Width(place), Height(place), window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SHORTCUTS_FIELD + row)),
                                 ToolkitInstance(), nullptr);
    if (field == nullptr) continue;
    // In the Tab order each field comes before its row's Clear button.
    HWND clear = GetDlgItem(window, IDC_SHORTCUTS_CLEAR + row);
    if (clear != nullptr && GetWindow(clear, GW_HWNDPREV) != nullptr) {
      SetWindowPos(field, GetWindow(clear, GW_HWNDPREV), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SendMessageW(field, SFM_SHORTCUT, kPropertyStore, static_cast<LPARAM>(shortcuts.stored[row]));
    ShowField(window, row);
  }
}

void RegisterSet(const ShortcutSet& shortcuts, bool (&refused)[kShortcutActionCount]) {
  if (g_services.registerShortcuts != nullptr) g_services.registerShortcuts(shortcuts, refused);
}

void Apply(ShortcutsWindow& shortcuts) {
  ShortcutSet wanted;
  for (int row = 0; row < kShortcutActionCount; ++row) wanted.stored[row] = FieldShortcut(shortcuts.window, row);
  bool refused[kShortcutActionCount] = {};
  RegisterSet(wanted, refused);
  const ShortcutsOk ok = DecideShortcutsOk(wanted, refused);
  if (g_services.store != nullptr) SaveShortcuts(*g_services.store, ok.saved);
  for (int row = 0; row < kShortcutActionCount; ++row) ShowMessage(shortcuts.window, row, ok.messages[row]);
  if (!ok.close) return;
  shortcuts.result = 1;
  CloseSecondaryWindow(shortcuts.window);
}

void OnFieldNotice(HWND window, int row, UINT code) {
  if (code == SFN_CHANGED) {
    ShowField(window, row);
    ShowMessage(window, row, RowMessage::None);
  } else if (code == SFN_NEEDS_CTRL_OR_ALT) {
    ShowMessage(window, row, RowMessage::NeedsCtrlOrAlt);
  }
}

void OnCommand(ShortcutsWindow& shortcuts, WPARAM wParam) {
  HWND window = shortcuts.window;
  const int id = DialogKeyCommand(LOWORD(wParam), IDC_SHORTCUTS_OK, IDC_SHORTCUTS_CANCEL);
  switch (id) {
    case IDC_SHORTCUTS_CLOSE:
    case IDC_SHORTCUTS_CANCEL:
      CloseSecondaryWindow(window);
      return;
    case IDC_SHORTCUTS_OK:
      Apply(shortcuts);
      return;
    default:
      break;
  }
  const int fieldRow = ShortcutRowOf(id, IDC_SHORTCUTS_FIELD);
  if (fieldRow >= 0) {
    OnFieldNotice(window, fieldRow, HIWORD(wParam));
    return;
  }
  const int clearRow = ShortcutRowOf(id, IDC_SHORTCUTS_CLEAR);
  if (clearRow >= 0) {
    SendMessageW(Field(window, clearRow), SFM_SHORTCUT, kPropertyStore, kNoShortcut);
    OnFieldNotice(window, clearRow, SFN_CHANGED);
  }
}

// A field and a Clear button are named by their row's label.
LRESULT OnDescribe(ShortcutsWindow& shortcuts, WPARAM wParam, LPARAM lParam) {
  const LRESULT answer = HandleShellMessage(shortcuts, shortcuts.window, WM_ACCESSIBLE_DESCRIBE, wParam, lParam);
  auto* description = reinterpret_cast<AccessibleDescription*>(lParam);
  HWND control = reinterpret_cast<HWND>(wParam);
  if (description == nullptr || description->child != kAccessibleSelf) return answer;
  const int id = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
  const int fieldRow = ShortcutRowOf(id, IDC_SHORTCUTS_FIELD);
  const int clearRow = ShortcutRowOf(id, IDC_SHORTCUTS_CLEAR);
  const int row = fieldRow >= 0 ? fieldRow : clearRow;
  if (row < 0) return answer;
  wchar_t label[kKeyNameChars * 2] = {};
  GetWindowTextW(GetDlgItem(shortcuts.window, IDC_SHORTCUTS_LABEL + row), label, kKeyNameChars * 2);
  if (fieldRow >= 0) {
    description->name = AsCore(label);
  } else {
    description->description = AsCore(label);
  }
  return answer;
}

LRESULT HandleMessage(ShortcutsWindow& shortcuts, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      CreateWindowControls(window, lParam,
                           ShortcutsControls(DesignClientSize(window), gDisplayLanguage, GetString(STR_OK),
                                             GetString(STR_CANCEL)));
      const ShortcutSet saved = g_services.store != nullptr ? LoadShortcuts(*g_services.store) : ShortcutSet();
      CreateFields(window, saved);
      NameSecondaryWindow(window, CommandTextIn(CommandText::ShortcutsWindowTitle, gDisplayLanguage));
      // Unregistered while the window is open: a shortcut pressed in a
      // field is recorded, not run.
      bool ignored[kShortcutActionCount] = {};
      RegisterSet(ShortcutSet(), ignored);
      return 0;
    }
    case WM_ACCESSIBLE_DESCRIBE:
      return OnDescribe(shortcuts, wParam, lParam);
    case WM_PAINT:
      PaintWindowFrame(shortcuts, kSkinSecondaryFrame,
                       CommandTextIn(CommandText::ShortcutsWindowTitle, gDisplayLanguage));
      return 0;
    case WM_COMMAND:
      OnCommand(shortcuts, wParam);
      return 0;
    case WM_DESTROY: {
      // Whatever is saved now is what the program answers to.
      const ShortcutSet saved = g_services.store != nullptr ? LoadShortcuts(*g_services.store) : ShortcutSet();
      bool ignored[kShortcutActionCount] = {};
      RegisterSet(saved, ignored);
      return HandleShellMessage(shortcuts, window, message, wParam, lParam);
    }
    default:
      return HandleShellMessage(shortcuts, window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterShortcutsWindowClass(HINSTANCE instance) {
  return RegisterShortcutFieldClass(instance) &&
         RegisterSecondaryWindowClass(instance, kShortcutsWindowClassName, ShortcutsWindowProc);
}

int ShowShortcutsWindow(HWND owner, const ShortcutsWindowServices& services) {
  g_services = services;
  const int result = OpenSecondaryWindow(kShortcutsWindowClassName, owner, kShortcutsWindowSize);
  g_services = ShortcutsWindowServices();
  return result;
}

LRESULT CALLBACK ShortcutsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<ShortcutsWindow>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                           MakeSecondaryRecord<ShortcutsWindow>, HandleMessage);
}

}  // namespace shadowpane
