#include "app/Settings.h"

namespace shadowpane {

std::int32_t Startup = 0;
std::int32_t BlockStart = 0;
std::int32_t BlockPluggedIn = 0;
std::int32_t ChosenLanguage = -1;

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

void LoadSettings(KeyValueStore& store) {
  if (std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey()) {
    const StoredValue language = key->Query(kLanguageValue);
    const std::int32_t number = static_cast<std::int32_t>(language.number);
    LanguageIndex = language.type == StoredType::Dword && number >= 0 && number < kLanguageCount
                        ? number
                        : LANGUAGE_ENGLISH;
    Startup = ReadFlag(*key, kStartupValue);
    BlockStart = ReadFlag(*key, kBlockStartValue);
    BlockPluggedIn = ReadFlag(*key, kBlockPluggedInValue);
  }
  // The entry is rewritten at every start, so it follows a moved executable.
  ApplyAutostart(store, Startup);
}

void SaveSettings(KeyValueStore& store) {
  if (std::unique_ptr<KeyValueKey> key = store.OpenSettingsKey()) {
    // Nothing reports a failed write: the settings still hold in memory.
    key->SetDword(kLanguageValue, static_cast<std::uint32_t>(LanguageIndex));
    key->SetDword(kStartupValue, static_cast<std::uint32_t>(Startup));
    key->SetDword(kBlockStartValue, static_cast<std::uint32_t>(BlockStart));
    key->SetDword(kBlockPluggedInValue, static_cast<std::uint32_t>(BlockPluggedIn));
  }
  ApplyAutostart(store, Startup);
}

std::u16string AutostartCommand(const std::u16string& executablePath) {
  if (executablePath.empty()) return std::u16string();
  return u"\"" + executablePath + u"\" " + kMinimizedArgument;
}

int ApplyAutostart(KeyValueStore& store, int enabled) {
  std::unique_ptr<KeyValueKey> machine = store.OpenRunKey();
  std::unique_ptr<KeyValueKey> user = store.OpenUserRunKey();
  if (!machine && !user) return 0;
  if (!enabled) {
    // Both places, whichever was used before; a missing value is deleted.
    const int machineGone = !machine || machine->Delete(kAutostartValue);
    const int userGone = !user || user->Delete(kAutostartValue);
    return machineGone && userGone ? 1 : 0;
  }
  std::u16string path;
  if (!store.ExecutablePath(path, kMaxAutostartPathChars)) path.clear();
  const std::u16string command = AutostartCommand(path);
  if (command.size() >= static_cast<size_t>(kAutostartTextUnits)) return 0;
  if (machine && machine->SetText(kAutostartValue, command)) {
    // One entry only: a second would start a second instance at logon.
    if (user) user->Delete(kAutostartValue);
    return 1;
  }
  return user && user->SetText(kAutostartValue, command) ? 1 : 0;
}

}  // namespace shadowpane
