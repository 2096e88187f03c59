#include "usage/win32/Win32AudioSessionSource.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <audiopolicy.h>

#include <atomic>
#include <memory>
#include <utility>

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
// Where the system will not tell of new sessions on an endpoint (its
// manager refused the registration), the thread reads it this often.
constexpr DWORD kUnnotifiedReadMs = 1000;

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

// Wakes the session thread at every call the system makes that may change
// a reading; reference-counted as COM wants, and owning its own copy of
// the wake handle, so a late call after the thread ended is still safe.
// Serves both a manager's new sessions and a session's events.
class SessionSink : public IAudioSessionNotification, public IAudioSessionEvents {
 public:
  explicit SessionSink(HANDLE wake) : wake_(wake) {}
  virtual ~SessionSink() {
    if (wake_ != nullptr) CloseHandle(wake_);
  }

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
  // No registering or unregistering here (the system forbids it inside a
  // callback): the thread does that at its next reading.
  HRESULT STDMETHODCALLTYPE OnSessionCreated(IAudioSessionControl*) override { return Wake(); }
  HRESULT STDMETHODCALLTYPE OnStateChanged(AudioSessionState) override { return Wake(); }
  HRESULT STDMETHODCALLTYPE OnSessionDisconnected(AudioSessionDisconnectReason) override { return Wake(); }
  HRESULT STDMETHODCALLTYPE OnDisplayNameChanged(LPCWSTR, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnIconPathChanged(LPCWSTR, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSimpleVolumeChanged(float, BOOL, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnChannelVolumeChanged(DWORD, float*, DWORD, LPCGUID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnGroupingParamChanged(LPCGUID, LPCGUID) override { return S_OK; }

  IAudioSessionNotification* AsNotification() { return this; }
  IAudioSessionEvents* AsEvents() { return this; }

 private:
  HRESULT Wake() {
    SetEvent(wake_);
    return S_OK;
  }

  HANDLE wake_;
  std::atomic<ULONG> references_{1};
};

// Releases the thread's own reference to the sink last of all.
struct SinkHolder {
  SessionSink* sink = nullptr;
  SinkHolder() = default;
  SinkHolder(const SinkHolder&) = delete;
  SinkHolder& operator=(const SinkHolder&) = delete;
  ~SinkHolder() {
    if (sink != nullptr) sink->AsNotification()->Release();
  }
};

WideString InstanceOf(IAudioSessionControl2* control) {
  LPWSTR instance = nullptr;
  if (FAILED(control->GetSessionInstanceIdentifier(&instance)) || instance == nullptr) return WideString();
  WideString id = AsCore(instance);
  CoTaskMemFree(instance);
  return id;
}

// One watched endpoint: its session manager, registered for new sessions,
// and each session followed, by instance, for its state. Made, read and
// released on the session thread only.
class EndpointWatch {
 public:
  EndpointWatch(ComRef<IAudioSessionManager2> manager, SessionSink* sink, bool registered)
      : manager_(std::move(manager)), sink_(sink), registered_(registered) {}
  EndpointWatch(const EndpointWatch&) = delete;
  EndpointWatch& operator=(const EndpointWatch&) = delete;
  ~EndpointWatch() {
    for (auto& session : sessions_) {
      if (session.second.control) session.second.control->UnregisterAudioSessionNotification(sink_->AsEvents());
      session.second.control.Reset();
    }
    if (registered_) manager_->UnregisterSessionNotification(sink_->AsNotification());
    manager_.Reset();
  }

  // Whether the system tells this manager's new sessions.
  bool registered() const { return registered_; }

  // Enumerates on the manager the notification was registered on; asking
  // the count is what lets the system send new-session notices.
  int Read(std::vector<AudioSessionUse>& sessions) {
    sessions.clear();
    ComRef<IAudioSessionEnumerator> enumerator;
    HRESULT result = manager_->GetSessionEnumerator(enumerator.Receive());
    if (FAILED(result)) return result;
    int count = 0;
    result = enumerator->GetCount(&count);
    if (FAILED(result)) return result;
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
      Follow(control.Get(), InstanceOf(control2.Get()));
    }
    Prune();
    return 1;
  }

 private:
  struct Followed {
    ComRef<IAudioSessionControl> control;
    bool seen = false;
  };

  void Follow(IAudioSessionControl* control, const WideString& instance) {
    Followed& followed = sessions_[instance];
    followed.seen = true;
    if (followed.control) return;
    if (SUCCEEDED(control->RegisterAudioSessionNotification(sink_->AsEvents()))) {
      control->AddRef();
      *followed.control.Receive() = control;
    }
  }
  // Stops following the sessions the last reading did not find.
  void Prune() {
    for (auto at = sessions_.begin(); at != sessions_.end();) {
      if (at->second.seen) {
        at->second.seen = false;
        ++at;
        continue;
      }
      if (at->second.control) at->second.control->UnregisterAudioSessionNotification(sink_->AsEvents());
      at = sessions_.erase(at);
    }
  }

  ComRef<IAudioSessionManager2> manager_;
  SessionSink* sink_;
  bool registered_;
  std::map<WideString, Followed> sessions_;
};

// 1 with the endpoint's session manager (registered for new sessions where
// the system allows it), 0 when there is no such endpoint, or a negative
// COM result.
int OpenWatch(IMMDeviceEnumerator* devices, const WideString& endpointId, SessionSink* sink,
              std::unique_ptr<EndpointWatch>& watch) {
  ComRef<IMMDevice> device;
  if (FAILED(devices->GetDevice(AsWide(endpointId.c_str()), device.Receive()))) return 0;
  ComRef<IAudioSessionManager2> manager;
  HRESULT result = device->Activate(kIidIAudioSessionManager2, CLSCTX_ALL, nullptr, manager.ReceiveVoid());
  if (FAILED(result)) return result;
  // A manager that refuses the registration is still read, on a period.
  const bool registered = SUCCEEDED(manager->RegisterSessionNotification(sink->AsNotification()));
  watch = std::make_unique<EndpointWatch>(std::move(manager), sink, registered);
  return 1;
}

bool SameSessions(const std::vector<AudioSessionUse>& a, const std::vector<AudioSessionUse>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].processId != b[i].processId || a[i].program != b[i].program || a[i].active != b[i].active) return false;
  }
  return true;
}

}  // namespace

