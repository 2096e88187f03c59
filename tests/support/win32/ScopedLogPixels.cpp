#include "tests/support/win32/ScopedLogPixels.h"

namespace shadowpane::testing {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

void Write(DWORD value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

}  // namespace

ScopedLogPixels::ScopedLogPixels(DWORD dpi) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD type = 0;
    DWORD size = sizeof previous_;
    hadValue_ = RegQueryValueExW(key, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&previous_), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
    RegCloseKey(key);
  }
  Write(dpi);
}

ScopedLogPixels::~ScopedLogPixels() {
  if (hadValue_) {
    Write(previous_);
    return;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, kLogPixels);
  RegCloseKey(key);
}

}  // namespace shadowpane::testing
