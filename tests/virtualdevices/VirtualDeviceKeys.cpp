#include "tests/virtualdevices/VirtualDeviceKeys.h"

#include <objbase.h>

namespace shadowpane::virtualdevices {

std::wstring GuidText(const GUID& guid) {
  wchar_t text[64] = {};
  StringFromGUID2(guid, text, 64);
  return text;
}

std::wstring ClassKeyPath(const GUID& clsid) { return L"CLSID\\" + GuidText(clsid); }

std::wstring CameraLockFilePath(const GUID& clsid) {
  wchar_t folder[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH, folder);
  std::wstring path = (length > 0 && length <= MAX_PATH) ? std::wstring(folder) : std::wstring(L".\\");
  return path + L"shadowpane-virtual-camera-" + GuidText(clsid) + L".lock";
}

std::wstring MicrophoneMutexName(const GUID& clsid) {
  return L"ShadowpaneVirtualMicrophone-" + GuidText(clsid);
}

namespace {
bool CameraFlag(const GUID& clsid, const wchar_t* name) {
  RegistryKey key(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), KEY_QUERY_VALUE);
  if (key.get() == nullptr) return false;
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
    return false;
  }
  return type == REG_DWORD && value != 0;
}
}  // namespace

bool CameraIsShared(const GUID& clsid) { return CameraFlag(clsid, kSharedAccessValue); }

bool CameraOpensAtPause(const GUID& clsid) { return CameraFlag(clsid, kOpenAtPauseValue); }

RegistryKey::RegistryKey(HKEY root, const std::wstring& path, REGSAM access, Mode mode) {
  status_ = mode == Mode::CreateIfMissing
                ? RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr)
                : RegOpenKeyExW(root, path.c_str(), 0, access, &key_);
  if (status_ != ERROR_SUCCESS) key_ = nullptr;
}

RegistryKey::~RegistryKey() {
  if (key_ != nullptr) RegCloseKey(key_);
}

}  // namespace shadowpane::virtualdevices
