// Helpers for the capture tests under Wine: COM for the test thread, the
// null ALSA capture device Wine lists as "In: default", a message-only
// window that collects device notifications, and direct reads of the
// wave-in mute control.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include <memory>
#include <string>

#include "devices/CaptureServices.h"

namespace shadowpane::testing {

// The capture device the test prefix's ALSA configuration gives Wine.
constexpr char16_t kWineCaptureName[] = u"In: default";

// The machine's own audio input the tests use: Wine's null device under
// Wine; on Windows the first input listed with a wave-in number (the
// machine's microphone), or empty when it has none and the test skips.
std::u16string SystemInputName(CaptureServices& services);

// CoInitialize for the lifetime of a test.
class ComScope {
 public:
  ComScope() : result_(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

struct FoundCaptureDevice {
  bool found = false;
  std::int32_t waveInId = -1;
  std::unique_ptr<CaptureFilter> firstFilter;
  std::unique_ptr<CaptureFilter> secondFilter;
};

// Enumerates the category and binds the first entry of that friendly name
// twice, as discovery does for a microphone.
FoundCaptureDevice FindCaptureDevice(CaptureServices& services, DeviceCategory category,
                                     const std::u16string& friendlyName);

// A message-only window of the test thread; counts WM_DEVICE_NOTIFY posts.
class NotifySink {
 public:
  NotifySink();
  ~NotifySink();
  HWND window() const { return window_; }
  NotifyWindow handle() const { return reinterpret_cast<NotifyWindow>(window_); }
  // Takes the queued device notifications; answers how many so far.
  int Pump();
  // Pumps until `count` notifications arrived; false after timeoutMs.
  bool WaitFor(int count, DWORD timeoutMs = 10000);
  int count() const { return count_; }
  // wParam of every notification had the state-changed code and lParam
  // was the expected device.
  bool AllStateChangedFor(const void* device) const { return allMatch_ && lastDevice_ == device; }

 private:
  HWND window_ = nullptr;
  int count_ = 0;
  bool allMatch_ = true;
  const void* lastDevice_ = nullptr;
};

// The wave-in destination line's mute control of the mixer that serves a
// wave-in device, read and written directly.
class WaveInMute {
 public:
  explicit WaveInMute(UINT waveInId);
  ~WaveInMute();
  bool ok() const { return mixer_ != nullptr && controlId_ != 0; }
  // 1 muted, 0 not, -1 unreadable.
  int Read() const;
  bool Write(bool muted) const;

 private:
  HMIXER mixer_ = nullptr;
  DWORD controlId_ = 0;
  DWORD channels_ = 1;
};

}  // namespace shadowpane::testing
