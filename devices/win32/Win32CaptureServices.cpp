#include "devices/win32/Win32CaptureServices.h"

#include <windows.h>
#include <process.h>

#include "core/win32/TextCast.h"
#include "devices/win32/DirectShowIds.h"
#include "devices/win32/Win32AudioEndpoint.h"
#include "devices/win32/Win32DeviceEnumeration.h"
#include "devices/win32/Win32GraphObjects.h"
#include "devices/win32/Win32WaveMixer.h"

namespace shadowpane {

namespace {

// CoCreateInstance(clsid, no outer object, CLSCTX_INPROC_SERVER, iid) into
// a wrapper of the interface.
template <typename Wrapper, typename Interface, typename Base>
HResult CreateInProc(const GUID& clsid, const GUID& iid, std::unique_ptr<Base>* out) {
  ComRef<Interface> ref;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, ref.ReceiveVoid());
  if (FAILED(hr)) return hr;
  if (!ref) return E_NOINTERFACE;
  *out = std::make_unique<Wrapper>(std::move(ref));
  return hr;
}

// What a new thread runs; owned by the thread once it has started.
struct ThreadStart {
  ThreadEntry entry;
  void* argument;
};

unsigned __stdcall RunThread(void* start) {
  const ThreadStart run = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  run.entry(run.argument);
  return 0;
}

// An auto-reset event, not set at first.
class Win32WakeSignal : public WakeSignal {
 public:
  explicit Win32WakeSignal(HANDLE event) : event_(event) {}
  ~Win32WakeSignal() override { CloseHandle(event_); }
  Win32WakeSignal(const Win32WakeSignal&) = delete;
  Win32WakeSignal& operator=(const Win32WakeSignal&) = delete;
  void Set() override { SetEvent(event_); }
  HANDLE event() const { return event_; }

 private:
  HANDLE event_;
};

class Win32WorkerThread : public WorkerThread {
 public:
  explicit Win32WorkerThread(HANDLE handle) : handle_(handle) {}
  ~Win32WorkerThread() override { CloseHandle(handle_); }
  Win32WorkerThread(const Win32WorkerThread&) = delete;
  Win32WorkerThread& operator=(const Win32WorkerThread&) = delete;
  void Join() override { WaitForSingleObject(handle_, INFINITE); }

 private:
  HANDLE handle_;
};

}  // namespace

HResult Win32CaptureServices::CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) {
  return CreateInProc<Win32DeviceEnumerator, ICreateDevEnum>(kClsidSystemDeviceEnum,
                                                             kIidICreateDevEnum, enumerator);
}

HResult Win32CaptureServices::CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) {
  return CreateInProc<Win32FilterGraph, IGraphBuilder>(kClsidFilterGraph, kIidIGraphBuilder, graph);
}

HResult Win32CaptureServices::CreateCaptureGraphBuilder(
    std::unique_ptr<CaptureGraphBuilder>* builder) {
  return CreateInProc<Win32CaptureGraphBuilder, ICaptureGraphBuilder2>(
      kClsidCaptureGraphBuilder2, kIidICaptureGraphBuilder2, builder);
}

HResult Win32CaptureServices::CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) {
  return CreateInProc<Win32CaptureFilter, IBaseFilter>(kClsidNullRenderer, kIidIBaseFilter,
                                                       renderer);
}

HResult Win32CaptureServices::InitializeThreadCom() { return CoInitialize(nullptr); }

void Win32CaptureServices::UninitializeThreadCom() { CoUninitialize(); }

MmResult Win32CaptureServices::OpenWaveInput(std::uint32_t waveInId, const WaveFormat& format,
                                             std::unique_ptr<WaveInput>* input) {
  return OpenWin32WaveInput(waveInId, format, input);
}

MmResult Win32CaptureServices::OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) {
  return OpenWin32WaveInputMixer(input, mixer);
}

std::uint32_t Win32CaptureServices::WaveInputCount() { return waveInGetNumDevs(); }

MmResult Win32CaptureServices::WaveInputInterface(std::uint32_t waveInId,
                                                  std::u16string* deviceInterface) {
  return QueryWin32WaveInputInterface(waveInId, deviceInterface);
}

MmResult Win32CaptureServices::WaveInputName(std::uint32_t waveInId, std::u16string* name) {
  WAVEINCAPSW caps = {};
  const MMRESULT result = waveInGetDevCapsW(waveInId, &caps, sizeof(caps));
  if (result != MMSYSERR_NOERROR) return result;
  caps.szPname[MAXPNAMELEN - 1] = L'\0';
  *name = AsCore(caps.szPname);
  return MMSYSERR_NOERROR;
}

MmResult Win32CaptureServices::WaveInputEndpointId(std::uint32_t waveInId,
                                                   std::u16string* endpointId) {
  return QueryWin32WaveInputEndpointId(waveInId, endpointId);
}

HResult Win32CaptureServices::CreateAudioEndpointEnumerator(
    std::unique_ptr<AudioEndpointEnumerator>* enumerator) {
  return CreateWin32AudioEndpointEnumerator(enumerator);
}

std::uint32_t Win32CaptureServices::SystemMajorVersion() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  // An unknown version takes the oldest method, which needs the least.
  if (!GetVersionExW(&info)) return 0;
  return info.dwMajorVersion;
}

std::unique_ptr<WorkerThread> Win32CaptureServices::StartThread(ThreadEntry entry, void* argument) {
  auto* start = new ThreadStart{entry, argument};
  const uintptr_t handle = _beginthreadex(nullptr, 0, &RunThread, start, 0, nullptr);
  if (handle == 0) {
    delete start;
    return nullptr;
  }
  const HANDLE thread = reinterpret_cast<HANDLE>(handle);
  SetThreadPriority(thread, THREAD_PRIORITY_NORMAL);
  return std::make_unique<Win32WorkerThread>(thread);
}

void Win32CaptureServices::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::shared_ptr<WakeSignal> Win32CaptureServices::CreateWakeSignal() {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (event == nullptr) return nullptr;
  return std::make_shared<Win32WakeSignal>(event);
}

bool Win32CaptureServices::SleepOrWake(WakeSignal& signal, std::uint32_t milliseconds) {
  return WaitForSingleObject(static_cast<Win32WakeSignal&>(signal).event(), milliseconds) == WAIT_OBJECT_0;
}

// GetTickCount, not GetTickCount64: the program still starts on systems
// before version 6, and only differences are ever used.
std::uint32_t Win32CaptureServices::NowMs() { return GetTickCount(); }

}  // namespace shadowpane
