#include "usage/win32/Win32AudioSessionSource.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <audiopolicy.h>

#include <atomic>

#include "core/win32/TextCast.h"
#include "devices/win32/ComRef.h"

namespace shadowpane {

namespace {

const GUID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const GUID kIidIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const GUID kIidIAudioSessionManager2 = {
    0x77AA99A0, 0x1BD6, 0x484F, {0x8B, 0xC7, 0x2C, 0x65, 0x4C, 0x9A, 0x9B, 0x6F}};
const GUID kIidIAudioSessionControl2 = {
    0xBFB7FF88, 0x7239, 0x4FC9, {0x8F, 0xA2, 0x07, 0xC9, 0x50, 0xBE, 0x9C, 0x6D}};
const GUID kIidIAudioSessionNotification = {
    0x641DD20B, 0x4D41, 0x49CC, {0xAB, 0xA3, 0x17, 0x4B, 0x94, 0x77, 0xBB, 0x08}};
const GUID kIidIAudioSessionEvents = {
    0x24918ACC, 0x64B3, 0x37C1, {0x8C, 0xA9, 0x74, 0xA6, 0x6E, 0x99, 0x57, 0xA8}};
const GUID kIidIUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// PROCESS_QUERY_LIMITED_INFORMATION: enough for the image name, and granted
// for more processes than a full query.
constexpr DWORD kProcessQueryLimited = 0x1000;
constexpr DWORD kImagePathUnits = 32768;
using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

// The program of a process, by its image path; looked up at run time so
// that the program still starts where the call does not exist.
WideString ProgramOf(DWORD processId) {
  if (processId == 0) return ProgramOfProcess(0, false, WideView());
  static const QueryImageName query = reinterpret_cast<QueryImageName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
  HANDLE process = query != nullptr ? OpenProcess(kProcessQueryLimited, FALSE, processId) : nullptr;
  if (process == nullptr) return ProgramOfProcess(processId, false, WideView());
  std::vector<wchar_t> path(kImagePathUnits);
  DWORD units = kImagePathUnits;
  const bool named = query(process, 0, path.data(), &units) != FALSE;
  CloseHandle(process);
  return ProgramOfProcess(processId, named, named ? WideView(AsCore(path.data()), units) : WideView());
}

// Tells the notice of every call the system makes; reference-counted as
// COM wants. Serves both a manager's new sessions and a session's events.
class SessionSink : public IAudioSessionNotification, public IAudioSessionEvents {
 public:
  explicit SessionSink(UsageNotice& notice) : notice_(notice) {}
  virtual ~SessionSink() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualGUID(iid, kIidIUnknown) || IsEqualGUID(iid, kIidIAudioSessionNotification)) {
      *out = static_cast<IAudioSessionNotification*>(this);
    } else if (IsEqualGUID(iid, kIidIAudioSessionEvents)) {
      *out = static_cast<IAudioSessionEvents*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE OnSessionCreated(IAudioSessionControl*) override { return Tell(); }
  HRESULT STDMETHODCALLTYPE OnStateChanged(AudioSessionState) override { return Tell(); }
  HRESULT STDMETHODCALLTYPE OnSessionDisconnected(AudioSessionDisconnectReason) override { return Tell(); }
  HRESULT STDMETHODCALLTYPE OnDisplayNameChanged(LPCWSTR, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnIconPathChanged(LPCWSTR, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSimpleVolumeChanged(float, BOOL, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnChannelVolumeChanged(DWORD, float*, DWORD, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnGroupingParamChanged(LPCGUID, LPCGUID) override { return S_OK; }

  // After it, no call of the system reaches the notice.
  void Silence() { silenced_ = true; }

 private:
  HRESULT Tell() {
    if (!silenced_) notice_.UsageChanged();
    return S_OK;
  }

  UsageNotice& notice_;
  std::atomic<ULONG> references_{1};
  std::atomic<bool> silenced_{false};
};

int OpenManager(WideView endpointId, ComRef<IAudioSessionManager2>& manager) {
  ComRef<IMMDeviceEnumerator> enumerator;
  HRESULT result = CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIidIMMDeviceEnumerator,
                                    enumerator.ReceiveVoid());
  if (FAILED(result)) return result;
  const WideString id(endpointId);
  ComRef<IMMDevice> device;
  result = enumerator->GetDevice(AsWide(id.c_str()), device.Receive());
  if (FAILED(result)) return 0;  // no such endpoint
  result = device->Activate(kIidIAudioSessionManager2, CLSCTX_ALL, nullptr, manager.ReceiveVoid());
  return FAILED(result) ? static_cast<int>(result) : 1;
}

WideString InstanceOf(IAudioSessionControl2* control) {
  LPWSTR instance = nullptr;
  if (FAILED(control->GetSessionInstanceIdentifier(&instance)) || instance == nullptr) return WideString();
  WideString id = AsCore(instance);
  CoTaskMemFree(instance);
  return id;
}

}  // namespace

// One watched endpoint: its manager with the sink for new sessions, and
// each session followed, by instance, with the sink for its events.
struct Win32AudioSessionSource::EndpointWatch {
  struct Followed {
    ComRef<IAudioSessionControl> control;
    bool seen = false;
  };
  ComRef<IAudioSessionManager2> manager;
  SessionSink* sink = nullptr;
  std::map<WideString, Followed> sessions;

  void Follow(IAudioSessionControl* control, const WideString& instance) {
    Followed& followed = sessions[instance];
    followed.seen = true;
    if (followed.control) return;
    if (SUCCEEDED(control->RegisterAudioSessionNotification(static_cast<IAudioSessionEvents*>(sink)))) {
      control->AddRef();
      *followed.control.Receive() = control;
    }
  }
  // Stops following the sessions the last read did not find.
  void Prune() {
    for (auto at = sessions.begin(); at != sessions.end();) {
      if (at->second.seen) {
        at->second.seen = false;
        ++at;
        continue;
      }
      if (at->second.control) {
        at->second.control->UnregisterAudioSessionNotification(static_cast<IAudioSessionEvents*>(sink));
      }
      at = sessions.erase(at);
    }
  }
  ~EndpointWatch() {
    sink->Silence();
    for (auto& session : sessions) {
      if (session.second.control) {
        session.second.control->UnregisterAudioSessionNotification(static_cast<IAudioSessionEvents*>(sink));
      }
      session.second.control.Reset();
    }
    if (manager) manager->UnregisterSessionNotification(static_cast<IAudioSessionNotification*>(sink));
    manager.Reset();
    static_cast<IAudioSessionNotification*>(sink)->Release();
  }
};

Win32AudioSessionSource::Win32AudioSessionSource() = default;
Win32AudioSessionSource::~Win32AudioSessionSource() { StopWatching(); }

int Win32AudioSessionSource::ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) {
  sessions.clear();
  ComRef<IAudioSessionManager2> manager;
  const int opened = OpenManager(endpointId, manager);
  if (opened != 1) return opened;
  ComRef<IAudioSessionEnumerator> enumerator;
  HRESULT result = manager->GetSessionEnumerator(enumerator.Receive());
  if (FAILED(result)) return result;
  int count = 0;
  result = enumerator->GetCount(&count);
  if (FAILED(result)) return result;
  const auto watch = watches_.find(WideString(endpointId));
  for (int i = 0; i < count; ++i) {
    ComRef<IAudioSessionControl> control;
    if (FAILED(enumerator->GetSession(i, control.Receive()))) continue;
    ComRef<IAudioSessionControl2> control2;
    if (FAILED(control->QueryInterface(kIidIAudioSessionControl2, control2.ReceiveVoid()))) continue;
    AudioSessionState state = AudioSessionStateInactive;
    DWORD processId = 0;
    // A session of several processes answers a success code and the first.
    if (FAILED(control->GetState(&state)) || FAILED(control2->GetProcessId(&processId))) continue;
    if (state == AudioSessionStateExpired) continue;
    sessions.push_back(AudioSessionUse{processId, ProgramOf(processId), state == AudioSessionStateActive});
    if (watch != watches_.end()) watch->second->Follow(control.Get(), InstanceOf(control2.Get()));
  }
  if (watch != watches_.end()) watch->second->Prune();
  return 1;
}

int Win32AudioSessionSource::Watch(WideView endpointId, UsageNotice& notice) {
  const WideString id(endpointId);
  if (watches_.count(id) != 0) return 1;
  auto watch = std::make_unique<EndpointWatch>();
  watch->sink = new SessionSink(notice);
  const int opened = OpenManager(endpointId, watch->manager);
  if (opened != 1) return opened;
  HRESULT result = watch->manager->RegisterSessionNotification(static_cast<IAudioSessionNotification*>(watch->sink));
  if (FAILED(result)) {
    watch->manager.Reset();
    return result;
  }
  watches_[id] = std::move(watch);
  // The system tells of new sessions only after an enumeration; this read
  // is it, and it starts following the sessions already there.
  std::vector<AudioSessionUse> sessions;
  ReadSessions(endpointId, sessions);
  return 1;
}

void Win32AudioSessionSource::StopWatching() { watches_.clear(); }

}  // namespace shadowpane
