// An audio capture filter with one analog input line, as a sound card's
// capture filter shows a microphone input: an input pin of
// MEDIATYPE_AnalogAudio that exposes IAMAudioInputMixer. The input's on/off
// switch lives in the registry (MicrophoneInputStore), so one process can
// switch it off and another can switch it on again, as with a real mixer.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "tests/virtualdevices/FilterParts.h"

namespace shadowpane::virtualdevices {

class VirtualMicrophoneFilter;

class VirtualMicrophonePin final : public IPin, public IAMAudioInputMixer {
 public:
  explicit VirtualMicrophonePin(VirtualMicrophoneFilter& filter);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IPin: nothing upstream of an analog input ever connects to it.
  STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP ConnectedTo(IPin** pin) override;
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
  STDMETHODIMP QueryId(LPWSTR* id) override;
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
  STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // IAMAudioInputMixer: the enable switch is real and shared; the line's
  // level, balance and tone controls are fixed.
  STDMETHODIMP put_Enable(BOOL enable) override;
  STDMETHODIMP get_Enable(BOOL* enable) override;
  STDMETHODIMP put_Mono(BOOL mono) override;
  STDMETHODIMP get_Mono(BOOL* mono) override;
  STDMETHODIMP put_MixLevel(double level) override;
  STDMETHODIMP get_MixLevel(double* level) override;
  STDMETHODIMP put_Pan(double pan) override;
  STDMETHODIMP get_Pan(double* pan) override;
  STDMETHODIMP put_Loudness(BOOL loudness) override;
  STDMETHODIMP get_Loudness(BOOL* loudness) override;
  STDMETHODIMP put_Treble(double treble) override;
  STDMETHODIMP get_Treble(double* treble) override;
  STDMETHODIMP get_TrebleRange(double* range) override;
  STDMETHODIMP put_Bass(double bass) override;
  STDMETHODIMP get_Bass(double* bass) override;
  STDMETHODIMP get_BassRange(double* range) override;

 private:
  VirtualMicrophoneFilter& filter_;
  AM_MEDIA_TYPE type_ = {};
};

class VirtualMicrophoneFilter final : public SinglePinFilter {
 public:
  explicit VirtualMicrophoneFilter(const CLSID& clsid);

 private:
  ~VirtualMicrophoneFilter() override = default;
  IPin* OwnPin() override { return &pin_; }

  VirtualMicrophonePin pin_;
};

}  // namespace shadowpane::virtualdevices
