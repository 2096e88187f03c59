// The secondary windows' gallery: the Settings, language and About windows
// in each of the four languages, and the Settings window with its language
// list open, saved as .bmp files for a person to look at. Run under Wine by
// scripts/gallery.sh; the first argument is the output folder.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "settings/Languages.h"
#include "settings/Settings.h"
#include "tests/ui/gallery/WindowImage.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/MenuControl.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/SettingsWindowLogic.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"

namespace shadowpane::gallery {
namespace {

constexpr wchar_t kOwnerClass[] = L"WindowsGalleryOwner";
constexpr const wchar_t* kLanguageSuffixes[] = {L"en", L"de", L"es", L"it"};
constexpr UINT kSettleMs = 150;

std::wstring outputFolder;
int failures = 0;

// What the timer inside the window's loop does: which window to save,
// under which name, and whether to open the language list first.
const wchar_t* shownClass = nullptr;
std::wstring imageName;
bool withList = false;

std::wstring PathOf(const std::wstring& name) { return outputFolder + L"\\" + name; }

void CALLBACK SaveAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND window = FindWindowW(shownClass, nullptr);
  if (window == nullptr) {
    ++failures;
    return;
  }
  if (withList) {
    HWND list = FindWindowW(kMenuClassName, nullptr);
    RECT r{};
    GetWindowRect(window, &r);
    if (list == nullptr || !SaveScreenImage(r, PathOf(imageName).c_str())) ++failures;
  } else if (!SaveWindowImage(window, PathOf(imageName).c_str())) {
    ++failures;
  }
  SendMessageW(window, WM_CLOSE, 0, 0);
}

// The keyboard's focus on the third option, as three Tabs put it there.
void CALLBACK FocusThenSave(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND window = FindWindowW(shownClass, nullptr);
  if (window != nullptr) {
    ShowKeyboardCues(window);
    SetFocus(GetDlgItem(window, IDC_SETTINGS_BLOCK_START));
  }
  SetTimer(nullptr, 0, kSettleMs, SaveAndClose);
}

void CALLBACK OpenListThenSave(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND window = FindWindowW(shownClass, nullptr);
  if (window != nullptr) SendMessageW(window, WM_COMMAND, IDC_SETTINGS_PICKER, 0);
  SetTimer(nullptr, 0, kSettleMs, SaveAndClose);
}

void Shoot(const wchar_t* className, const std::wstring& name, bool openList, int (*show)(HWND), HWND owner) {
  shownClass = className;
  imageName = name;
  withList = openList;
  // The cursor stays out of the way so that no control hovers by itself.
  SetCursorPos(1270, 1010);
  SetTimer(nullptr, 0, kSettleMs, openList ? OpenListThenSave : SaveAndClose);
  show(owner);
}

int ShowLanguage(HWND) { return ShowLanguageWindow(); }

// Every option on, so that the check marks show; the language shown.
int ShowSettings(HWND owner) {
  Settings settings{gDisplayLanguage, 1, 1, 1};
  return ShowSettingsWindow(owner, &settings);
}

// The language and the block at start forced by an organisation: locked,
// each with its note beneath.
int ShowManagedSettings(HWND owner) {
  Settings settings{gDisplayLanguage, 1, 0, 1};
  EnforcedPolicy policy;
  policy.language = {true, gDisplayLanguage};
  policy.blockStart = {true, 1};
  return ShowSettingsWindow(owner, &settings, policy);
}

}  // namespace
}  // namespace shadowpane::gallery

int main() {
  using namespace shadowpane;
  using namespace shadowpane::gallery;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterToolkitClasses(instance) || !RegisterMessageBoxClass(instance) ||
      !RegisterSettingsWindowClass(instance) || !RegisterLanguageWindowClass(instance) ||
      !RegisterAboutWindowClass(instance)) {
    return 2;
  }
  WNDCLASSEXW ownerClass{};
  ownerClass.cbSize = sizeof(ownerClass);
  ownerClass.lpfnWndProc = DefWindowProcW;
  ownerClass.hInstance = instance;
  ownerClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  ownerClass.lpszClassName = kOwnerClass;
  RegisterClassExW(&ownerClass);
  // A stand-in for the main window, which the windows centre on.
  HWND owner = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP | WS_VISIBLE, 340, 212, 600, 600, nullptr, nullptr,
                               instance, nullptr);
  outputFolder = OutputFolder();
  CreateDirectoryW(outputFolder.c_str(), nullptr);
  // Every option on, so that the check marks show.
  for (int language = 0; language < kLanguageCount; ++language) {
    gDisplayLanguage = language;
    const std::wstring suffix = std::wstring(L"_") + kLanguageSuffixes[language] + L".bmp";
    Shoot(kSettingsWindowClassName, L"settings" + suffix, false, ShowSettings, owner);
    Shoot(kSettingsWindowClassName, L"settings_managed" + suffix, false, ShowManagedSettings, owner);
    Shoot(kLanguageWindowClassName, L"language" + suffix, false, ShowLanguage, nullptr);
    Shoot(kAboutWindowClassName, L"about" + suffix, false, ShowAboutWindow, owner);
  }
  gDisplayLanguage = LANGUAGE_SPANISH;
  Shoot(kSettingsWindowClassName, L"settings_list_es.bmp", true, ShowSettings, owner);
  gDisplayLanguage = LANGUAGE_ENGLISH;
  shownClass = kSettingsWindowClassName;
  imageName = L"settings_focus_en.bmp";
  withList = false;
  SetTimer(nullptr, 0, kSettleMs, FocusThenSave);
  ShowSettings(owner);
  SetHighContrastForTests(1);
  Shoot(kSettingsWindowClassName, L"settings_high_contrast_en.bmp", false, ShowSettings, owner);
  Shoot(kAboutWindowClassName, L"about_high_contrast_en.bmp", false, ShowAboutWindow, owner);
  SetHighContrastForTests(-1);
  DestroyWindow(owner);
  return failures == 0 ? 0 : 1;
}
