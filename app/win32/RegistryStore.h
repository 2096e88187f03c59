// The settings store in the registry. Every key is opened with
// RegCreateKeyExW (created when missing, non-volatile, full access) and
// closed when the returned key object is destroyed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/KeyValueStore.h"

namespace shadowpane {

constexpr wchar_t kSettingsKeyPath[] = L"Software\\KESTRALYNX\\Shadowpane\\2";
constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Opens (creating when missing) root\path with full access; null on failure.
std::unique_ptr<KeyValueKey> OpenRegistryKey(HKEY root, const wchar_t* path);

// Where the store keeps its keys. The defaults are the program's own; tests
// point them elsewhere or give a fixed executable path.
struct RegistryLocations {
  HKEY settingsRoot = HKEY_CURRENT_USER;
  std::wstring settingsPath = kSettingsKeyPath;
  HKEY runRoot = HKEY_LOCAL_MACHINE;
  std::wstring runPath = kRunKeyPath;
  HKEY userRunRoot = HKEY_CURRENT_USER;
  std::wstring userRunPath = kRunKeyPath;
  // Empty: the running executable's path (GetModuleFileNameW).
  std::wstring executablePath;
};

class RegistryStore : public KeyValueStore {
 public:
  explicit RegistryStore(RegistryLocations locations = RegistryLocations());
  std::unique_ptr<KeyValueKey> OpenSettingsKey() override;
  std::unique_ptr<KeyValueKey> OpenRunKey() override;
  std::unique_ptr<KeyValueKey> OpenUserRunKey() override;
  bool ExecutablePath(std::u16string& path, int maxChars) override;

 private:
  RegistryLocations locations_;
};

// The program's operations on its own registry locations, reading and
// writing the process-wide settings.
int EnsureLanguageChosen();
void LoadSettings();
void SaveSettings();
int ApplyAutostart(int enabled);

}  // namespace shadowpane
