#include "tests/virtualdevices/MicrophoneInputStore.h"

#include "tests/virtualdevices/VirtualDeviceKeys.h"

namespace shadowpane::virtualdevices {

namespace {

// Holds the cross-process mutex that serialises history updates.
class HistoryGuard {
 public:
  explicit HistoryGuard(const GUID& clsid)
      : mutex_(CreateMutexW(nullptr, FALSE, MicrophoneMutexName(clsid).c_str())) {
    if (mutex_ != nullptr) WaitForSingleObject(mutex_, INFINITE);
  }
  ~HistoryGuard() {
    if (mutex_ == nullptr) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  HistoryGuard(const HistoryGuard&) = delete;
  HistoryGuard& operator=(const HistoryGuard&) = delete;

 private:
  HANDLE mutex_;
};

class ClassKey : public RegistryKey {
 public:
  ClassKey(const GUID& clsid, REGSAM access) : RegistryKey(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), access) {}
};

std::wstring ReadHistory(HKEY key) {
  // Room for a full history, its terminator, and a unit that stays zero so
  // the text is terminated whatever was stored.
  wchar_t text[kEnableHistoryLength + 2] = {};
  DWORD type = 0;
  DWORD bytes = sizeof(text) - sizeof(wchar_t);
  if (RegQueryValueExW(key, kEnableHistoryValue, nullptr, &type, reinterpret_cast<BYTE*>(text),
                       &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::wstring();
  }
  return std::wstring(text);
}

LONG WriteHistory(HKEY key, const std::wstring& history) {
  return RegSetValueExW(key, kEnableHistoryValue, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(history.c_str()),
                        static_cast<DWORD>((history.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

HRESULT WriteInputEnabled(const GUID& clsid, bool enabled) {
  ClassKey key(clsid, KEY_QUERY_VALUE | KEY_SET_VALUE);
  if (key.get() == nullptr) return HRESULT_FROM_WIN32(key.status());
  HistoryGuard guard(clsid);
  DWORD value = enabled ? 1 : 0;
  LONG status = RegSetValueExW(key.get(), kInputEnabledValue, 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&value), sizeof(value));
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  std::wstring history = ReadHistory(key.get());
  history.push_back(enabled ? L'1' : L'0');
  if (history.size() > kEnableHistoryLength) history.erase(0, history.size() - kEnableHistoryLength);
  status = WriteHistory(key.get(), history);
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT ReadInputEnabled(const GUID& clsid, bool* enabled) {
  if (enabled == nullptr) return E_POINTER;
  ClassKey key(clsid, KEY_QUERY_VALUE);
  if (key.get() == nullptr) return HRESULT_FROM_WIN32(key.status());
  DWORD value = 1;
  DWORD type = 0;
  DWORD bytes = sizeof(value);
  LONG status = RegQueryValueExW(key.get(), kInputEnabledValue, nullptr, &type,
                                 reinterpret_cast<BYTE*>(&value), &bytes);
  if (status == ERROR_FILE_NOT_FOUND) {
    value = 1;
  } else if (status != ERROR_SUCCESS || type != REG_DWORD) {
    return status != ERROR_SUCCESS ? HRESULT_FROM_WIN32(status) : E_UNEXPECTED;
  }
  *enabled = value != 0;
  return S_OK;
}

std::wstring ReadEnableHistory(const GUID& clsid) {
  ClassKey key(clsid, KEY_QUERY_VALUE);
  if (key.get() == nullptr) return std::wstring();
  HistoryGuard guard(clsid);
  return ReadHistory(key.get());
}

void ClearEnableHistory(const GUID& clsid) {
  ClassKey key(clsid, KEY_SET_VALUE);
  if (key.get() == nullptr) return;
  HistoryGuard guard(clsid);
  RegDeleteValueW(key.get(), kEnableHistoryValue);
}

}  // namespace shadowpane::virtualdevices
