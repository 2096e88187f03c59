#include "devices/win32/Win32EndpointHolders.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace shadowpane {

namespace {

constexpr wchar_t kNamePrefix[] = L"Global\\KSP2Endpoint-";
constexpr wchar_t kFoundSuffix[] = L"-found";
// Far more copies than sessions on any one machine.
constexpr int kHolderSlots = 32;
// A copy holds the lock only for a few endpoint calls; one that does not
// get it in this time acts as if alone rather than hang a refresh.
constexpr DWORD kLockWaitMs = 5000;
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
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

bool EventExists(const std::wstring& name) {
  Handle event(OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
  return event.get() != nullptr;
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
  Win32HolderLock(std::wstring stem, HANDLE mutex) : stem_(std::move(stem)), mutex_(mutex) {}
  ~Win32HolderLock() override { ReleaseMutex(mutex_.get()); }
  Win32HolderLock(const Win32HolderLock&) = delete;
  Win32HolderLock& operator=(const Win32HolderLock&) = delete;

  int Holders() override {
    int holders = 0;
    for (int slot = 0; slot < kHolderSlots; ++slot) holders += EventExists(SlotName(slot)) ? 1 : 0;
    return holders;
  }
  bool FoundUnmuted() override { return EventExists(stem_ + kFoundSuffix); }
  std::unique_ptr<EndpointHolderClaim> Claim(bool foundUnmuted) override {
    const std::wstring foundName = stem_ + kFoundSuffix;
    HANDLE existing = OpenEventW(SYNCHRONIZE, FALSE, foundName.c_str());
    Handle found(existing != nullptr || !foundUnmuted
                     ? existing
                     : CreateEventW(nullptr, TRUE, FALSE, foundName.c_str()));
    for (int slot = 0; slot < kHolderSlots; ++slot) {
      Handle event(CreateEventW(nullptr, TRUE, FALSE, SlotName(slot).c_str()));
      // An existing event is a slot a live copy holds.
      const bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
      if (event.get() != nullptr && !taken) {
        return std::make_unique<Win32HolderClaim>(std::move(event), std::move(found));
      }
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

std::unique_ptr<EndpointHolderLock> Win32EndpointHolderSystem::Lock(const std::u16string& endpointId) {
  std::wstring stem = EndpointHolderStem(endpointId);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, stem.c_str());
  if (mutex == nullptr) return nullptr;
  const DWORD waited = WaitForSingleObject(mutex, kLockWaitMs);
  // An abandoned lock was a copy that died holding it: the claims tell the
  // truth all the same, since its own ended with it.
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<Win32HolderLock>(std::move(stem), mutex);
}

}  // namespace shadowpane
