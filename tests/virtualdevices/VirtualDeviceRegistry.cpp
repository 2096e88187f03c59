#include "tests/virtualdevices/VirtualDeviceRegistry.h"

#include <objbase.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "tests/virtualdevices/VirtualDeviceKeys.h"

namespace shadowpane::virtualdevices {

// {860BB310-5D01-11D0-BD3B-00A0C911CE86}
const GUID kVideoInputCategory = {0x860BB310, 0x5D01, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
// {33D9A762-90C8-11D0-BD43-00A0C911CE86}
const GUID kAudioInputCategory = {0x33D9A762, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

namespace {

constexpr wchar_t kClassDescription[] = L"Shadowpane test capture device";
constexpr wchar_t kThreadingModel[] = L"Both";

std::wstring InstanceKeyPath(const GUID& category, const GUID& clsid) {
  return ClassKeyPath(category) + L"\\Instance\\" + GuidText(clsid);
}

LONG SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG SetNumber(HKEY key, const wchar_t* name, DWORD number) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

// Names of a key's direct subkeys; none when it cannot be opened.
std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  RegistryKey key(root, path, KEY_READ);
  if (key.get() == nullptr) return names;
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = 256;
    if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

// Deletes a key with everything below it (RegDeleteTree is not on every
// version the program supports).
void DeleteTree(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> children = SubkeyNames(root, path);
  for (const std::wstring& child : children) DeleteTree(root, path + L"\\" + child);
  RegDeleteKeyW(root, path.c_str());
}

// A key created (or opened) for writing.
class WritableKey : public RegistryKey {
 public:
  WritableKey(HKEY root, const std::wstring& path)
      : RegistryKey(root, path, KEY_READ | KEY_WRITE, Mode::CreateIfMissing) {}
};

// First failing status of a list, or success.
LONG FirstFailure(std::initializer_list<LONG> statuses) {
  for (LONG status : statuses) {
    if (status != ERROR_SUCCESS) return status;
  }
  return ERROR_SUCCESS;
}

// Writes the class (kind, server) and returns its id; the instance entry is
// written by the caller so that its properties can differ per category.
LONG RegisterDeviceClass(const wchar_t* kind, GUID* clsid) {
  if (FAILED(CoCreateGuid(clsid))) return ERROR_GEN_FAILURE;
  WritableKey classKey(HKEY_CLASSES_ROOT, ClassKeyPath(*clsid));
  if (classKey.get() == nullptr) return classKey.status();
  WritableKey server(HKEY_CLASSES_ROOT, ClassKeyPath(*clsid) + L"\\InprocServer32");
  if (server.get() == nullptr) return server.status();
  return FirstFailure({SetText(classKey.get(), nullptr, kClassDescription),
                       SetText(classKey.get(), kKindValue, kind),
                       SetText(server.get(), nullptr, DevicesDllPath()),
                       SetText(server.get(), L"ThreadingModel", kThreadingModel)});
}

HRESULT Finish(LONG status, const GUID& clsid) {
  if (status == ERROR_SUCCESS) return S_OK;
  UnregisterVirtualDevice(clsid);
  return HRESULT_FROM_WIN32(status);
}

bool IsVirtualDeviceClass(const std::wstring& clsidText) {
  RegistryKey key(HKEY_CLASSES_ROOT, L"CLSID\\" + clsidText, KEY_QUERY_VALUE);
  return key.get() != nullptr &&
         RegQueryValueExW(key.get(), kKindValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int RemoveLeftoversOf(const GUID& category) {
  std::wstring instances = ClassKeyPath(category) + L"\\Instance";
  std::vector<std::wstring> ours;
  for (const std::wstring& entry : SubkeyNames(HKEY_CLASSES_ROOT, instances)) {
    // Our instance keys are named after their class.
    if (IsVirtualDeviceClass(entry)) ours.push_back(entry);
  }
  for (const std::wstring& entry : ours) {
    DeleteTree(HKEY_CLASSES_ROOT, instances + L"\\" + entry);
    DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\" + entry);
  }
  return static_cast<int>(ours.size());
}

}  // namespace

std::wstring DevicesDllPath() {
  wchar_t module[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module, length);
  size_t slash = path.find_last_of(L"\\/");
  path = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  return path + kDllFileName;
}

HRESULT RegisterVirtualCamera(const std::wstring& friendlyName, const std::wstring& devicePath,
                              GUID* clsid) {
  LONG status = RegisterDeviceClass(kKindCamera, clsid);
  if (status == ERROR_SUCCESS) {
    WritableKey entry(HKEY_CLASSES_ROOT, InstanceKeyPath(kVideoInputCategory, *clsid));
    status = entry.get() == nullptr ? entry.status()
                                    : FirstFailure({SetText(entry.get(), L"FriendlyName", friendlyName),
                                                    SetText(entry.get(), L"DevicePath", devicePath),
                                                    SetText(entry.get(), L"CLSID", GuidText(*clsid))});
  }
  return Finish(status, *clsid);
}

HRESULT SetCameraFlag(const GUID& clsid, const wchar_t* name, bool on) {
  RegistryKey classKey(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), KEY_SET_VALUE);
  if (classKey.get() == nullptr) return HRESULT_FROM_WIN32(classKey.status());
  return HRESULT_FROM_WIN32(SetNumber(classKey.get(), name, on ? 1 : 0));
}

HRESULT SetCameraSharing(const GUID& clsid, bool shared) { return SetCameraFlag(clsid, kSharedAccessValue, shared); }

HRESULT RegisterVirtualMicrophone(const std::wstring& friendlyName, DWORD waveInId, GUID* clsid) {
  LONG status = RegisterDeviceClass(kKindMicrophone, clsid);
  if (status == ERROR_SUCCESS) {
    WritableKey classKey(HKEY_CLASSES_ROOT, ClassKeyPath(*clsid));
    WritableKey entry(HKEY_CLASSES_ROOT, InstanceKeyPath(kAudioInputCategory, *clsid));
    status = entry.get() == nullptr ? entry.status()
                                    : FirstFailure({SetNumber(classKey.get(), kInputEnabledValue, 1),
                                                    SetText(entry.get(), L"FriendlyName", friendlyName),
                                                    SetNumber(entry.get(), L"WaveInID", waveInId),
                                                    SetText(entry.get(), L"CLSID", GuidText(*clsid))});
  }
  return Finish(status, *clsid);
}

HRESULT RenumberVirtualMicrophone(const GUID& clsid, DWORD waveInId) {
  RegistryKey entry(HKEY_CLASSES_ROOT, InstanceKeyPath(kAudioInputCategory, clsid), KEY_SET_VALUE);
  if (entry.get() == nullptr) return HRESULT_FROM_WIN32(entry.status());
  return HRESULT_FROM_WIN32(SetNumber(entry.get(), L"WaveInID", waveInId));
}

void UnregisterVirtualDevice(const GUID& clsid) {
  DeleteTree(HKEY_CLASSES_ROOT, InstanceKeyPath(kVideoInputCategory, clsid));
  DeleteTree(HKEY_CLASSES_ROOT, InstanceKeyPath(kAudioInputCategory, clsid));
  DeleteTree(HKEY_CLASSES_ROOT, ClassKeyPath(clsid));
}

int RemoveLeftoverVirtualDevices() {
  return RemoveLeftoversOf(kVideoInputCategory) + RemoveLeftoversOf(kAudioInputCategory);
}

bool IsCameraOpen(const GUID& clsid) {
  HANDLE probe = CreateFileW(CameraLockFilePath(clsid).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);  // a leftover file nobody holds
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

// ---- PluggedDevice ----

PluggedDevice::PluggedDevice(HRESULT result, const GUID& clsid, std::wstring friendlyName)
    : result_(result), clsid_(clsid), friendlyName_(std::move(friendlyName)), plugged_(SUCCEEDED(result)) {}

PluggedDevice PluggedDevice::Camera(const std::wstring& friendlyName, const std::wstring& devicePath) {
  GUID clsid = {};
  HRESULT hr = RegisterVirtualCamera(friendlyName, devicePath, &clsid);
  return PluggedDevice(hr, clsid, friendlyName);
}

PluggedDevice PluggedDevice::CameraWithFlag(const std::wstring& friendlyName, const std::wstring& devicePath,
                                            const wchar_t* flag) {
  GUID clsid = {};
  HRESULT hr = RegisterVirtualCamera(friendlyName, devicePath, &clsid);
  if (SUCCEEDED(hr)) {
    hr = SetCameraFlag(clsid, flag, true);
    if (FAILED(hr)) UnregisterVirtualDevice(clsid);
  }
  return PluggedDevice(hr, clsid, friendlyName);
}

PluggedDevice PluggedDevice::SharedCamera(const std::wstring& friendlyName, const std::wstring& devicePath) {
  return CameraWithFlag(friendlyName, devicePath, kSharedAccessValue);
}

PluggedDevice PluggedDevice::CameraOpeningAtPause(const std::wstring& friendlyName, const std::wstring& devicePath) {
  return CameraWithFlag(friendlyName, devicePath, kOpenAtPauseValue);
}

PluggedDevice PluggedDevice::Microphone(const std::wstring& friendlyName, DWORD waveInId) {
  GUID clsid = {};
  HRESULT hr = RegisterVirtualMicrophone(friendlyName, waveInId, &clsid);
  return PluggedDevice(hr, clsid, friendlyName);
}

PluggedDevice::PluggedDevice(PluggedDevice&& other) noexcept
    : result_(other.result_),
      clsid_(other.clsid_),
      friendlyName_(std::move(other.friendlyName_)),
      plugged_(other.plugged_) {
  other.plugged_ = false;
}

PluggedDevice::~PluggedDevice() { Unplug(); }

void PluggedDevice::Unplug() {
  if (!plugged_) return;
  UnregisterVirtualDevice(clsid_);
  plugged_ = false;
}

}  // namespace shadowpane::virtualdevices
