// The user's lock on the record of muted endpoints: a named mutex in the
// global namespace, so the copies in every session of this user share it,
// named after the user's SID, so each user has one of their own. Its
// security descriptor makes the user its owner and grants access to the
// user alone; one that exists with another owner was put there by someone
// else and is not used.
#pragma once

#include <windows.h>

#include <string>

#include "devices/MutedEndpoints.h"

namespace shadowpane {

constexpr wchar_t kMutedEndpointsLockPrefix[] = L"Global\\KSP2MutedEndpoints-";
// A copy holds the lock for one read and one write of the record.
constexpr DWORD kMutedEndpointsLockWaitMs = 2000;

class Win32MutedEndpointsLock : public MutedEndpointsLock {
 public:
  Win32MutedEndpointsLock();
  ~Win32MutedEndpointsLock() override;
  Win32MutedEndpointsLock(const Win32MutedEndpointsLock&) = delete;
  Win32MutedEndpointsLock& operator=(const Win32MutedEndpointsLock&) = delete;

  bool Lock() override;
  void Unlock() override;
  // Whether the mutex could be had at all (false: squatted or refused).
  bool Available() const { return mutex_ != nullptr; }

 private:
  HANDLE mutex_ = nullptr;
};

// The current user's SID in its string form; empty when it cannot be read.
std::wstring CurrentUserSid();

}  // namespace shadowpane
