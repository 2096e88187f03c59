// Plugging and unplugging virtual devices: what the system device enumerator
// lists is the set of instance entries under HKCR\CLSID\{category}\Instance,
// each naming the COM class that creates its filter. Registering a device
// makes a fresh class for it (served by the test devices' DLL) and lists it;
// unregistering removes both, as unplugging removes a driver's entry.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane::virtualdevices {

// The DirectShow categories the devices are listed in.
extern const GUID kVideoInputCategory;
extern const GUID kAudioInputCategory;

// Full path of the test devices' DLL: beside the running executable.
std::wstring DevicesDllPath();

// Lists a camera with the given "FriendlyName" and "DevicePath"; *clsid
// receives its class. S_OK or the registry's error.
HRESULT RegisterVirtualCamera(const std::wstring& friendlyName, const std::wstring& devicePath,
                              GUID* clsid);
// Switches a listed camera between one client at a time (false) and
// sharing (true). Takes effect at its next open.
HRESULT SetCameraSharing(const GUID& clsid, bool shared);
// Lists a microphone with the given "FriendlyName" and "WaveInID"; its input
// starts switched on.
HRESULT RegisterVirtualMicrophone(const std::wstring& friendlyName, DWORD waveInId, GUID* clsid);
// Gives a listed microphone another "WaveInID", as the system renumbers its
// inputs when one before them goes away.
HRESULT RenumberVirtualMicrophone(const GUID& clsid, DWORD waveInId);
// Unlists the device and removes its class (safe to repeat).
void UnregisterVirtualDevice(const GUID& clsid);
// Removes every virtual device left registered in this prefix (by a test
// that crashed); returns how many.
int RemoveLeftoverVirtualDevices();

// Whether some graph, in any process, has the camera open (its capture pin
// connected). Works after the camera was unplugged too, to check that its
// last holder let go.
bool IsCameraOpen(const GUID& clsid);

// A device plugged in for the lifetime of the object.
class PluggedDevice {
 public:
  static PluggedDevice Camera(const std::wstring& friendlyName, const std::wstring& devicePath);
  // A camera the system shares: a second client opens it while one holds it.
  static PluggedDevice SharedCamera(const std::wstring& friendlyName, const std::wstring& devicePath);
  // A camera that opens its device only at pause: a second client connects
  // and is refused there.
  static PluggedDevice CameraOpeningAtPause(const std::wstring& friendlyName, const std::wstring& devicePath);
  static PluggedDevice Microphone(const std::wstring& friendlyName, DWORD waveInId);
  PluggedDevice(PluggedDevice&& other) noexcept;
  PluggedDevice& operator=(PluggedDevice&&) = delete;
  PluggedDevice(const PluggedDevice&) = delete;
  PluggedDevice& operator=(const PluggedDevice&) = delete;
  ~PluggedDevice();

  bool ok() const { return SUCCEEDED(result_); }
  HRESULT result() const { return result_; }
  const GUID& clsid() const { return clsid_; }
  const std::wstring& friendlyName() const { return friendlyName_; }
  void Unplug();

 private:
  PluggedDevice(HRESULT result, const GUID& clsid, std::wstring friendlyName);
  static PluggedDevice CameraWithFlag(const std::wstring& friendlyName, const std::wstring& devicePath,
                                      const wchar_t* flag);
  HRESULT result_;
  GUID clsid_;
  std::wstring friendlyName_;
  bool plugged_;
};

}  // namespace shadowpane::virtualdevices
