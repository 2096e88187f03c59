// A KeyValueStore in memory: four keys (settings, the machine's and the
// user's Run key, the user's RunOnce key) whose values keep their type,
// keys that can be refused, and counts of open keys so tests can check that
// no key outlives its operation.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "settings/KeyValueStore.h"

namespace shadowpane::testing {

struct MemoryValue {
  StoredType type = StoredType::Dword;
  std::uint32_t number = 0;
  std::u16string text;  // for values written with SetText
};

struct MemoryKey {
  std::map<std::u16string, MemoryValue> values;
  bool refuse = false;      // opening the key fails
  bool failWrites = false;  // SetDword / SetText / Delete fail
  std::vector<std::u16string> writeOrder;  // names, in the order written
  int changeCalls = 0;  // SetDword, SetText and Delete calls, failed ones too
};

class MemoryKeyValueStore : public KeyValueStore {
 public:
  std::unique_ptr<KeyValueKey> OpenSettingsKey() override;
  std::unique_ptr<KeyValueKey> OpenMachineRunKey() override;
  std::unique_ptr<KeyValueKey> OpenUserRunKey() override;
  std::unique_ptr<KeyValueKey> OpenUserRunOnceKey() override;
  bool ExecutablePath(std::u16string& path, int maxChars) override;
  bool ExecutableShortPath(std::u16string& path, int maxChars) override;

  MemoryKey settings;
  MemoryKey machineRun;  // the machine's Run key, which the program only reads
  MemoryKey userRun;     // the user's Run key
  MemoryKey userRunOnce;  // the user's RunOnce key
  std::u16string executablePath = u"C:\\Apps\\Shadowpane.exe";
  bool pathKnown = true;
  std::u16string executableShortPath;  // empty: the system gives no short form

  int openKeys = 0;   // keys currently open
  int totalOpens = 0;
};

}  // namespace shadowpane::testing
