// A refresh that finds nothing new, over N known devices (half cameras,
// half microphones): what the main window pays whenever a device
// notification or the audio poll triggers a refresh. The capture services
// are a bare double that only enumerates, so the figures are the core's own
// cost (identity lookups, sweep, list filling, profile encoding).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "devices/Discovery.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

struct BenchDevice {
  std::u16string friendlyName;
  std::u16string path;  // cameras
  std::int32_t waveInId;
};

class BenchFilter : public CaptureFilter {
 public:
  HResult GetState(std::uint32_t, FilterState*) override { return kHrFail; }
};

class BenchBag : public PropertyBag {
 public:
  explicit BenchBag(const BenchDevice& device) : device_(device) {}
  HResult ReadText(const WideChar* name, WideChar (&value)[kNameUnits]) override {
    const std::u16string& text = name[0] == u'F' ? device_.friendlyName : device_.path;
    if (text.empty()) return kHrFail;
    text.copy(value, text.size());
    value[text.size()] = 0;
    return kHrOk;
  }
  HResult ReadInteger(const WideChar*, std::int32_t* value) override {
    *value = device_.waveInId;
    return kHrOk;
  }

 private:
  const BenchDevice& device_;
};

class BenchMoniker : public DeviceMoniker {
 public:
  explicit BenchMoniker(const BenchDevice& device) : device_(device) {}
  HResult BindToStorage(std::unique_ptr<PropertyBag>* bag) override {
    *bag = std::make_unique<BenchBag>(device_);
    return kHrOk;
  }
  HResult BindToObject(std::unique_ptr<CaptureFilter>* filter) override {
    *filter = std::make_unique<BenchFilter>();
    return kHrOk;
  }

 private:
  const BenchDevice& device_;
};

class BenchMonikers : public MonikerEnumerator {
 public:
  explicit BenchMonikers(const std::vector<BenchDevice>& devices) : devices_(devices) {}
  HResult Next(std::unique_ptr<DeviceMoniker>* moniker) override {
    if (next_ == devices_.size()) return kHrFalse;
    *moniker = std::make_unique<BenchMoniker>(devices_[next_++]);
    return kHrOk;
  }

 private:
  const std::vector<BenchDevice>& devices_;
  size_t next_ = 0;
};

class BenchServices : public CaptureServices {
 public:
  std::vector<BenchDevice> cameras;
  std::vector<BenchDevice> microphones;

  class Enumerator : public DeviceEnumerator {
   public:
    explicit Enumerator(BenchServices& services) : services_(services) {}
    HResult CreateClassEnumerator(DeviceCategory category,
                                  std::unique_ptr<MonikerEnumerator>* out) override {
      *out = std::make_unique<BenchMonikers>(category == DeviceCategory::VideoInput
                                                 ? services_.cameras
                                                 : services_.microphones);
      return kHrOk;
    }

   private:
    BenchServices& services_;
  };

  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* out) override {
    *out = std::make_unique<Enumerator>(*this);
    return kHrOk;
  }
  // Nothing else is used by a refresh that blocks nothing; a new
  // microphone's input restore simply ends at the first step.
  HResult CreateFilterGraph(std::unique_ptr<FilterGraph>*) override { return kHrFail; }
  HResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>*) override {
    return kHrFail;
  }
  HResult CreateNullRenderer(std::unique_ptr<CaptureFilter>*) override { return kHrFail; }
  HResult InitializeThreadCom() override { return kHrFail; }
  void UninitializeThreadCom() override {}
  MmResult OpenWaveInput(std::uint32_t, const WaveFormat&, std::unique_ptr<WaveInput>*) override {
    return kMmError;
  }
  MmResult OpenWaveInputMixer(WaveInput&, std::unique_ptr<Mixer>*) override { return kMmError; }
  std::uint32_t WaveInputCount() override { return 0; }
  // As a system that names each input's device interface.
  MmResult WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) override {
    const std::string digits = std::to_string(waveInId);
    *deviceInterface = u"\\\\?\\SWD#MMDEVAPI#{0.0.1.00000000}." + std::u16string(digits.begin(), digits.end());
    return kMmNoError;
  }
  MmResult WaveInputName(std::uint32_t, std::u16string*) override { return kMmBadDeviceId; }
  MmResult WaveInputEndpointId(std::uint32_t, std::u16string*) override { return kMmNotSupported; }
  HResult CreateAudioEndpointEnumerator(std::unique_ptr<AudioEndpointEnumerator>*) override {
    return kHrFail;
  }
  std::uint32_t SystemMajorVersion() override { return 6; }
  std::unique_ptr<WorkerThread> StartThread(ThreadEntry, void*) override { return nullptr; }
  void Sleep(std::uint32_t) override {}
};

// The lists as a real list box would take them, minus the drawing.
class CountingTarget : public DiscoveryTarget {
 public:
  NotifyWindow Window() override { return 1; }
  void KillAudioPollTimer() override {}
  void SetAudioPollTimer() override {}
  void ResetList(DeviceListBox) override { entries = 0; }
  void InsertAtTop(DeviceListBox, const WideChar* text, std::uint32_t data) override {
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(data);
    ++entries;
  }
  void ClearSelection(DeviceListBox) override {}
  int entries = 0;
};

std::u16string Number(int i) {
  const std::string digits = std::to_string(i);
  return std::u16string(digits.begin(), digits.end());
}

void BM_RefreshFindingNothingNew(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  BenchServices services;
  for (int i = 0; i < count; ++i) {
    // Realistic lengths: a USB device path and a typical product name.
    if (i % 2 == 0) {
      services.cameras.push_back(
          {u"USB Video Device " + Number(i),
           u"\\\\?\\usb#vid_046d&pid_0825&mi_00#7&1a2b3c4d&0&" + Number(i) +
               u"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global",
           0});
    } else {
      services.microphones.push_back({u"Microphone (USB Audio Device " + Number(i) + u")", u"",
                                      static_cast<std::int32_t>(i)});
    }
  }
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  CountingTarget target;
  DeviceList list(&profile);
  DiscoveryContext context{list, services, poster, target, {}};
  RefreshDevices(context, 1);
  if (list.Count() != count) state.SkipWithError("devices were not all linked");

  for (auto _ : state) RefreshDevices(context, 0);

  if (list.Count() != count || poster.Count() != 0) state.SkipWithError("refresh changed the set");
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["devices"] = count;
}
BENCHMARK(BM_RefreshFindingNothingNew)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace shadowpane
