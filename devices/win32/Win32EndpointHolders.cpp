#include "devices/win32/Win32EndpointHolders.h"

#include <windows.h>
#include <sddl.h>

#include <cstdint>
#include <vector>

namespace shadowpane {

namespace {

constexpr wchar_t kNamePrefix[] = L"Global\\KSP2Endpoint-";
constexpr wchar_t kFoundSuffix[] = L"-found";
// Far more copies than sessions on any one machine.
constexpr int kHolderSlots = 32;
// Every interactive user's copy (another session's, an elevated one) may
// wait on and release the lock and open the claims; only the system and
// administrators may do more. Without this the objects get their
// creator's default security, and another user's copy could not open them.
constexpr wchar_t kMutexSddl[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;IU)";  // SYNCHRONIZE | MUTEX_MODIFY_STATE
constexpr wchar_t kEventSddl[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100002;;;IU)";  // SYNCHRONIZE | EVENT_MODIFY_STATE
constexpr std::uint64_t kFnvOffset = 0xCBF29CE484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ull;

// A handle closed once, by its holder.
class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      if (handle_ != nullptr) CloseHandle(handle_);
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A security descriptor made from its text, freed with LocalFree as the
// conversion asks.
class Security {
 public:
  explicit Security(const wchar_t* sddl) {
    attributes_.nLength = sizeof(attributes_);
    attributes_.bInheritHandle = FALSE;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr)) {
      descriptor_ = nullptr;
    }
    attributes_.lpSecurityDescriptor = descriptor_;
  }
  ~Security() {
    if (descriptor_ != nullptr) LocalFree(descriptor_);
  }
  Security(const Security&) = delete;
  Security& operator=(const Security&) = delete;
  // Null when the descriptor could not be made: nothing is created then,
  // rather than an object other users could not open.
  SECURITY_ATTRIBUTES* attributes() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

enum class Kind { Mutex, Event };

// What stands under a name, opened for waiting only (the least any step
// needs): an object, nothing, or something this copy may not open (another
// user's, or of another kind).
struct Opened {
  Handle handle;
  bool absent = false;
};

Opened OpenToWait(Kind kind, const std::wstring& name) {
  Opened opened;
  opened.handle = Handle(kind == Kind::Mutex ? OpenMutexW(SYNCHRONIZE, FALSE, name.c_str())
                                             : OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
  opened.absent = opened.handle.get() == nullptr && GetLastError() == ERROR_FILE_NOT_FOUND;
  return opened;
}

// A new object under a name nothing stood under; null when something came
// first (its creator's, never opened here with full access).
Handle CreateNew(Kind kind, const std::wstring& name) {
  Security security(kind == Kind::Mutex ? kMutexSddl : kEventSddl);
  if (security.attributes() == nullptr) return Handle();
  Handle created(kind == Kind::Mutex ? CreateMutexW(security.attributes(), FALSE, name.c_str())
                                     : CreateEventW(security.attributes(), TRUE, FALSE, name.c_str()));
  if (created.get() != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) return Handle();
  return created;
}

// The object under a name, made when absent; a second look when another
// copy made it in between. `refused`: something this copy may not use.
Handle OpenOrCreate(Kind kind, const std::wstring& name, bool* refused) {
  for (int look = 0; look < 2; ++look) {
    Opened opened = OpenToWait(kind, name);
    if (opened.handle.get() != nullptr) return std::move(opened.handle);
    if (!opened.absent) {
      *refused = true;
      return Handle();
    }
    Handle created = CreateNew(kind, name);
    if (created.get() != nullptr) return created;
  }
  return Handle();
}

class Win32HolderClaim : public EndpointHolderClaim {
 public:
  Win32HolderClaim(Handle slot, Handle found) : slot_(std::move(slot)), found_(std::move(found)) {}

 private:
  Handle slot_;
  Handle found_;
};

class Win32HolderLock : public EndpointHolderLock {
 public:
  Win32HolderLock(std::wstring stem, Handle mutex) : stem_(std::move(stem)), mutex_(std::move(mutex)) {}
  ~Win32HolderLock() override { ReleaseMutex(mutex_.get()); }
  Win32HolderLock(const Win32HolderLock&) = delete;
  Win32HolderLock& operator=(const Win32HolderLock&) = delete;

  int Holders() override {
    int holders = 0;
    // A slot that cannot be opened (another user's, another kind) is
    // someone's claim all the same.
    for (int slot = 0; slot < kHolderSlots; ++slot) holders += OpenToWait(Kind::Event, SlotName(slot)).absent ? 0 : 1;
    return holders;
  }
  // A mark that cannot be opened could be anyone's: not believed.
  bool FoundUnmuted() override { return OpenToWait(Kind::Event, stem_ + kFoundSuffix).handle.get() != nullptr; }
  std::unique_ptr<EndpointHolderClaim> Claim(bool foundUnmuted) override {
    const std::wstring foundName = stem_ + kFoundSuffix;
    Opened found = OpenToWait(Kind::Event, foundName);
    if (found.absent && foundUnmuted) found.handle = CreateNew(Kind::Event, foundName);
    for (int slot = 0; slot < kHolderSlots; ++slot) {
      const std::wstring name = SlotName(slot);
      // Only a slot nothing stands under is free.
      if (!OpenToWait(Kind::Event, name).absent) continue;
      Handle event = CreateNew(Kind::Event, name);
      if (event.get() != nullptr) return std::make_unique<Win32HolderClaim>(std::move(event), std::move(found.handle));
    }
    return nullptr;
  }

 private:
  std::wstring SlotName(int slot) const { return stem_ + L"-" + std::to_wstring(slot); }

  std::wstring stem_;
  Handle mutex_;
};

}  // namespace

std::wstring EndpointHolderStem(const std::u16string& endpointId) {
  std::uint64_t hash = kFnvOffset;
  for (char16_t unit : endpointId) {
    hash ^= static_cast<std::uint8_t>(unit & 0xFF);
    hash *= kFnvPrime;
    hash ^= static_cast<std::uint8_t>(unit >> 8);
    hash *= kFnvPrime;
  }
  constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring stem = kNamePrefix;
  for (int shift = 60; shift >= 0; shift -= 4) stem += kHex[(hash >> shift) & 0xF];
  return stem;
}

EndpointLockTry Win32EndpointHolderSystem::Lock(const std::u16string& endpointId, std::uint32_t waitMs) {
  EndpointLockTry attempt;
  std::wstring stem = EndpointHolderStem(endpointId);
  Handle mutex = OpenOrCreate(Kind::Mutex, stem, &attempt.refused);
  if (mutex.get() == nullptr) return attempt;
  const DWORD start = GetTickCount();
  const DWORD waited = WaitForSingleObject(mutex.get(), waitMs);
  attempt.waitedMs = GetTickCount() - start;
  // An abandoned lock was a copy that died holding it: the claims tell the
  // truth all the same, since its own ended with it.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
    attempt.lock = std::make_unique<Win32HolderLock>(std::move(stem), std::move(mutex));
  }
  return attempt;
}

}  // namespace shadowpane
