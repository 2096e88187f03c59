#include "tests/devices/win32/WineCaptureDevice.h"

#include <mmsystem.h>

#include "devices/DeviceTypes.h"
#include "tests/support/win32/TestPlatform.h"

namespace shadowpane::testing {

FoundCaptureDevice FindCaptureDevice(CaptureServices& services, DeviceCategory category,
                                     const std::u16string& friendlyName) {
  FoundCaptureDevice result;
  std::unique_ptr<DeviceEnumerator> devices;
  if (FAILED(services.CreateDeviceEnumerator(&devices))) return result;
  std::unique_ptr<MonikerEnumerator> monikers;
  if (devices->CreateClassEnumerator(category, &monikers) != S_OK || !monikers) return result;
  std::unique_ptr<DeviceMoniker> moniker;
  while (monikers->Next(&moniker) == S_OK) {
    std::unique_ptr<PropertyBag> bag;
    WideChar name[kNameUnits] = {};
    if (SUCCEEDED(moniker->BindToStorage(&bag))) {
      bag->ReadText(u"FriendlyName", name);
      std::int32_t id = -1;
      if (SUCCEEDED(bag->ReadInteger(u"WaveInID", &id))) result.waveInId = id;
    }
    if (friendlyName == name) {
      result.found = true;
      moniker->BindToObject(&result.firstFilter);
      moniker->BindToObject(&result.secondFilter);
      return result;
    }
    result.waveInId = -1;
    moniker.reset();
  }
  return result;
}

std::u16string SystemInputName(CaptureServices& services) {
  if (RunsOnWine()) return kWineCaptureName;
  std::unique_ptr<DeviceEnumerator> devices;
  if (FAILED(services.CreateDeviceEnumerator(&devices))) return {};
  std::unique_ptr<MonikerEnumerator> monikers;
  if (devices->CreateClassEnumerator(DeviceCategory::AudioInput, &monikers) != S_OK || !monikers) return {};
  std::unique_ptr<DeviceMoniker> moniker;
  while (monikers->Next(&moniker) == S_OK) {
    std::unique_ptr<PropertyBag> bag;
    WideChar name[kNameUnits] = {};
    std::int32_t id = -1;
    if (SUCCEEDED(moniker->BindToStorage(&bag)) && SUCCEEDED(bag->ReadInteger(u"WaveInID", &id)) &&
        SUCCEEDED(bag->ReadText(u"FriendlyName", name))) {
      return name;
    }
    moniker.reset();
  }
  return {};
}

NotifySink::NotifySink() {
  window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

NotifySink::~NotifySink() {
  if (window_ != nullptr) DestroyWindow(window_);
}

int NotifySink::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, window_, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_DEVICE_NOTIFY) continue;
    ++count_;
    if (msg.wParam != DeviceNotifyWParam(DEVICE_STATE_CHANGED)) allMatch_ = false;
    lastDevice_ = reinterpret_cast<const void*>(msg.lParam);
  }
  return count_;
}

bool NotifySink::WaitFor(int count, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (Pump() < count) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(5);
  }
  return true;
}

WaveInMute::WaveInMute(UINT waveInId) {
  // Found the same way the services find it: the wave-in handle's mixer id.
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = 44100;
  format.nAvgBytesPerSec = 88200;
  format.nBlockAlign = 2;
  format.wBitsPerSample = 16;
  HWAVEIN waveIn = nullptr;
  if (waveInOpen(&waveIn, waveInId, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return;
  UINT mixerId = 0;
  const MMRESULT found =
      mixerGetID(reinterpret_cast<HMIXEROBJ>(waveIn), &mixerId, MIXER_OBJECTF_HWAVEIN);
  waveInClose(waveIn);
  if (found != MMSYSERR_NOERROR) return;
  if (mixerOpen(&mixer_, mixerId, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) {
    mixer_ = nullptr;
    return;
  }
  MIXERLINEW line = {};
  line.cbStruct = sizeof(line);
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
  if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line,
                        MIXER_GETLINEINFOF_COMPONENTTYPE | MIXER_OBJECTF_HMIXER) !=
      MMSYSERR_NOERROR) {
    return;
  }
  MIXERCONTROLW control = {};
  control.cbStruct = sizeof(control);
  MIXERLINECONTROLSW controls = {};
  controls.cbStruct = sizeof(controls);
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof(control);
  controls.pamxctrl = &control;
  if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer_), &controls,
                            MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) !=
      MMSYSERR_NOERROR) {
    return;
  }
  controlId_ = control.dwControlID;
  channels_ = (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.cChannels;
  if (channels_ == 0 || channels_ > 2) channels_ = channels_ == 0 ? 1 : 2;
}

WaveInMute::~WaveInMute() {
  if (mixer_ != nullptr) mixerClose(mixer_);
}

int WaveInMute::Read() const {
  if (!ok()) return -1;
  MIXERCONTROLDETAILS_BOOLEAN values[2] = {};
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof(details);
  details.dwControlID = controlId_;
  details.cChannels = channels_;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
  details.paDetails = values;
  if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                              MIXER_GETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) !=
      MMSYSERR_NOERROR) {
    return -1;
  }
  return values[0].fValue ? 1 : 0;
}

bool WaveInMute::Write(bool muted) const {
  if (!ok()) return false;
  MIXERCONTROLDETAILS_BOOLEAN values[2] = {};
  values[0].fValue = muted;
  values[1].fValue = muted;
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof(details);
  details.dwControlID = controlId_;
  details.cChannels = channels_;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
  details.paDetails = values;
  return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER) ==
         MMSYSERR_NOERROR;
}

}  // namespace shadowpane::testing
