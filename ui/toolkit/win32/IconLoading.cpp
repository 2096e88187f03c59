#include "ui/toolkit/win32/IconLoading.h"

#include "ui/toolkit/win32/WindowDpi.h"

namespace shadowpane {
namespace {

constexpr wchar_t kCommonControlsLibrary[] = L"comctl32.dll";
constexpr char kIconMetricFunction[] = "LoadIconMetric";

IconImageLoad gImageLoad = LoadImageW;
IconMetricLoad gMetricLoad = nullptr;
bool gMetricLooked = false;

// LoadIconMetric exists in comctl32 version 6 (Vista and later, with the
// version a manifest asks for); version 5 and older systems lack it. The
// module the process already has comes first, else the system folder's.
IconMetricLoad MetricLoad() {
  if (gMetricLooked) return gMetricLoad;
  gMetricLooked = true;
  HMODULE module = GetModuleHandleW(kCommonControlsLibrary);
  if (module == nullptr) module = LoadLibraryExW(kCommonControlsLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) return nullptr;
  gMetricLoad = reinterpret_cast<IconMetricLoad>(reinterpret_cast<void*>(GetProcAddress(module, kIconMetricFunction)));
  return gMetricLoad;
}

HICON SetClassIcon(HWND window, int index, HICON icon) {
  return reinterpret_cast<HICON>(SetClassLongPtrW(window, index, reinterpret_cast<LONG_PTR>(icon)));
}

}  // namespace

void SetIconImageLoadForTests(IconImageLoad load) { gImageLoad = load != nullptr ? load : LoadImageW; }

void SetIconMetricLoadForTests(IconMetricLoad load) {
  gMetricLoad = load;
  gMetricLooked = load != nullptr;
}

HICON LoadSizedIcon(HINSTANCE instance, int iconId, int size) {
  if (iconId == 0 || size <= 0) return nullptr;
  return static_cast<HICON>(gImageLoad(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, kSizedIconFlags));
}

HICON LoadTrayIcon(HINSTANCE instance, int iconId, int dpi) {
  if (iconId == 0) return nullptr;
  IconMetricLoad metricLoad = MetricLoad();
  HICON icon = nullptr;
  if (metricLoad != nullptr && SUCCEEDED(metricLoad(instance, MAKEINTRESOURCEW(iconId), kIconMetricSmall, &icon)) &&
      icon != nullptr) {
    return icon;
  }
  return LoadSizedIcon(instance, iconId, SystemMetricForDpi(SM_CXSMICON, dpi));
}

void ReplaceClassIcons(HWND window, HINSTANCE instance, int iconId, int dpi) {
  HICON large = LoadSizedIcon(instance, iconId, SystemMetricForDpi(SM_CXICON, dpi));
  HICON small = LoadSizedIcon(instance, iconId, SystemMetricForDpi(SM_CXSMICON, dpi));
  // A failed load keeps the icon the class has.
  if (large != nullptr) DestroyLoadedIcon(SetClassIcon(window, GCLP_HICON, large));
  if (small != nullptr) DestroyLoadedIcon(SetClassIcon(window, GCLP_HICONSM, small));
}

void ReplaceWindowIcon(HWND window, WPARAM which, HICON icon) {
  const auto previous = reinterpret_cast<HICON>(SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
  if (previous != icon) DestroyLoadedIcon(previous);
}

void DestroyLoadedIcon(HICON icon) {
  if (icon != nullptr) DestroyIcon(icon);
}

}  // namespace shadowpane
