#include "tests/support/MemoryKeyValueStore.h"

namespace shadowpane::testing {

namespace {

class MemoryOpenKey : public KeyValueKey {
 public:
  MemoryOpenKey(MemoryKey& key, int& openKeys) : key_(key), openKeys_(openKeys) { ++openKeys_; }
  ~MemoryOpenKey() override { --openKeys_; }

  StoredValue Query(const WideChar* name) override {
    StoredValue result;
    auto it = key_.values.find(name);
    if (it == key_.values.end()) return result;
    result.type = it->second.type;
    result.number = it->second.number;
    return result;
  }

  int SetDword(const WideChar* name, std::uint32_t value) override {
    ++key_.changeCalls;
    if (key_.failWrites) return 0;
    key_.values[name] = MemoryValue{StoredType::Dword, value, {}};
    key_.writeOrder.push_back(name);
    return 1;
  }

  int SetText(const WideChar* name, const std::u16string& text) override {
    ++key_.changeCalls;
    if (key_.failWrites) return 0;
    key_.values[name] = MemoryValue{StoredType::Other, 0, text};
    key_.writeOrder.push_back(name);
    return 1;
  }

  int QueryText(const WideChar* name, std::u16string* text) override {
    auto found = key_.values.find(name);
    if (found == key_.values.end() || found->second.type != StoredType::Other ||
        found->second.text.size() > kMaxStoredTextChars) {
      return 0;
    }
    *text = found->second.text;
    return 1;
  }

  int Delete(const WideChar* name) override {
    ++key_.changeCalls;
    if (key_.failWrites) return 0;
    key_.values.erase(name);
    return 1;
  }

 private:
  MemoryKey& key_;
  int& openKeys_;
};

}  // namespace

std::unique_ptr<KeyValueKey> MemoryKeyValueStore::OpenSettingsKey() {
  if (settings.refuse) return nullptr;
  ++totalOpens;
  return std::make_unique<MemoryOpenKey>(settings, openKeys);
}

std::unique_ptr<KeyValueKey> MemoryKeyValueStore::OpenMachineRunKey() {
  if (machineRun.refuse) return nullptr;
  ++totalOpens;
  return std::make_unique<MemoryOpenKey>(machineRun, openKeys);
}

std::unique_ptr<KeyValueKey> MemoryKeyValueStore::OpenUserRunKey() {
  if (userRun.refuse) return nullptr;
  ++totalOpens;
  return std::make_unique<MemoryOpenKey>(userRun, openKeys);
}

std::unique_ptr<KeyValueKey> MemoryKeyValueStore::OpenUserRunOnceKey() {
  if (userRunOnce.refuse) return nullptr;
  ++totalOpens;
  return std::make_unique<MemoryOpenKey>(userRunOnce, openKeys);
}

bool MemoryKeyValueStore::ExecutablePath(std::u16string& path, int maxChars) {
  if (!pathKnown || executablePath.size() > static_cast<size_t>(maxChars)) return false;
  path = executablePath;
  return true;
}

bool MemoryKeyValueStore::ExecutableShortPath(std::u16string& path, int maxChars) {
  if (executableShortPath.empty() || executableShortPath.size() > static_cast<size_t>(maxChars)) return false;
  path = executableShortPath;
  return true;
}

}  // namespace shadowpane::testing
