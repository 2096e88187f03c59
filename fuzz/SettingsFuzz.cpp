// The settings reading rules over a store whose values have any type and any
// size, read the way the registry answers a query into a 4-byte buffer: a
// 4-byte REG_DWORD is a number, anything else (a longer value too) is of
// another type. Whatever is stored, every setting ends in its
// range (the language 0..3, the flags 0 or 1), each as its rule says, no key
// stays open, and what SaveSettings writes loads back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "fuzz/FuzzCheck.h"

using namespace shadowpane;

namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

struct RawValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const RawValue& other) const { return type == other.type && bytes == other.bytes; }
};

struct RawKey {
  std::map<std::u16string, RawValue> values;
  bool refuse = false;
  bool failWrites = false;
};

// The registry's answer to a query into a 4-byte buffer.
StoredValue QueryRaw(const RawKey& key, const WideChar* name) {
  StoredValue result;
  auto it = key.values.find(name);
  if (it == key.values.end()) return result;
  const std::vector<std::uint8_t>& bytes = it->second.bytes;
  if (it->second.type == kRegDword && bytes.size() == 4) {
    result.type = StoredType::Dword;
    result.number = static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) |
                    static_cast<std::uint32_t>(bytes[3]) << 24;
  } else {
    result.type = StoredType::Other;
  }
  return result;
}

class RawOpenKey : public KeyValueKey {
 public:
  RawOpenKey(RawKey& key, int& openKeys) : key_(key), openKeys_(openKeys) { ++openKeys_; }
  ~RawOpenKey() override { --openKeys_; }

