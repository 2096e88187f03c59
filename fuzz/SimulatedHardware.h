// Capture hardware for the discovery fuzz target. Physical cameras and
// microphones are plugged in and out; the system numbers the microphones'
// wave inputs 0..n-1 without gaps and renumbers them as inputs come and go.
// Every filter, wave input and mixer it hands out belongs to one physical
// input, so two inputs of one name are told apart, and it knows which input
// each camera graph and each microphone worker holds at any moment.
//
// Workers run on threads of their own; Settle waits until each has either
// taken its hold (reached its first pause) or ended.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devices/CaptureServices.h"

namespace shadowpane::fuzzing {

using InputId = int;

struct PhysicalInput {
  InputId id = 0;
  bool video = false;
  std::u16string name;
  std::u16string path;       // cameras: the DevicePath
  bool plugged = true;
  int waveIn = -1;           // microphones while plugged: 0..n-1
};

// An input held by a device: a paused graph of a camera, a worker of a
// microphone that has silenced it. The holder is the device object (the
// instance a camera gives its graph, the argument a worker is started with).
struct Hold {
  const void* holder = nullptr;
  InputId input = 0;
};

class SimulatedHardware : public CaptureServices {
 public:
  // With namedInterfaces the wave-in driver names each input's device
  // interface (a text that stays with the input); without, it cannot.
  SimulatedHardware(std::uint32_t majorVersion, bool namedInterfaces)
      : majorVersion_(majorVersion), namedInterfaces_(namedInterfaces) {}
  ~SimulatedHardware() override;

  InputId PlugCamera(const std::u16string& name, const std::u16string& path);
  // The new microphone takes wave-in number `position` (at most the count);
  // those from there on move up by one.
  InputId PlugMicrophone(const std::u16string& name, int position);
  // Microphones numbered above it move down by one.
  void Unplug(InputId id);
  // Exchanges the wave-in numbers of two microphones.
  void SwapWaveIn(int first, int second);

  std::vector<PhysicalInput> Inputs() const;
  int MicrophoneCount() const;
  std::optional<InputId> MicrophoneAt(int waveIn) const;
  std::vector<Hold> Holds() const;
  // False when some worker neither held nor ended in time.
  bool Settle(std::chrono::milliseconds timeout);
  // Lets time pass as between a hardware change and the refresh it causes
  // (at least 200 ms, several re-applications): waits until every worker
  // has gone round its loop once more, or ended. False on the timeout.
  bool LetWorkersGoRound(std::chrono::milliseconds timeout);

  // ---- CaptureServices ----
  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) override;
  HResult CreateFilterGraph(std::unique_ptr<FilterGraph>* graph) override;
  HResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>* builder) override;
  HResult CreateNullRenderer(std::unique_ptr<CaptureFilter>* renderer) override;
  HResult InitializeThreadCom() override { return kHrOk; }
  void UninitializeThreadCom() override {}
  MmResult OpenWaveInput(std::uint32_t waveInId, const WaveFormat& format,
                         std::unique_ptr<WaveInput>* input) override;
  MmResult OpenWaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) override;
  std::uint32_t WaveInputCount() override { return static_cast<std::uint32_t>(MicrophoneCount()); }
  MmResult WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) override;
  MmResult WaveInputName(std::uint32_t waveInId, std::u16string* name) override;
  // The simulated inputs have no audio endpoints: they are silenced at
  // their filters' analog inputs.
  MmResult WaveInputEndpointId(std::uint32_t, std::u16string*) override { return kMmNotSupported; }
  HResult CreateAudioEndpointEnumerator(std::unique_ptr<AudioEndpointEnumerator>*) override {
    return kHrFail;
  }
  std::uint32_t SystemMajorVersion() override { return majorVersion_; }
  std::unique_ptr<WorkerThread> StartThread(ThreadEntry entry, void* argument) override;
  void Sleep(std::uint32_t milliseconds) override;

  // ---- Used by the simulated objects ----
  struct Graph {
    const void* holder = nullptr;
    std::vector<InputId> filters;
    bool paused = false;
  };
  struct Worker {
    const void* holder = nullptr;
    bool paused = false;   // reached its first Sleep
    bool ended = false;
    unsigned naps = 0;     // Sleep calls so far
    std::optional<InputId> hold;
  };
  std::vector<PhysicalInput> Plugged(bool video) const;
  int NewGraph();
  void EndGraph(int graph);
  void AddToGraph(int graph, InputId input);
  void SetGraphHolder(int graph, const void* holder);
  HResult PauseGraph(int graph);
  void StopGraph(int graph);
  // A worker (or the user-interface thread) switches an input's capture on
  // or off; fails for an input that is gone.
  bool Silence(InputId input, bool silent);
  void WorkerEnded(Worker* worker);
  void WakeWorkers();
  void ForgetWorker(Worker* worker);
  bool IsPlugged(InputId input) const;

 private:
  const std::uint32_t majorVersion_;
  const bool namedInterfaces_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::vector<PhysicalInput> inputs_;  // by id, plugged or not
  std::map<int, Graph> graphs_;
  int nextGraph_ = 0;
  std::vector<std::unique_ptr<Worker>> workers_;
  unsigned wakeGeneration_ = 0;
};

}  // namespace shadowpane::fuzzing
