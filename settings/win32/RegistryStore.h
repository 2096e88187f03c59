// The settings store in the registry. The settings key and the user's Run
// and RunOnce keys are opened with RegCreateKeyExW (created when missing,
// non-volatile, full access); the machine's Run key only for reading. Every key is closed
// when the returned key object is destroyed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "settings/KeyValueStore.h"
#include "settings/Settings.h"

namespace shadowpane {

constexpr wchar_t kSettingsKeyPath[] = L"Software\\KESTRALYNX\\Shadowpane\\2";
constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunOnceKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Opens (creating when missing) root\path with full access; null on failure.
std::unique_ptr<KeyValueKey> OpenRegistryKey(HKEY root, const wchar_t* path);
// Opens an existing root\path for queries only; null when missing or refused.
// `view` may add KEY_WOW64_64KEY or KEY_WOW64_32KEY to name a registry view.
std::unique_ptr<KeyValueKey> OpenRegistryKeyToRead(HKEY root, const wchar_t* path, REGSAM view = 0);

// Where the store keeps its keys. The defaults are the program's own; tests
// point them elsewhere or give a fixed executable path.
struct RegistryLocations {
  HKEY settingsRoot = HKEY_CURRENT_USER;
  std::wstring settingsPath = kSettingsKeyPath;
  HKEY machineRunRoot = HKEY_LOCAL_MACHINE;
  std::wstring machineRunPath = kRunKeyPath;
  HKEY userRunRoot = HKEY_CURRENT_USER;
  std::wstring userRunPath = kRunKeyPath;
  HKEY userRunOnceRoot = HKEY_CURRENT_USER;
  std::wstring userRunOncePath = kRunOnceKeyPath;
  // Empty: the running executable's path (GetModuleFileNameW).
  std::wstring executablePath;
};

class RegistryStore : public KeyValueStore {
 public:
  explicit RegistryStore(RegistryLocations locations = RegistryLocations());
  std::unique_ptr<KeyValueKey> OpenSettingsKey() override;
  std::unique_ptr<KeyValueKey> OpenMachineRunKey() override;
  std::unique_ptr<KeyValueKey> OpenUserRunKey() override;
  std::unique_ptr<KeyValueKey> OpenUserRunOnceKey() override;
  bool ExecutablePath(std::u16string& path, int maxChars) override;
  // GetShortPathNameW of that path (with the \\?\ prefix where it is
  // longer than MAX_PATH).
  bool ExecutableShortPath(std::u16string& path, int maxChars) override;

 private:
  RegistryLocations locations_;
};

// The program's operations on its own registry locations, reading and
// writing the given settings.
int EnsureLanguageChosen();
void LoadSettings(Settings& settings);
void SaveSettings(const Settings& settings);
int ApplyAutostart(int enabled);

}  // namespace shadowpane
