#include "ui/main/win32/MenuCommands.h"

#include <shellapi.h>

#include <string>

#include "settings/Languages.h"
#include "core/win32/ExecutablePath.h"
#include "core/win32/TextCast.h"
#include "ui/main/MenuCommands.h"

namespace shadowpane {
namespace {

constexpr wchar_t kHelpViewerLibrary[] = L"hhctrl.ocx";
constexpr char kHelpViewerEntry[] = "HtmlHelpW";
constexpr UINT kHelpDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// Longer than any path the system hands out.
constexpr int kPathChars = 32766;

HtmlHelpFunction LoadHelpViewer() {
  static HtmlHelpFunction viewer = nullptr;
  if (viewer != nullptr) return viewer;
  const std::wstring library = HelpViewerLibraryPath();
  if (library.empty()) return nullptr;
  // Kept loaded for the rest of the run: the viewer's window lives on.
  HMODULE module = LoadLibraryExW(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) return nullptr;
  viewer = reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, kHelpViewerEntry)));
  return viewer;
}

}  // namespace

void OpenWebPage(const wchar_t* address) {
  ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring HelpViewerLibraryPath() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring path(folder, length);
  if (path.back() != L'\\') path += L'\\';
  return path + kHelpViewerLibrary;
}

int OpenHelp() {
  HtmlHelpFunction viewer = LoadHelpViewer();
  if (viewer == nullptr) return 0;
  const std::wstring exe = ExecutablePathUpTo(kPathChars);
  const WideString help = HelpTopicPath(WideString(AsCore(exe.c_str()), exe.size()), gDisplayLanguage);
  viewer(GetDesktopWindow(), AsWide(help.c_str()), kHelpDisplayTopic, 0);
  return 1;
}

}  // namespace shadowpane
