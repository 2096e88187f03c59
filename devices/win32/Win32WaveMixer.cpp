#include "devices/win32/Win32WaveMixer.h"

#include <mmddk.h>

#include <vector>

#include "core/win32/TextCast.h"

namespace shadowpane {

namespace {

class Win32WaveInput : public WaveInput {
 public:
  explicit Win32WaveInput(HWAVEIN handle) : handle_(handle) {}
  ~Win32WaveInput() override { waveInClose(handle_); }
  Win32WaveInput(const Win32WaveInput&) = delete;
  Win32WaveInput& operator=(const Win32WaveInput&) = delete;
  HWAVEIN handle() const { return handle_; }

 private:
  HWAVEIN handle_;
};

class Win32Mixer : public Mixer {
 public:
  explicit Win32Mixer(HMIXER handle) : handle_(handle) {}
  ~Win32Mixer() override { mixerClose(handle_); }
  Win32Mixer(const Win32Mixer&) = delete;
  Win32Mixer& operator=(const Win32Mixer&) = delete;

  MmResult GetLineInfoByType(std::uint32_t componentType, MixerLineInfo* line) override {
    MIXERLINEW info = {};
    info.cbStruct = sizeof(info);
    info.dwComponentType = componentType;
    const MMRESULT result = mixerGetLineInfoW(
        Object(), &info, MIXER_GETLINEINFOF_COMPONENTTYPE | MIXER_OBJECTF_HMIXER);
    if (result == MMSYSERR_NOERROR) {
      line->lineId = info.dwLineID;
      line->channels = info.cChannels;
    }
    return result;
  }

  MmResult GetLineControlByType(std::uint32_t lineId, std::uint32_t controlType,
                                MixerControlInfo* control) override {
    MIXERCONTROLW found = {};
    found.cbStruct = sizeof(found);
    MIXERLINECONTROLSW request = {};
    request.cbStruct = sizeof(request);
    request.dwLineID = lineId;
    request.dwControlType = controlType;
    request.cControls = 1;
    request.cbmxctrl = sizeof(found);
    request.pamxctrl = &found;
    const MMRESULT result = mixerGetLineControlsW(
        Object(), &request, MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER);
    if (result == MMSYSERR_NOERROR) {
      control->controlId = found.dwControlID;
      control->controlFlags = found.fdwControl;
    }
    return result;
  }

  MmResult SetBooleanControl(std::uint32_t controlId, std::uint32_t channels,
                             const std::int32_t (&values)[2]) override {
    MIXERCONTROLDETAILS_BOOLEAN details[2] = {};
    details[0].fValue = values[0];
    details[1].fValue = values[1];
    MIXERCONTROLDETAILS request = {};
    request.cbStruct = sizeof(request);
    request.dwControlID = controlId;
    request.cChannels = channels;
    request.cMultipleItems = 0;
    request.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
    request.paDetails = details;
    return mixerSetControlDetails(Object(), &request,
                                  MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_HMIXER);
  }

 private:
  HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(handle_); }
  HMIXER handle_;
};

}  // namespace

MmResult OpenWin32WaveInput(std::uint32_t waveInId, const WaveFormat& format,
                            std::unique_ptr<WaveInput>* input) {
  WAVEFORMATEX wave = {};
  wave.wFormatTag = format.formatTag;
  wave.nChannels = format.channels;
  wave.nSamplesPerSec = format.samplesPerSec;
  wave.nAvgBytesPerSec = format.avgBytesPerSec;
  wave.nBlockAlign = format.blockAlign;
  wave.wBitsPerSample = format.bitsPerSample;
  wave.cbSize = format.extraSize;
  HWAVEIN handle = nullptr;
  const MMRESULT result = waveInOpen(&handle, waveInId, &wave, 0, 0, CALLBACK_NULL);
  if (result == MMSYSERR_NOERROR) *input = std::make_unique<Win32WaveInput>(handle);
  return result;
}

MmResult OpenWin32WaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer) {
  const HWAVEIN waveIn = static_cast<Win32WaveInput&>(input).handle();
  HMIXER handle = nullptr;
  MMRESULT result = mixerOpen(&handle, static_cast<UINT>(reinterpret_cast<UINT_PTR>(waveIn)), 0, 0,
                              MIXER_OBJECTF_HWAVEIN);
  if (result != MMSYSERR_NOERROR) {
    UINT mixerId = 0;
    const MMRESULT found =
        mixerGetID(reinterpret_cast<HMIXEROBJ>(waveIn), &mixerId, MIXER_OBJECTF_HWAVEIN);
    if (found == MMSYSERR_NOERROR) {
      handle = nullptr;
      result = mixerOpen(&handle, mixerId, 0, 0, MIXER_OBJECTF_MIXER);
    }
  }
  if (result == MMSYSERR_NOERROR) *mixer = std::make_unique<Win32Mixer>(handle);
  return result;
}

namespace {

// A text the wave-input driver answers for a number: its size in bytes
// through one message, then the text through the other.
MmResult QueryWaveInputText(std::uint32_t waveInId, UINT sizeMessage, UINT textMessage,
                            std::u16string* out) {
  // waveInMessage takes a device number in place of a handle for these
  // queries.
  const HWAVEIN device = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveInId));
  ULONG bytes = 0;
  MMRESULT result = waveInMessage(device, sizeMessage, reinterpret_cast<DWORD_PTR>(&bytes), 0);
  if (result != MMSYSERR_NOERROR) return result;
  if (bytes < 2 * sizeof(wchar_t) || bytes > kMaxWaveInterfaceBytes || bytes % sizeof(wchar_t) != 0) {
    return MMSYSERR_ERROR;
  }
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
  result = waveInMessage(device, textMessage, reinterpret_cast<DWORD_PTR>(text.data()), bytes);
  if (result != MMSYSERR_NOERROR) return result;
  // The answer must end inside the size it announced.
  const size_t units = bytes / sizeof(wchar_t);
  size_t length = 0;
  while (length < units && text[length] != L'\0') ++length;
  if (length == 0 || length == units) return MMSYSERR_ERROR;
  out->assign(AsCore(text.data()), length);
  return MMSYSERR_NOERROR;
}

}  // namespace

MmResult QueryWin32WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface) {
  return QueryWaveInputText(waveInId, DRV_QUERYDEVICEINTERFACESIZE, DRV_QUERYDEVICEINTERFACE,
                            deviceInterface);
}

MmResult QueryWin32WaveInputEndpointId(std::uint32_t waveInId, std::u16string* endpointId) {
  return QueryWaveInputText(waveInId, DRV_QUERYFUNCTIONINSTANCEIDSIZE, DRV_QUERYFUNCTIONINSTANCEID,
                            endpointId);
}

}  // namespace shadowpane
