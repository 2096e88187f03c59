#include "usage/win32/RegistryUsageSource.h"

#include <windows.h>

#include <string>

#include "core/win32/TextCast.h"

namespace shadowpane {

namespace {

// The records are the 64-bit view's on 64-bit Windows; this 32-bit program
// would otherwise read HKLM's redirected copy. Ignored on 32-bit Windows.
constexpr REGSAM kReadAccess = KEY_READ | KEY_WOW64_64KEY;
constexpr REGSAM kWatchAccess = KEY_NOTIFY | KEY_WOW64_64KEY;
constexpr DWORD kWatchFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
constexpr DWORD kKeyNameUnits = kMaxUsageKeyNameChars + 1;
const HKEY kRoots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
constexpr int kRootCount = 2;
constexpr int kWatchSlots = kRootCount * kUsageKindCount;

std::wstring KindKey(UsageKind kind) {
  return std::wstring(kConsentStoreKey) + L"\\" +
         (kind == UsageKind::Camera ? kCameraUsageKeyName : kMicrophoneUsageKeyName);
}

// Closes a key when it goes out of scope.
class KeyHolder {
 public:
  KeyHolder() = default;
  KeyHolder(const KeyHolder&) = delete;
  KeyHolder& operator=(const KeyHolder&) = delete;
  ~KeyHolder() { Reset(); }
  void Reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }
  HKEY* Receive() {
    Reset();
    return &key_;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

RawUsageValue ReadValue(HKEY key, const wchar_t* name) {
  RawUsageValue value;
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(value.bytes.size());
  const LONG result = RegQueryValueExW(key, name, nullptr, &type, value.bytes.data(), &size);
  // A value larger than a QWORD answers its real size and is refused later.
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return RawUsageValue();
  value.present = true;
  value.type = type;
  value.size = size;
  return value;
}

// Reads the program keys under key, up to the records' bound in total.
void ReadProgramKeys(HKEY key, bool nonPackaged, std::vector<RawUsageKey>& keys) {
  for (DWORD index = 0; keys.size() < static_cast<std::size_t>(kMaxUsageRecords); ++index) {
    wchar_t name[kKeyNameUnits] = {};
    DWORD nameUnits = kKeyNameUnits;
    const LONG result = RegEnumKeyExW(key, index, name, &nameUnits, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // not a name the system writes
    if (result != ERROR_SUCCESS) break;
    if (!nonPackaged && lstrcmpiW(name, AsWide(kNonPackagedKeyName)) == 0) continue;
    KeyHolder program;
    if (RegOpenKeyExW(key, name, 0, kReadAccess, program.Receive()) != ERROR_SUCCESS) continue;
    RawUsageKey raw;
    raw.name = AsCore(name);
    raw.nonPackaged = nonPackaged;
    raw.lastStart = ReadValue(program.get(), kLastUsedTimeStartValue);
    raw.lastStop = ReadValue(program.get(), kLastUsedTimeStopValue);
    keys.push_back(raw);
  }
}

// Opens the kind's key to watch, or while it does not exist the deepest
// key above it that does (the ConsentStore key, or higher where even that
// is missing, as on a system that has not made it yet), so that the
// creation of the kind's key is noticed wherever it begins.
void OpenWatched(HKEY root, UsageKind kind, KeyHolder& key, bool& onAncestor) {
  std::wstring path = KindKey(kind);
  onAncestor = false;
  for (;;) {
    if (RegOpenKeyExW(root, path.c_str(), 0, kWatchAccess, key.Receive()) == ERROR_SUCCESS) return;
    onAncestor = true;
    if (path.empty()) break;
    const std::size_t parent = path.rfind(L'\\');
    path.resize(parent == std::wstring::npos ? 0 : parent);
  }
  key.Reset();
}

}  // namespace

RegistryUsageSource::~RegistryUsageSource() { StopWatching(); }

int RegistryUsageSource::ReadRecords(UsageKind kind, std::vector<UsageRecord>& records) {
  records.clear();
  std::vector<RawUsageKey> keys;
  bool anyKey = false;
  for (const HKEY root : kRoots) {
    KeyHolder kindKey;
    if (RegOpenKeyExW(root, KindKey(kind).c_str(), 0, kReadAccess, kindKey.Receive()) != ERROR_SUCCESS) continue;
    anyKey = true;
    ReadProgramKeys(kindKey.get(), false, keys);
    KeyHolder nonPackaged;
    if (RegOpenKeyExW(kindKey.get(), AsWide(kNonPackagedKeyName), 0, kReadAccess, nonPackaged.Receive()) ==
        ERROR_SUCCESS) {
      ReadProgramKeys(nonPackaged.get(), true, keys);
    }
  }
  if (!anyKey) return 0;
  records = ParseUsageKeys(keys);
  return 1;
}

int RegistryUsageSource::StartWatching(UsageNotice& notice) {
  if (watcher_.joinable()) return 0;
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE armed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stop == nullptr || armed == nullptr) {
    if (stop != nullptr) CloseHandle(stop);
    if (armed != nullptr) CloseHandle(armed);
    return 0;
  }
  stop_ = stop;
  notice_ = &notice;
  watcher_ = std::thread(&RegistryUsageSource::Watch, this, armed);
  WaitForSingleObject(armed, INFINITE);
  CloseHandle(armed);
  return 1;
}

void RegistryUsageSource::StopWatching() {
  if (!watcher_.joinable()) return;
  SetEvent(static_cast<HANDLE>(stop_));
  watcher_.join();
  CloseHandle(static_cast<HANDLE>(stop_));
  stop_ = nullptr;
  notice_ = nullptr;
}

// The watcher's thread: a notification is tied to the thread that asked
// for it, so this thread asks for every one and outlives them all.
void RegistryUsageSource::Watch(void* armed) {
  KeyHolder keys[kWatchSlots];
  bool onAncestor[kWatchSlots] = {};
  HANDLE waits[kWatchSlots + 1] = {static_cast<HANDLE>(stop_)};
  for (int slot = 0; slot < kWatchSlots; ++slot) waits[slot + 1] = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  const auto arm = [&](int slot) {
    const HKEY root = kRoots[slot / kUsageKindCount];
    const UsageKind kind = static_cast<UsageKind>(slot % kUsageKindCount);
    if (keys[slot].get() == nullptr || onAncestor[slot]) OpenWatched(root, kind, keys[slot], onAncestor[slot]);
    if (keys[slot].get() == nullptr || waits[slot + 1] == nullptr) return;
    if (RegNotifyChangeKeyValue(keys[slot].get(), TRUE, kWatchFilter, waits[slot + 1], TRUE) != ERROR_SUCCESS) {
      keys[slot].Reset();
      return;
    }
    // Made between the look and the watch above it: wake as its change would.
    KeyHolder made;
    if (onAncestor[slot] && RegOpenKeyExW(root, KindKey(kind).c_str(), 0, kWatchAccess, made.Receive()) == ERROR_SUCCESS) {
      SetEvent(waits[slot + 1]);
    }
  };
  for (int slot = 0; slot < kWatchSlots; ++slot) arm(slot);
  SetEvent(static_cast<HANDLE>(armed));
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(kWatchSlots + 1, waits, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0 || woke >= WAIT_OBJECT_0 + kWatchSlots + 1) break;
    const int slot = static_cast<int>(woke - WAIT_OBJECT_0) - 1;
    // A change above a missing kind's key is told only once the kind's key
    // exists: the keys above change for many other reasons.
    const bool wasOnKind = !onAncestor[slot];
    // A deleted key tells once and then never again: open it afresh.
    keys[slot].Reset();
    arm(slot);
    if (wasOnKind || !onAncestor[slot]) notice_->UsageChanged();
  }
  for (int slot = 0; slot < kWatchSlots; ++slot) {
    keys[slot].Reset();  // closing the key ends its notification
    if (waits[slot + 1] != nullptr) CloseHandle(waits[slot + 1]);
  }
}

}  // namespace shadowpane
