// The Win32 capture services against Wine's real device enumerator,
// DirectShow graphs, wave input and mixer.
#include "devices/win32/Win32CaptureServices.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <string>

#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "tests/devices/win32/WineCaptureDevice.h"
#include "tests/support/win32/TestPlatform.h"

namespace shadowpane {
namespace {

using testing::ComScope;
using testing::FindCaptureDevice;
using testing::SystemInputName;

class CaptureServicesWine : public ::testing::Test {
 protected:
  ComScope com;
  Win32CaptureServices services;
};

TEST_F(CaptureServicesWine, AudioCategoryListsTheNullCaptureDevice) {
  const std::u16string name = SystemInputName(services);
  if (name.empty()) GTEST_SKIP() << "this machine lists no audio input";
  auto device = FindCaptureDevice(services, DeviceCategory::AudioInput, name);
  ASSERT_TRUE(device.found) << "the test prefix's ALSA null device is not listed";
  EXPECT_GE(device.waveInId, 0);
  // Windows numbers the inputs in its own order: the first listed need not be 0.
  if (testing::RunsOnWine()) {
    EXPECT_EQ(device.waveInId, 0);
  }
  EXPECT_NE(device.firstFilter, nullptr);
  EXPECT_NE(device.secondFilter, nullptr);
  EXPECT_GE(services.WaveInputCount(), 1u);
}

TEST_F(CaptureServicesWine, MissingPropertyLeavesTheValueUntouched) {
  std::unique_ptr<DeviceEnumerator> devices;
  ASSERT_EQ(services.CreateDeviceEnumerator(&devices), S_OK);
  std::unique_ptr<MonikerEnumerator> monikers;
  ASSERT_EQ(devices->CreateClassEnumerator(DeviceCategory::AudioInput, &monikers), S_OK);
  std::unique_ptr<DeviceMoniker> moniker;
  ASSERT_EQ(monikers->Next(&moniker), S_OK);
  std::unique_ptr<PropertyBag> bag;
  ASSERT_EQ(moniker->BindToStorage(&bag), S_OK);
  WideChar text[kNameUnits] = {u'x'};
  EXPECT_LT(bag->ReadText(u"NoSuchProperty", text), 0);
  EXPECT_EQ(text[0], u'x');
  std::int32_t value = 1234;
  EXPECT_LT(bag->ReadInteger(u"NoSuchProperty", &value), 0);
  EXPECT_EQ(value, 1234);
  // A text property is no integer, and the other way round.
  EXPECT_LT(bag->ReadInteger(u"FriendlyName", &value), 0);
  EXPECT_LT(bag->ReadText(u"WaveInID", text), 0);
  EXPECT_EQ(text[0], u'x');
}

TEST_F(CaptureServicesWine, EmptyOrListedVideoCategory) {
  std::unique_ptr<DeviceEnumerator> devices;
  ASSERT_EQ(services.CreateDeviceEnumerator(&devices), S_OK);
  std::unique_ptr<MonikerEnumerator> monikers;
  const HResult hr = devices->CreateClassEnumerator(DeviceCategory::VideoInput, &monikers);
  // No camera here: S_FALSE and no enumerator. A test camera registered in
  // the prefix gives an enumerator whose entries end with S_FALSE.
  if (hr == S_FALSE) {
    EXPECT_EQ(monikers, nullptr);
  } else {
    ASSERT_EQ(hr, S_OK);
    ASSERT_NE(monikers, nullptr);
    std::unique_ptr<DeviceMoniker> moniker;
    int count = 0;
    while (monikers->Next(&moniker) == S_OK && count < 100) ++count;
    EXPECT_LT(count, 100);
  }
}

// A registered device whose friendly name is longer than a name field: the
// enumerator reads it through the property bag, cut to 255 characters.
class RegisteredVideoEntry {
 public:
  RegisteredVideoEntry(const std::wstring& friendly, const std::wstring& path) {
    Remove();
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    SetText(key, L"FriendlyName", friendly);
    SetText(key, L"DevicePath", path);
    // Binding it gives a Null Renderer: a real filter without a capture pin.
    SetText(key, L"CLSID", L"{C1F400A4-3F08-11D3-9F0B-006008039E37}");
    RegCloseKey(key);
    created_ = true;
  }
  ~RegisteredVideoEntry() { Remove(); }
  bool created() const { return created_; }

