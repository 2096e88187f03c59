// "Another program" for the tests: a separate process that uses the virtual
// devices through plain DirectShow, as any capture application would.
//
//   probe-camera <DevicePath>                   hold the camera once, then let go
//   hold-camera <DevicePath> <ready> <release>  hold it until the release event
//   set-mic <FriendlyName> 0|1                  switch the input off or on
//   reenable-mic <FriendlyName> <count> <file>  switch the input on <count> times,
//                                               timing how long until it is off again
//                                               (one line of milliseconds each, -1 for never)
//
// Exit code: 0 on success, otherwise the failing HRESULT (or 1 for bad usage).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"

namespace shadowpane::virtualdevices {
namespace {

constexpr int kUsageError = 1;
// How long a held camera waits for its release before giving up, so that a
// failed test never leaves the helper behind.
constexpr DWORD kHoldLimitMs = 60000;
// A switch-on still not undone after the limit (thirty holder periods) is
// recorded as never undone, and ends the run.
constexpr double kNeverSwitchedOff = -1.0;
constexpr double kSwitchOffLimitMs = 2000.0;

int ExitCodeOf(HRESULT hr) { return FAILED(hr) ? static_cast<int>(hr) : 0; }

int ProbeCamera(const std::wstring& path) {
  Ref<IBaseFilter> camera;
  HRESULT hr = BindDevice(kVideoInputCategory, L"DevicePath", path, &camera);
  if (FAILED(hr)) return ExitCodeOf(hr);
  CameraHold hold;
  return ExitCodeOf(hold.Hold(camera.get()));
}

int HoldCamera(const std::wstring& path, const std::wstring& readyName, const std::wstring& releaseName) {
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyName.c_str());
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, releaseName.c_str());
  int code = kUsageError;
  if (ready != nullptr && release != nullptr) {
    Ref<IBaseFilter> camera;
    HRESULT hr = BindDevice(kVideoInputCategory, L"DevicePath", path, &camera);
    CameraHold hold;
    if (SUCCEEDED(hr)) hr = hold.Hold(camera.get());
    code = ExitCodeOf(hr);
    if (SUCCEEDED(hr)) {
      SetEvent(ready);
      WaitForSingleObject(release, kHoldLimitMs);
    }
  }
  if (ready != nullptr) CloseHandle(ready);
  if (release != nullptr) CloseHandle(release);
  return code;
}

HRESULT OpenMicrophone(const std::wstring& name, Ref<IBaseFilter>* filter, InputMixerAccess* access) {
  HRESULT hr = BindDevice(kAudioInputCategory, L"FriendlyName", name, filter);
  if (FAILED(hr)) return hr;
  return access->Open(filter->get());
}

int SetMicrophone(const std::wstring& name, bool on) {
  Ref<IBaseFilter> filter;
  InputMixerAccess access;
  HRESULT hr = OpenMicrophone(name, &filter, &access);
  if (SUCCEEDED(hr)) hr = access.mixer()->put_Enable(on ? TRUE : FALSE);
  return ExitCodeOf(hr);
}

double MillisecondsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int ReenableMicrophone(const std::wstring& name, int count, const std::wstring& resultFile) {
  Ref<IBaseFilter> filter;
  InputMixerAccess access;
  HRESULT hr = OpenMicrophone(name, &filter, &access);
  if (FAILED(hr)) return ExitCodeOf(hr);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> samples;
  for (int i = 0; i < count; ++i) {
    // Vary where in the holder's period the switch-on lands.
    Sleep(static_cast<DWORD>((i * 23) % 70));
    hr = access.mixer()->put_Enable(TRUE);
    if (FAILED(hr)) return ExitCodeOf(hr);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    bool switchedOff = false;
    double elapsed = 0.0;
    while (!switchedOff && elapsed <= kSwitchOffLimitMs) {
      BOOL on = TRUE;
      if (FAILED(access.mixer()->get_Enable(&on))) break;
      elapsed = MillisecondsSince(start, frequency);
      switchedOff = !on;
      if (!switchedOff) Sleep(1);
    }
    samples.push_back(switchedOff ? elapsed : kNeverSwitchedOff);
    if (!switchedOff) break;  // nobody holds it off: no point going on
  }
  FILE* file = _wfopen(resultFile.c_str(), L"w");
  if (file == nullptr) return ExitCodeOf(HRESULT_FROM_WIN32(ERROR_CANNOT_MAKE));
  for (double sample : samples) std::fprintf(file, "%.3f\n", sample);
  std::fclose(file);
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.size() < 2) return kUsageError;
  const std::wstring& command = args[1];
  ComScope com;
  if (FAILED(com.result())) return ExitCodeOf(com.result());
  if (command == L"probe-camera" && args.size() == 3) return ProbeCamera(args[2]);
  if (command == L"hold-camera" && args.size() == 5) return HoldCamera(args[2], args[3], args[4]);
  if (command == L"set-mic" && args.size() == 4) return SetMicrophone(args[2], args[3] == L"1");
  if (command == L"reenable-mic" && args.size() == 5) {
    return ReenableMicrophone(args[2], _wtoi(args[3].c_str()), args[4]);
  }
  return kUsageError;
}

}  // namespace
}  // namespace shadowpane::virtualdevices

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return 1;
  std::vector<std::wstring> args(argv, argv + count);
  LocalFree(argv);
  return shadowpane::virtualdevices::Run(args);
}
