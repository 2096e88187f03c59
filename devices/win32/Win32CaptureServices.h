// The capture-device services on Windows: COM and DirectShow, the
// multimedia API, GetVersionExW and _beginthreadex.
#pragma once

#include "devices/CaptureServices.h"

namespace shadowpane {

class Win32CaptureServices : public CaptureServices {
 public:
  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) override;
  HResult CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) override;
  HResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>* builder) override;
  HResult CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) override;
  HResult InitializeThreadCom() override;
  void UninitializeThreadCom() override;
  MmResult OpenWaveInput(std::uint32_t waveInId, const WaveFormat& format,
                         std::unique_ptr<WaveInput>* input) override;
  MmResult OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) override;
  std::uint32_t WaveInputCount() override;
  MmResult WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) override;
  MmResult WaveInputName(std::uint32_t waveInId, std::u16string* name) override;
  MmResult WaveInputEndpointId(std::uint32_t waveInId, std::u16string* endpointId) override;
  HResult CreateAudioEndpointEnumerator(std::unique_ptr<AudioEndpointEnumerator>* enumerator) override;
  std::uint32_t SystemMajorVersion() override;
  std::unique_ptr<WorkerThread> StartThread(ThreadEntry entry, void* argument) override;
  void Sleep(std::uint32_t milliseconds) override;
  std::shared_ptr<WakeSignal> CreateWakeSignal() override;
  bool SleepOrWake(WakeSignal& signal, std::uint32_t milliseconds) override;
  std::uint32_t NowMs() override;
};

}  // namespace shadowpane
