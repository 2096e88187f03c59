#include "devices/win32/Win32MutedEndpointsLock.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace shadowpane {

namespace {

// The user owns the mutex and alone has access to it (CreateMutexW opens
// an existing one with full access); the protected DACL inherits nothing.
std::wstring LockDescriptor(const std::wstring& sid) { return L"O:" + sid + L"D:P(A;;GA;;;" + sid + L")"; }

// Whether the mutex's owner is the SID `sid` (the one that made it).
bool OwnedBy(HANDLE mutex, PSID sid) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool same = owner != nullptr && EqualSid(owner, sid);
  LocalFree(descriptor);
  return same;
}

}  // namespace

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::wstring();
  DWORD bytes = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &bytes);
  std::vector<BYTE> buffer(bytes);
  std::wstring text;
  if (bytes != 0 && GetTokenInformation(token, TokenUser, buffer.data(), bytes, &bytes)) {
    LPWSTR sid = nullptr;
    if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
      text = sid;
      LocalFree(sid);
    }
  }
  CloseHandle(token);
  return text;
}

Win32MutedEndpointsLock::Win32MutedEndpointsLock() {
  const std::wstring sid = CurrentUserSid();
  if (sid.empty()) return;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(LockDescriptor(sid).c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const std::wstring name = kMutedEndpointsLockPrefix + sid;
  // Another user's copy cannot open it (the DACL); a mutex someone else
  // made first under this name is refused below (its owner).
  HANDLE mutex = CreateMutexW(&attributes, FALSE, name.c_str());
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  LocalFree(descriptor);
  if (mutex == nullptr) return;
  PSID userSid = nullptr;
  bool ours = !existed;
  if (existed && ConvertStringSidToSidW(sid.c_str(), &userSid)) {
    ours = OwnedBy(mutex, userSid);
    LocalFree(userSid);
  }
  if (!ours) {
    CloseHandle(mutex);
    return;
  }
  mutex_ = mutex;
}

Win32MutedEndpointsLock::~Win32MutedEndpointsLock() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool Win32MutedEndpointsLock::Lock() {
  if (mutex_ == nullptr) return false;
  const DWORD waited = WaitForSingleObject(mutex_, kMutedEndpointsLockWaitMs);
  // An abandoned lock was a copy that died between its read and its write:
  // the record holds either its old or its new text, both whole.
  return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void Win32MutedEndpointsLock::Unlock() {
  if (mutex_ != nullptr) ReleaseMutex(mutex_);
}

}  // namespace shadowpane
