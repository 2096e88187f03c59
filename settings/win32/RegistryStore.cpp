#include "settings/win32/RegistryStore.h"

#include "settings/Settings.h"
#include "core/win32/ExecutablePath.h"
#include "core/win32/TextCast.h"

#include <cwchar>

namespace shadowpane {

namespace {

constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";

class RegistryKey : public KeyValueKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() override { RegCloseKey(key_); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  StoredValue Query(const WideChar* name) override {
    // Always a 4-byte buffer, its size reset before the query: a longer
    // value (a string, say) fails the query and counts as missing.
    DWORD number = 0;
    DWORD type = 0;
    DWORD size = sizeof number;
    StoredValue value;
    const LONG status = RegQueryValueExW(key_, AsWide(name), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&number), &size);
    if (status == ERROR_MORE_DATA) value.type = StoredType::Other;  // exists, longer
    if (status != ERROR_SUCCESS) return value;
    // A REG_DWORD shorter than 4 bytes is malformed; its number is not used.
    if (type == REG_DWORD && size == sizeof number) {
      value.type = StoredType::Dword;
      value.number = number;
    } else {
      value.type = StoredType::Other;
    }
    return value;
  }

  int SetDword(const WideChar* name, std::uint32_t value) override {
    const DWORD number = value;
    return RegSetValueExW(key_, AsWide(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS
               ? 1
               : 0;
  }

  int SetText(const WideChar* name, const std::u16string& text) override {
    // The text and its terminator: 2 x length + 2 bytes.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, AsWide(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS
               ? 1
               : 0;
  }

  int QueryText(const WideChar* name, std::u16string* text) override {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key_, AsWide(name), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ || bytes > (kMaxStoredTextChars + 1) * sizeof(wchar_t)) {
      return 0;
    }
    // One unit more than announced, so a value stored without its
    // terminator still ends inside the buffer.
    std::u16string buffer(bytes / sizeof(wchar_t) + 1, u'\0');
    if (RegQueryValueExW(key_, AsWide(name), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return 0;
    }
    buffer.resize(bytes / sizeof(wchar_t));
    *text = buffer.substr(0, buffer.find(u'\0'));
    return 1;
  }

  int Delete(const WideChar* name) override {
    const LONG result = RegDeleteValueW(key_, AsWide(name));
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? 1 : 0;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<KeyValueKey> OpenRegistryKey(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<KeyValueKey> OpenRegistryKeyToRead(HKEY root, const wchar_t* path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<RegistryKey>(key);
}

RegistryStore::RegistryStore(RegistryLocations locations) : locations_(std::move(locations)) {}

std::unique_ptr<KeyValueKey> RegistryStore::OpenSettingsKey() {
  return OpenRegistryKey(locations_.settingsRoot, locations_.settingsPath.c_str());
}

std::unique_ptr<KeyValueKey> RegistryStore::OpenMachineRunKey() {
  return OpenRegistryKeyToRead(locations_.machineRunRoot, locations_.machineRunPath.c_str());
}

std::unique_ptr<KeyValueKey> RegistryStore::OpenUserRunKey() {
  return OpenRegistryKey(locations_.userRunRoot, locations_.userRunPath.c_str());
}

std::unique_ptr<KeyValueKey> RegistryStore::OpenUserRunOnceKey() {
  return OpenRegistryKey(locations_.userRunOnceRoot, locations_.userRunOncePath.c_str());
}

bool RegistryStore::ExecutablePath(std::u16string& path, int maxChars) {
  std::wstring found = locations_.executablePath;
  if (found.empty()) {
    found = ExecutablePathUpTo(maxChars);
    if (found.empty()) return false;
  }
  if (found.size() > static_cast<size_t>(maxChars)) return false;
  path.assign(found.begin(), found.end());
  return true;
}

bool RegistryStore::ExecutableShortPath(std::u16string& path, int maxChars) {
  std::u16string longPath;
  if (!ExecutablePath(longPath, kMaxAutostartPathChars)) return false;
  std::wstring asked(longPath.begin(), longPath.end());
  // Past MAX_PATH the function reads a drive path only behind the prefix,
  // and answers with it.
  const bool prefixed = asked.size() >= MAX_PATH && asked.size() > 2 && asked[1] == L':';
  if (prefixed) asked = kLongPathPrefix + asked;
  const DWORD needed = GetShortPathNameW(asked.c_str(), nullptr, 0);
  if (needed == 0) return false;
  std::wstring found(needed, L'\0');
  const DWORD length = GetShortPathNameW(asked.c_str(), &found[0], needed);
  if (length == 0 || length >= needed) return false;
  found.resize(length);
  if (prefixed && found.compare(0, std::wcslen(kLongPathPrefix), kLongPathPrefix) == 0) {
    found.erase(0, std::wcslen(kLongPathPrefix));
  }
  if (found.size() > static_cast<size_t>(maxChars)) return false;
  path.assign(found.begin(), found.end());
  return true;
}

int EnsureLanguageChosen() {
  RegistryStore store;
  return EnsureLanguageChosen(store);
}

void LoadSettings(Settings& settings) {
  RegistryStore store;
  LoadSettings(store, settings);
}

void SaveSettings(const Settings& settings) {
  RegistryStore store;
  SaveSettings(store, settings);
}

int ApplyAutostart(int enabled) {
  RegistryStore store;
  return ApplyAutostart(store, enabled);
}

}  // namespace shadowpane
