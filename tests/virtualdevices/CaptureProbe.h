// Plain DirectShow, the way any capture program uses it: list a category,
// bind a device, hold a camera in a paused graph, reach a microphone input's
// mixer. The tests and the helper process use it to play "another program".
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>
#include <utility>
#include <vector>

namespace shadowpane::virtualdevices {

// Owns one COM reference.
template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~Ref() { Reset(); }
  void Reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held first.
  T** out() {
    Reset();
    return &p_;
  }
  void** outVoid() { return reinterpret_cast<void**>(out()); }

 private:
  T* p_ = nullptr;
};

// CoInitializeEx for the scope (apartment threaded, as the program's threads).
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

// One entry of a device category, as its property bag describes it.
struct ListedDevice {
  std::wstring friendlyName;
  std::wstring devicePath;
  bool hasWaveInId = false;
  DWORD waveInId = 0;
};

// Every entry of the category in the enumerator's order; empty when the
// category is empty or cannot be enumerated.
std::vector<ListedDevice> ListCategory(const GUID& category);

// Binds the first entry whose string property equals value to its filter.
HRESULT BindDevice(const GUID& category, const wchar_t* property, const std::wstring& value,
                   Ref<IBaseFilter>* filter);

// A camera held as a capture program holds it: the capture pin rendered into
// a Null Renderer and the graph paused. Stop and release in the destructor.
class CameraHold {
 public:
  CameraHold() = default;
  CameraHold(const CameraHold&) = delete;
  CameraHold& operator=(const CameraHold&) = delete;
  ~CameraHold() { Release(); }

  // Builds and pauses the graph on the filter. The first negative result of
  // the steps, or the non-negative result of Pause (S_FALSE: the renderer
  // waits for a frame).
  HRESULT Hold(IBaseFilter* camera);
  // The result of rendering alone, kept for tests of the refusal.
  HRESULT renderResult() const { return renderResult_; }
  IMediaControl* control() const { return control_.get(); }
  HRESULT Stop();
  void Release();

 private:
  Ref<IGraphBuilder> graph_;
  Ref<ICaptureGraphBuilder2> builder_;
  Ref<IBaseFilter> renderer_;
  Ref<IMediaControl> control_;
  HRESULT renderResult_ = S_OK;
};

// The IAMAudioInputMixer of a capture filter's analog input pin, reached as
// the program reaches it: filter added to a graph, FindPin for an input pin
// of MEDIATYPE_AnalogAudio. The graph lives as long as this object.
class InputMixerAccess {
 public:
  HRESULT Open(IBaseFilter* filter);
  IAMAudioInputMixer* mixer() const { return mixer_.get(); }

 private:
  Ref<IGraphBuilder> graph_;
  Ref<ICaptureGraphBuilder2> builder_;
  Ref<IAMAudioInputMixer> mixer_;
};

// The Null Renderer's class, missing from the MinGW headers.
extern const CLSID kNullRendererClsid;

}  // namespace shadowpane::virtualdevices
