#include "settings/Settings.h"

#include <initializer_list>

namespace shadowpane {
namespace {

// 1 when the machine's Run key holds a value of the autostart name,
// whatever it starts: an administrator's choice either way.
int MachineHoldsAutostart(KeyValueStore& store) {
  std::unique_ptr<KeyValueKey> machine = store.OpenMachineRunKey();
  return machine && machine->Query(kAutostartValue).type != StoredType::Missing ? 1 : 0;
}

}  // namespace

std::int32_t gChosenLanguage = -1;
std::int32_t gAutostartByAdministrator = 0;

int ReadFlag(KeyValueKey& key, const WideChar* valueName) {
  const StoredValue value = key.Query(valueName);
  return value.type == StoredType::Dword && value.number != 0 ? 1 : 0;
}

int EnsureLanguageChosen(KeyValueStore& store) {
  std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey();
  // Without a key nothing could be saved: asking would be pointless.
  if (!key) return 1;
  const StoredValue language = key->Query(kLanguageValue);
  const bool stored =
      language.type == StoredType::Dword && static_cast<std::int32_t>(language.number) >= 0;
  return stored ? 1 : 0;
}

void LoadSettings(KeyValueStore& store, Settings& settings) {
  if (std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey()) {
    const StoredValue language = key->Query(kLanguageValue);
    const std::int32_t number = static_cast<std::int32_t>(language.number);
    settings.language = language.type == StoredType::Dword && number >= 0 && number < kLanguageCount
                            ? number
                            : LANGUAGE_ENGLISH;
    settings.startup = ReadFlag(*key, kStartupValue);
    settings.blockStart = ReadFlag(*key, kBlockStartValue);
    settings.blockPluggedIn = ReadFlag(*key, kBlockPluggedInValue);
    // Missing (a profile from before the setting): the default, on.
    const StoredValue notify = key->Query(kNotifyAttemptsValue);
    settings.notifyAttempts = notify.type != StoredType::Dword || notify.number != 0 ? 1 : 0;
    settings.blockWhileLocked = ReadFlag(*key, kBlockWhileLockedValue);
    const StoredValue idle = key->Query(kBlockAfterIdleMinutesValue);
    const bool idleUsable = idle.type == StoredType::Dword && idle.number <= kMaxBlockAfterIdleMinutes;
    settings.blockAfterIdleMinutes = idleUsable ? static_cast<std::int32_t>(idle.number) : 0;
    settings.showIndicator = ReadFlag(*key, kShowIndicatorValue);
    // A corner outside the four (or none stored): the default one.
    const StoredValue corner = key->Query(kIndicatorCornerValue);
    settings.indicatorCorner = corner.type == StoredType::Dword && corner.number < kIndicatorCornerCount
                                   ? static_cast<std::int32_t>(corner.number)
                                   : kIndicatorCornerDefault;
  }
  // The entry is rewritten at every start, so it follows a moved executable.
  ApplyAutostart(store, settings.startup);
}

void SaveSettings(KeyValueStore& store, const Settings& settings) {
  if (std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey()) {
    // Nothing reports a failed write: the settings still hold in memory.
    key->SetDword(kLanguageValue, static_cast<std::uint32_t>(settings.language));
    key->SetDword(kStartupValue, static_cast<std::uint32_t>(settings.startup));
    key->SetDword(kBlockStartValue, static_cast<std::uint32_t>(settings.blockStart));
    key->SetDword(kBlockPluggedInValue, static_cast<std::uint32_t>(settings.blockPluggedIn));
    key->SetDword(kNotifyAttemptsValue, static_cast<std::uint32_t>(settings.notifyAttempts));
    key->SetDword(kBlockWhileLockedValue, static_cast<std::uint32_t>(settings.blockWhileLocked));
    key->SetDword(kBlockAfterIdleMinutesValue, static_cast<std::uint32_t>(settings.blockAfterIdleMinutes));
    key->SetDword(kShowIndicatorValue, static_cast<std::uint32_t>(settings.showIndicator));
    key->SetDword(kIndicatorCornerValue, static_cast<std::uint32_t>(settings.indicatorCorner));
  }
  ApplyAutostart(store, settings.startup);
}

std::u16string AutostartCommand(const std::u16string& executablePath) {
  if (executablePath.empty()) return std::u16string();
  return u"\"" + executablePath + u"\" " + kMinimizedArgument;
}

int ApplyAutostart(KeyValueStore& store, int enabled) {
  gAutostartByAdministrator = MachineHoldsAutostart(store);
  std::unique_ptr<KeyValueKey> user = store.OpenUserRunKey();
  if (!user) return 0;
  // The administrator's entry starts the program already.
  if (!enabled || gAutostartByAdministrator) return user->Delete(kAutostartValue);
  std::u16string path;
  if (!store.ExecutablePath(path, kMaxAutostartPathChars)) path.clear();
  const std::u16string command = AutostartCommand(path);
  if (command.size() >= static_cast<size_t>(kAutostartTextUnits)) return 0;
  return user->SetText(kAutostartValue, command);
}

std::u16string RestoreInputsCommand(const std::u16string& executablePath) {
  if (executablePath.empty()) return std::u16string();
  return u"\"" + executablePath + u"\" " + kRestoreInputsArgument;
}

std::u16string FittingRestoreInputsCommand(const std::u16string& longPath, const std::u16string& shortPath) {
  for (const std::u16string* path : {&longPath, &shortPath}) {
    const std::u16string command = RestoreInputsCommand(*path);
    if (!command.empty() && command.size() <= kMaxRunCommandChars) return command;
  }
  return std::u16string();
}

std::u16string RestoreInputsCommandOf(KeyValueStore& store) {
  std::u16string longPath;
  std::u16string shortPath;
  if (!store.ExecutablePath(longPath, kMaxAutostartPathChars)) longPath.clear();
  // The short form is asked for only where the long one does not fit.
  if (RestoreInputsCommand(longPath).size() > kMaxRunCommandChars || longPath.empty()) {
    if (!store.ExecutableShortPath(shortPath, static_cast<int>(kMaxRunCommandChars))) shortPath.clear();
  }
  return FittingRestoreInputsCommand(longPath, shortPath);
}

namespace {

// Removes the value when it exists; a missing one is not written at all.
int RemoveValue(KeyValueKey& key, const WideChar* name) {
  return key.Query(name).type == StoredType::Missing ? 1 : key.Delete(name);
}

}  // namespace

int ApplyRestoreInputsEntry(KeyValueStore& store, bool needed) {
  std::unique_ptr<KeyValueKey> run = store.OpenUserRunKey();
  if (!run) return 0;
  const std::u16string command = needed ? RestoreInputsCommandOf(store) : std::u16string();
  if (command.empty()) return RemoveValue(*run, kRestoreInputsValue);
  std::u16string stored;
  if (run->QueryText(kRestoreInputsValue, &stored) == 1 && stored == command) return 1;
  return run->SetText(kRestoreInputsValue, command);
}

int RemoveOldRestoreInputsEntry(KeyValueStore& store) {
  std::unique_ptr<KeyValueKey> runOnce = store.OpenUserRunOnceKey();
  return runOnce ? RemoveValue(*runOnce, kOldRestoreInputsValue) : 0;
}

}  // namespace shadowpane
