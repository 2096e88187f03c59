#include "ui/toolkit/win32/DialogKeys.h"

#include "ui/toolkit/KeyboardLogic.h"

namespace shadowpane {
namespace {

constexpr wchar_t kCuesProperty[] = L"ShadowpaneKeyboardCues";

bool MovesFocus(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  switch (static_cast<std::uint32_t>(msg.wParam)) {
    case kKeyTab:
    case kKeyUp:
    case kKeyDown:
    case kKeyLeft:
    case kKeyRight:
    case kKeyHome:
    case kKeyEnd:
    case kKeyPageUp:
    case kKeyPageDown:
      return true;
    default:
      return false;
  }
}

}  // namespace

void StartKeyboardCues(HWND window) {
  RemovePropW(window, kCuesProperty);
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

void ShowKeyboardCues(HWND window) {
  if (GetPropW(window, kCuesProperty) != nullptr) return;
  SetPropW(window, kCuesProperty, reinterpret_cast<HANDLE>(1));
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool KeyboardCuesShown(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  return root != nullptr && GetPropW(root, kCuesProperty) != nullptr;
}

void ForgetKeyboardCues(HWND window) { RemovePropW(window, kCuesProperty); }

bool KeepFocusAcrossActivation(HWND window, WPARAM wParam, HWND& remembered) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focused = GetFocus();
    if (focused != nullptr && IsChild(window, focused)) remembered = focused;
    return false;
  }
  if (remembered == nullptr || !IsWindow(remembered) || !IsChild(window, remembered) ||
      !IsWindowEnabled(remembered) || !IsWindowVisible(remembered)) {
    return false;
  }
  SetFocus(remembered);
  return true;
}

bool RouteDialogMessage(HWND window, MSG& msg) {
  if (window == nullptr || (msg.hwnd != window && !IsChild(window, msg.hwnd))) return false;
  if (MovesFocus(msg)) ShowKeyboardCues(window);
  return IsDialogMessageW(window, &msg) != FALSE;
}

}  // namespace shadowpane