 private:
  static constexpr const wchar_t* kKey =
      L"CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\ShadowpaneLongNameTest";
  static void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  static void Remove() { RegDeleteKeyW(HKEY_CLASSES_ROOT, kKey); }
  bool created_ = false;
};

TEST_F(CaptureServicesWine, LongFriendlyNameIsCutTo255Characters) {
  const std::wstring longName = L"Camera " + std::wstring(293, L'n');
  RegisteredVideoEntry entry(longName, L"\\\\?\\shadowpane#long#name");
  ASSERT_TRUE(entry.created());
  std::unique_ptr<DeviceEnumerator> devices;
  ASSERT_EQ(services.CreateDeviceEnumerator(&devices), S_OK);
  std::unique_ptr<MonikerEnumerator> monikers;
  ASSERT_EQ(devices->CreateClassEnumerator(DeviceCategory::VideoInput, &monikers), S_OK);
  std::unique_ptr<DeviceMoniker> moniker;
  bool found = false;
  while (!found && monikers->Next(&moniker) == S_OK) {
    std::unique_ptr<PropertyBag> bag;
    ASSERT_EQ(moniker->BindToStorage(&bag), S_OK);
    WideChar path[kNameUnits] = {};
    if (FAILED(bag->ReadText(u"DevicePath", path))) continue;
    if (std::u16string(path) != u"\\\\?\\shadowpane#long#name") continue;
    found = true;
    WideChar name[kNameUnits] = {};
    ASSERT_EQ(bag->ReadText(u"FriendlyName", name), S_OK);
    const std::u16string read(name);
    EXPECT_EQ(read.size(), 255u);
    EXPECT_EQ(read.compare(0, 7, u"Camera "), 0);
    std::unique_ptr<CaptureFilter> filter;
    EXPECT_EQ(moniker->BindToObject(&filter), S_OK);
    EXPECT_NE(filter, nullptr);
  }
  EXPECT_TRUE(found);
}

TEST_F(CaptureServicesWine, GraphPiecesBuildOnRealDirectShow) {
  std::unique_ptr<FilterGraph> graph;
  std::unique_ptr<CaptureGraphBuilder> builder;
  std::unique_ptr<CaptureFilter> renderer;
  std::unique_ptr<MediaControl> control;
  std::unique_ptr<MediaEvent> events;
  ASSERT_EQ(services.CreateFilterGraph(&graph), S_OK);
  ASSERT_EQ(services.CreateCaptureGraphBuilder(&builder), S_OK);
  EXPECT_EQ(builder->SetFiltergraph(*graph), S_OK);
  ASSERT_EQ(graph->QueryMediaControl(&control), S_OK);
  ASSERT_EQ(graph->QueryMediaEvent(&events), S_OK);
  testing::NotifySink sink;
  EXPECT_EQ(events->SetNotifyWindow(sink.handle(), WM_GRAPH_NOTIFY, 1), S_OK);
  ASSERT_EQ(services.CreateNullRenderer(&renderer), S_OK);
  EXPECT_EQ(graph->AddFilter(*renderer, u"Null"), S_OK);
  // The Null Renderer has an input pin and no capture output.
  std::unique_ptr<CapturePin> pin;
  EXPECT_LT(builder->FindPin(*renderer, PinDirection::Output, PinCategory::Capture,
                             MediaType::Video, &pin), 0);
  EXPECT_EQ(pin, nullptr);
  EXPECT_GE(control->Pause(), 0);
  EXPECT_GE(control->Stop(), 0);
  // Drain whatever the state changes queued; the queue ends with a failure.
  std::int32_t code = 0;
  std::intptr_t first = 0;
  std::intptr_t second = 0;
  int events_seen = 0;
  while (SUCCEEDED(events->GetEvent(&code, &first, &second, 0)) && events_seen < 100) {
    events->FreeEventParams(code, first, second);
    ++events_seen;
  }
  EXPECT_LT(events_seen, 100);
  EXPECT_EQ(events->SetNotifyWindow(0, 0, 0), S_OK);
}

TEST_F(CaptureServicesWine, WaveInputAndItsMixerMuteForReal) {
  const WaveFormat format = MicrophoneHoldFormat();
  std::unique_ptr<WaveInput> input;
  ASSERT_EQ(services.OpenWaveInput(0, format, &input), kMmNoError);
  // Wine refuses the wave-in handle in mixerOpen; the id fallback finds it.
  std::unique_ptr<Mixer> mixer;
  ASSERT_EQ(services.OpenWaveInputMixer(*input, &mixer), kMmNoError);
  MixerLineInfo line;
  ASSERT_EQ(mixer->GetLineInfoByType(kMixerLineTypeDestinationWaveIn, &line), kMmNoError);
  EXPECT_GE(line.channels, 1u);
  MixerControlInfo control;
  ASSERT_EQ(mixer->GetLineControlByType(line.lineId, kMixerControlTypeMute, &control),
            kMmNoError);

  testing::WaveInMute mute(0);
  ASSERT_TRUE(mute.ok());
  const std::uint32_t channels = (control.controlFlags & kMixerControlFlagUniform) ? 1 : 2;
  const std::int32_t on[2] = {1, 1};
  ASSERT_EQ(mixer->SetBooleanControl(control.controlId, channels, on), kMmNoError);
  EXPECT_EQ(mute.Read(), 1);
  const std::int32_t off[2] = {0, 0};
  ASSERT_EQ(mixer->SetBooleanControl(control.controlId, channels, off), kMmNoError);
  EXPECT_EQ(mute.Read(), 0);
}

TEST_F(CaptureServicesWine, NoSuchWaveInputFails) {
  const WaveFormat format = MicrophoneHoldFormat();
  std::unique_ptr<WaveInput> input;
  EXPECT_NE(services.OpenWaveInput(services.WaveInputCount() + 5, format, &input), kMmNoError);
  EXPECT_EQ(input, nullptr);
}

// Wine's driver answers the wave input's device interface with the
// endpoint's identifier (a braced GUID), the same at every query; a number
// beyond the inputs is refused and leaves the text alone.
TEST_F(CaptureServicesWine, WaveInputNamesItsDeviceInterface) {
  std::u16string first;
  ASSERT_EQ(services.WaveInputInterface(0, &first), kMmNoError);
  ASSERT_FALSE(first.empty());
  std::u16string second;
  ASSERT_EQ(services.WaveInputInterface(0, &second), kMmNoError);
  EXPECT_EQ(second, first);
  // What the driver answers is what the system's own call answers.
  ULONG bytes = 0;
  ASSERT_EQ(waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(0)),
                          DRV_QUERYDEVICEINTERFACESIZE, reinterpret_cast<DWORD_PTR>(&bytes), 0),
            static_cast<MMRESULT>(MMSYSERR_NOERROR));
  EXPECT_EQ(bytes, (first.size() + 1) * sizeof(wchar_t));

