// What the test devices' DLL and the code that registers them agree on: the
// registry values that mark a class as one of our virtual devices, and the
// names of the per-instance state other processes share.
//
// Each registered device is its own COM class (a CLSID made at registration),
// so the class id alone tells the DLL which instance it is creating.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane::virtualdevices {

// Under HKCR\CLSID\{instance class}: which kind of device the class is.
constexpr wchar_t kKindValue[] = L"ShadowpaneVirtualDevice";
constexpr wchar_t kKindCamera[] = L"camera";
constexpr wchar_t kKindMicrophone[] = L"microphone";

// Under HKCR\CLSID\{instance class} of a microphone: the analog input's
// enable state (REG_DWORD 0/1) and the recent history of put_Enable values
// as a string of '0' and '1', oldest first.
constexpr wchar_t kInputEnabledValue[] = L"InputEnabled";
constexpr wchar_t kEnableHistoryValue[] = L"EnableHistory";
// The history keeps the newest this many writes.
constexpr size_t kEnableHistoryLength = 200;

// The module the classes are served from, found beside the test programs.
constexpr wchar_t kDllFileName[] = L"shadowpane_virtualdevices.dll";

// "{xxxxxxxx-...}" form of a class id.
std::wstring GuidText(const GUID& guid);

// HKCR-relative key of a class: "CLSID\{...}".
std::wstring ClassKeyPath(const GUID& clsid);

// Under HKCR\CLSID\{instance class} of a camera: REG_DWORD 1 when the
// system shares the camera between clients (newer systems do), so a second
// client opens it while another holds it; absent or 0: one client at a time.
// Read at each open, as a driver decides at open time.
constexpr wchar_t kSharedAccessValue[] = L"SharedAccess";

// Whether the camera of that class is shared between clients now.
bool CameraIsShared(const GUID& clsid);

// Under the same key: REG_DWORD 1 when the camera opens its device only as
// it pauses, not when its pin connects, so a second client connects and is
// refused at pause, where a graph's own answer can hide the refusal.
constexpr wchar_t kOpenAtPauseValue[] = L"OpenAtPause";
bool CameraOpensAtPause(const GUID& clsid);

// A camera is opened exclusively by holding this file open without sharing:
// like a capture driver, the open fails for everyone else until it is closed,
// and a process that dies releases it with its handles.
std::wstring CameraLockFilePath(const GUID& clsid);

// Serialises read-modify-write of a microphone's shared history across
// processes.
std::wstring MicrophoneMutexName(const GUID& clsid);

// An open registry key, closed with the object. get() is null when the key
// could not be opened (or created); status() says why.
class RegistryKey {
 public:
  enum class Mode { OpenExisting, CreateIfMissing };
  RegistryKey(HKEY root, const std::wstring& path, REGSAM access, Mode mode = Mode::OpenExisting);
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY get() const { return key_; }
  LONG status() const { return status_; }

 private:
  HKEY key_ = nullptr;
  LONG status_;
};

}  // namespace shadowpane::virtualdevices