  StoredValue Query(const WideChar* name) override { return QueryRaw(key_, name); }
  int SetDword(const WideChar* name, std::uint32_t value) override {
    if (key_.failWrites) return 0;
    key_.values[name] = RawValue{kRegDword, {static_cast<std::uint8_t>(value),
                                             static_cast<std::uint8_t>(value >> 8),
                                             static_cast<std::uint8_t>(value >> 16),
                                             static_cast<std::uint8_t>(value >> 24)}};
    return 1;
  }
  int SetText(const WideChar* name, const std::u16string& text) override {
    if (key_.failWrites) return 0;
    RawValue value{kRegSz, {}};
    for (char16_t unit : text + u'\0') {
      value.bytes.push_back(static_cast<std::uint8_t>(unit));
      value.bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    key_.values[name] = value;
    return 1;
  }
  int QueryText(const WideChar* name, std::u16string* text) override {
    auto found = key_.values.find(name);
    if (found == key_.values.end() || found->second.type != kRegSz) return 0;
    const std::vector<std::uint8_t>& bytes = found->second.bytes;
    std::u16string read;
    for (std::size_t i = 0; i + 1 < bytes.size() && bytes[i] + bytes[i + 1] != 0; i += 2) {
      read.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    if (read.size() > kMaxStoredTextChars) return 0;
    *text = read;
    return 1;
  }
  int Delete(const WideChar* name) override {
    if (key_.failWrites) return 0;
    key_.values.erase(name);
    return 1;
  }

 private:
  RawKey& key_;
  int& openKeys_;
};

class RawStore : public KeyValueStore {
 public:
  std::unique_ptr<KeyValueKey> OpenSettingsKey() override { return Open(settings); }
  std::unique_ptr<KeyValueKey> OpenMachineRunKey() override { return Open(machineRun); }
  std::unique_ptr<KeyValueKey> OpenUserRunKey() override { return Open(userRun); }
  std::unique_ptr<KeyValueKey> OpenUserRunOnceKey() override { return Open(userRunOnce); }
  bool ExecutablePath(std::u16string& path, int maxChars) override {
    if (executablePath.size() > static_cast<std::size_t>(maxChars)) return false;
    path = executablePath;
    return true;
  }
  bool ExecutableShortPath(std::u16string&, int) override { return false; }

  RawKey settings;
  RawKey machineRun;
  RawKey userRun;
  RawKey userRunOnce;
  std::u16string executablePath;
  int openKeys = 0;

 private:
  std::unique_ptr<KeyValueKey> Open(RawKey& key) {
    if (key.refuse) return nullptr;
    return std::make_unique<RawOpenKey>(key, openKeys);
  }
};

const WideChar* const kSettingNames[] = {kLanguageValue, kStartupValue, kBlockStartValue,
                                         kBlockPluggedInValue};
// Taken from the input's last bytes, so the older seeds mean what they did
// (the indicator's after the away settings', for the same reason).
const WideChar* const kLaterSettingNames[] = {kBlockWhileLockedValue, kBlockAfterIdleMinutesValue,
                                              kShowIndicatorValue, kIndicatorCornerValue};

RawValue AnyValue(FuzzedDataProvider& input) {
  RawValue value;
  // Mostly REG_DWORD and REG_SZ, sometimes any type at all.
  value.type = input.ConsumeBool() ? kRegDword : input.ConsumeIntegral<std::uint32_t>() % 12;
  const std::size_t size = input.ConsumeBool() ? 4 : input.ConsumeIntegralInRange(0, 9);
  value.bytes = input.ConsumeBytes<std::uint8_t>(size);
  return value;
}

std::u16string AnyText(FuzzedDataProvider& input, std::size_t maxUnits) {
  std::u16string text;
  const std::size_t units = input.ConsumeIntegralInRange<std::size_t>(0, maxUnits);
  for (std::size_t i = 0; i < units && input.remaining_bytes() > 0; ++i) {
    text.push_back(static_cast<char16_t>(input.ConsumeIntegral<std::uint16_t>()));
  }
  return text;
}

std::int32_t LanguageRule(const StoredValue& value) {
  const auto number = static_cast<std::int32_t>(value.number);
  return value.type == StoredType::Dword && number >= 0 && number <= 3 ? number : 0;
}

std::int32_t FlagRule(const StoredValue& value) {
  return value.type == StoredType::Dword && value.number != 0 ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  RawStore store;
  store.settings.refuse = input.ConsumeIntegralInRange(0, 7) == 0;
  store.machineRun.refuse = input.ConsumeIntegralInRange(0, 3) == 0;
  // An administrator's entry, of any type, or none.
  if (input.ConsumeIntegralInRange(0, 3) == 0) store.machineRun.values[kAutostartValue] = AnyValue(input);
  // The user's Run key, read from the first byte without taking it, so an
  // input means the same steps with or without it.
  store.userRun.refuse = size > 0 && (data[0] & 0x10) != 0;
  store.userRun.failWrites = size > 0 && (data[0] & 0x20) != 0;
  store.executablePath = AnyText(input, 40);
  for (const WideChar* name : kSettingNames) {
    if (input.ConsumeIntegralInRange(0, 4) != 0) store.settings.values[name] = AnyValue(input);
  }
  // Values under other names, or under a name differing in one unit only.
  while (input.remaining_bytes() > 0 && input.ConsumeBool()) {
    store.settings.values[AnyText(input, 16)] = AnyValue(input);
  }

  // Start-up clears the settings before loading; a key that cannot be
  // opened leaves them so. Otherwise start from leftovers of any value.
  const bool garbage = !store.settings.refuse && input.ConsumeBool();
  Settings settings;
  if (garbage) {
    settings.language = input.ConsumeIntegral<std::int32_t>();
    settings.startup = input.ConsumeIntegral<std::int32_t>();
    settings.blockStart = input.ConsumeIntegral<std::int32_t>();
    settings.blockPluggedIn = input.ConsumeIntegral<std::int32_t>();
  }
  for (const WideChar* name : kLaterSettingNames) {
    if (input.remaining_bytes() > 0 && input.ConsumeIntegralInRange(0, 4) != 0) {
      store.settings.values[name] = AnyValue(input);
    }
  }

  const std::map<std::u16string, RawValue> machineBefore = store.machineRun.values;
  const StoredValue language = QueryRaw(store.settings, kLanguageValue);
  const int chosen = EnsureLanguageChosen(store);
  FUZZ_CHECK(chosen == (store.settings.refuse || (language.type == StoredType::Dword &&
                                                   static_cast<std::int32_t>(language.number) >= 0)
                            ? 1
                            : 0));
  {
    RawKey copy = store.settings;
    int opened = 0;
    RawOpenKey key(copy, opened);
    for (const WideChar* name : kSettingNames) {
      FUZZ_CHECK(ReadFlag(key, name) == FlagRule(QueryRaw(store.settings, name)));
    }
  }

  LoadSettings(store, settings);
  FUZZ_CHECK(store.openKeys == 0);
  FUZZ_CHECK(settings.language >= 0 && settings.language <= 3);
  FUZZ_CHECK(settings.startup == 0 || settings.startup == 1);
  FUZZ_CHECK(settings.blockStart == 0 || settings.blockStart == 1);
  FUZZ_CHECK(settings.blockPluggedIn == 0 || settings.blockPluggedIn == 1);
  FUZZ_CHECK(settings.showIndicator == 0 || settings.showIndicator == 1);
  FUZZ_CHECK(settings.indicatorCorner >= 0 && settings.indicatorCorner < kIndicatorCornerCount);
  if (!store.settings.refuse) {
    // The minutes without input: a stored REG_DWORD of 0 to 240, else off.
    const StoredValue idle = QueryRaw(store.settings, kBlockAfterIdleMinutesValue);
    const bool idleUsable = idle.type == StoredType::Dword && idle.number <= kMaxBlockAfterIdleMinutes;
    FUZZ_CHECK(settings.blockAfterIdleMinutes == (idleUsable ? static_cast<std::int32_t>(idle.number) : 0));
    FUZZ_CHECK(settings.blockWhileLocked == FlagRule(QueryRaw(store.settings, kBlockWhileLockedValue)));
    FUZZ_CHECK(settings.showIndicator == FlagRule(QueryRaw(store.settings, kShowIndicatorValue)));
    FUZZ_CHECK(settings.language == LanguageRule(language));
    FUZZ_CHECK(settings.startup == FlagRule(QueryRaw(store.settings, kStartupValue)));
    FUZZ_CHECK(settings.blockStart == FlagRule(QueryRaw(store.settings, kBlockStartValue)));
    FUZZ_CHECK(settings.blockPluggedIn == FlagRule(QueryRaw(store.settings, kBlockPluggedInValue)));
  }
  // The user's entry follows the autostart setting unless an administrator's entry in the
  // machine's Run key starts the program already; that key never changes.
  const bool byAdministrator =
      !store.machineRun.refuse && store.machineRun.values.count(kAutostartValue) == 1;
  FUZZ_CHECK(gAutostartByAdministrator == (byAdministrator ? 1 : 0));
  FUZZ_CHECK(store.machineRun.values == machineBefore);
  const bool userWritable = !store.userRun.refuse && !store.userRun.failWrites;
  if (userWritable) {
    FUZZ_CHECK(store.userRun.values.count(kAutostartValue) == (settings.startup && !byAdministrator ? 1u : 0u));
  }

  // Saved and loaded again, nothing changes.
  SaveSettings(store, settings);
  Settings reloaded;
  LoadSettings(store, reloaded);
  FUZZ_CHECK(store.openKeys == 0);
  if (!store.settings.refuse) {
    FUZZ_CHECK(reloaded == settings);
    FUZZ_CHECK(EnsureLanguageChosen(store) == 1);
  }
  return 0;
}