  std::u16string none = u"untouched";
  EXPECT_NE(services.WaveInputInterface(services.WaveInputCount(), &none), kMmNoError);
  EXPECT_EQ(none, u"untouched");
}

// The name at a number is the one the device enumerator lists the input
// by, so a block can tell whether its number still means its input.
TEST_F(CaptureServicesWine, WaveInputNameIsTheListedName) {
  const std::u16string listed = SystemInputName(services);
  if (listed.empty()) GTEST_SKIP() << "this machine lists no audio input";
  auto found = testing::FindCaptureDevice(services, DeviceCategory::AudioInput, listed);
  ASSERT_TRUE(found.found);
  std::u16string name;
  ASSERT_EQ(services.WaveInputName(static_cast<std::uint32_t>(found.waveInId), &name), kMmNoError);
  EXPECT_EQ(name, listed.substr(0, kWaveInputNameChars));
  std::u16string none = u"untouched";
  EXPECT_NE(services.WaveInputName(services.WaveInputCount(), &none), kMmNoError);
  EXPECT_EQ(none, u"untouched");
}

// Wine's input names its audio endpoint, which the endpoint enumerator
// opens; the mute set through one volume object reads back through it. A
// fresh object reads it unmuted under Wine, which keeps the mute per object
// (why a hold checked through objects of its own shows not silent there);
// on Windows the mute is the endpoint's, so the fresh object reads it muted.
TEST_F(CaptureServicesWine, WaveInputNamesItsEndpointWhoseMuteIsKeptPerObjectHere) {
  std::u16string id;
  ASSERT_EQ(services.WaveInputEndpointId(0, &id), kMmNoError);
  ASSERT_FALSE(id.empty());
  auto open = [&](std::unique_ptr<AudioEndpointEnumerator>& enumerator,
                  std::unique_ptr<AudioEndpoint>& endpoint, std::unique_ptr<EndpointVolume>& volume) {
    ASSERT_EQ(services.CreateAudioEndpointEnumerator(&enumerator), S_OK);
    ASSERT_EQ(enumerator->GetDevice(id, &endpoint), S_OK);
    ASSERT_EQ(endpoint->ActivateVolume(&volume), S_OK);
  };
  std::unique_ptr<AudioEndpointEnumerator> enumerator;
  std::unique_ptr<AudioEndpoint> endpoint;
  std::unique_ptr<EndpointVolume> volume;
  open(enumerator, endpoint, volume);
  ASSERT_NE(volume, nullptr);
  bool muted = false;
  ASSERT_EQ(volume->SetMute(true), S_OK);
  ASSERT_EQ(volume->GetMute(&muted), S_OK);
  EXPECT_TRUE(muted);

  std::unique_ptr<AudioEndpointEnumerator> otherEnumerator;
  std::unique_ptr<AudioEndpoint> otherEndpoint;
  std::unique_ptr<EndpointVolume> other;
  open(otherEnumerator, otherEndpoint, other);
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(other->GetMute(&muted), S_OK);
  // Windows keeps an endpoint's mute for the whole system: every object reads it.
  EXPECT_EQ(muted, testing::OnWine(false, true));
  // Windows: muted for others too, as the system-wide mute is.
  EXPECT_EQ(EndpointMutedForOthers(services, id), testing::OnWine(false, true));
  EXPECT_EQ(volume->SetMute(false), S_OK);

  std::u16string none = u"untouched";
  EXPECT_NE(services.WaveInputEndpointId(services.WaveInputCount(), &none), kMmNoError);
  EXPECT_EQ(none, u"untouched");
}

struct ThreadProbe {
  DWORD threadId = 0;
  HRESULT com = E_FAIL;
  int priority = -100;
};

TEST_F(CaptureServicesWine, WorkerThreadRunsAtNormalPriorityWithItsOwnCom) {
  ThreadProbe probe;
  auto thread = services.StartThread(
      [](void* argument) {
        auto* p = static_cast<ThreadProbe*>(argument);
        Win32CaptureServices own;
        p->threadId = GetCurrentThreadId();
        p->priority = GetThreadPriority(GetCurrentThread());
        p->com = own.InitializeThreadCom();
        if (SUCCEEDED(p->com)) own.UninitializeThreadCom();
      },
      &probe);
  ASSERT_NE(thread, nullptr);
  thread->Join();
  EXPECT_NE(probe.threadId, GetCurrentThreadId());
  EXPECT_EQ(probe.priority, THREAD_PRIORITY_NORMAL);
  EXPECT_EQ(probe.com, S_OK);
}

TEST_F(CaptureServicesWine, VersionDecidesTheMethod) {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(services.SystemMajorVersion(), info.dwMajorVersion);
  EXPECT_GE(services.SystemMajorVersion(), 5u);
}

}  // namespace
}  // namespace shadowpane