// Everything the session thread holds, released in this order: the
// watches (each unregisters and lets its manager go), the device
// enumerator, the sink.
struct Win32AudioSessionSource::ThreadState {
  SinkHolder sink;
  ComRef<IMMDeviceEnumerator> devices;
  std::map<WideString, std::unique_ptr<EndpointWatch>> watches;
  std::vector<WideString> unopened;  // asked for, not opened yet: tried again at every wake
  ~ThreadState() {
    watches.clear();
    devices.Reset();
  }
};

Win32AudioSessionSource::~Win32AudioSessionSource() { StopWatching(); }

int Win32AudioSessionSource::ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) {
  sessions.clear();
  std::lock_guard<std::mutex> hold(lock_);
  const auto found = readings_.find(WideString(endpointId));
  if (found == readings_.end() || !found->second.answered) return 0;
  sessions = found->second.sessions;
  return found->second.result;
}

int Win32AudioSessionSource::Watch(WideView endpointId, UsageNotice& notice) {
  if (!thread_.joinable()) {
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wake == nullptr || stop == nullptr) {
      if (wake != nullptr) CloseHandle(wake);
      if (stop != nullptr) CloseHandle(stop);
      return 0;
    }
    wake_ = wake;
    stop_ = stop;
    notice_ = &notice;
    thread_ = std::thread(&Win32AudioSessionSource::Run, this);
  }
  const WideString id(endpointId);
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (readings_.count(id) != 0) return 1;
    readings_[id] = Reading();
    wanted_.push_back(id);
  }
  SetEvent(static_cast<HANDLE>(wake_));
  return 1;
}

void Win32AudioSessionSource::StopWatching() {
  if (!thread_.joinable()) return;
  SetEvent(static_cast<HANDLE>(stop_));
  thread_.join();
  CloseHandle(static_cast<HANDLE>(wake_));
  CloseHandle(static_cast<HANDLE>(stop_));
  wake_ = nullptr;
  stop_ = nullptr;
  notice_ = nullptr;
  std::lock_guard<std::mutex> hold(lock_);
  readings_.clear();
  wanted_.clear();
}

bool Win32AudioSessionSource::Publish(const WideString& endpointId, int result,
                                      std::vector<AudioSessionUse> sessions) {
  std::lock_guard<std::mutex> hold(lock_);
  Reading& reading = readings_[endpointId];
  if (reading.answered && reading.result == result && SameSessions(reading.sessions, sessions)) return false;
  reading.answered = true;
  reading.result = result;
  reading.sessions = std::move(sessions);
  return true;
}

// The session thread.
void Win32AudioSessionSource::Run() {
  const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    ThreadState state;
    HANDLE sinkWake = nullptr;
    const HRESULT ready =
        FAILED(apartment) ? apartment
        : !DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(wake_), GetCurrentProcess(), &sinkWake, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)
            ? HRESULT_FROM_WIN32(GetLastError())
            : CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIidIMMDeviceEnumerator,
                               state.devices.ReceiveVoid());
    if (sinkWake != nullptr) state.sink.sink = new SessionSink(sinkWake);
    const HANDLE waits[] = {static_cast<HANDLE>(stop_), static_cast<HANDLE>(wake_)};
    for (;;) {
      {
        std::lock_guard<std::mutex> hold(lock_);
        state.unopened.insert(state.unopened.end(), wanted_.begin(), wanted_.end());
        wanted_.clear();
      }
      bool changed = false;
      for (auto at = state.unopened.begin(); at != state.unopened.end();) {
        std::unique_ptr<EndpointWatch> watch;
        const int opened = FAILED(ready) ? static_cast<int>(ready) : OpenWatch(state.devices.Get(), *at, state.sink.sink, watch);
        if (opened != 1) {
          changed = Publish(*at, opened, {}) || changed;
          ++at;
          continue;
        }
        state.watches[*at] = std::move(watch);
        at = state.unopened.erase(at);
      }
      bool unnotified = false;
      for (auto& watch : state.watches) {
        unnotified = unnotified || !watch.second->registered();
        std::vector<AudioSessionUse> sessions;
        const int read = watch.second->Read(sessions);
        changed = Publish(watch.first, read, read == 1 ? std::move(sessions) : std::vector<AudioSessionUse>()) || changed;
      }
      if (changed) notice_->UsageChanged();
      const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, unnotified ? kUnnotifiedReadMs : INFINITE);
      if (woke != WAIT_OBJECT_0 + 1 && woke != WAIT_TIMEOUT) break;
    }
  }
  if (SUCCEEDED(apartment)) CoUninitialize();
}

}  // namespace shadowpane
