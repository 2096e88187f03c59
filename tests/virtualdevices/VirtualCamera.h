// A video source filter that behaves like a webcam's capture filter as far as
// a capture graph can tell: one output pin of the capture category offering
// one uncompressed video type. Like a capture driver it serves one client at
// a time: connecting the pin opens the device exclusively, so another graph
// (in this process or any other) cannot connect until the first disconnects.
// In sharing mode (kSharedAccessValue of its class) it admits further
// clients beside one that opened it in that mode, as newer systems share a
// camera; a client that opened it exclusively still keeps everyone out. In
// open-at-pause mode (kOpenAtPauseValue) it opens the device only as it
// pauses, so a second client connects and is refused at pause.
// It never produces a frame: a paused graph on it waits forever, which is all
// a holder of the camera needs.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "tests/virtualdevices/FilterParts.h"

namespace shadowpane::virtualdevices {

class VirtualCameraFilter;

class VirtualCameraPin final : public IPin, public IKsPropertySet {
 public:
  explicit VirtualCameraPin(VirtualCameraFilter& filter);
  ~VirtualCameraPin();

  // IUnknown: lifetime is the filter's.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IPin
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

  // IKsPropertySet: answers the pin category, which is how a capture graph
  // builder tells a capture pin from a preview pin.
  STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* data,
                   DWORD dataSize) override;
  STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* data,
                   DWORD dataSize, DWORD* returned) override;
  STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

  // Called by the filter (its lock held) on state changes: the stream's
  // buffers, and the device itself in open-at-pause mode.
  HRESULT StartStream();
  void StopStream();
  bool IsConnected() const { return peer_ != nullptr; }

 private:
  HRESULT NegotiateAllocator(IPin* receivePin);
  void ReleaseConnection();
  bool OpenDeviceExclusively();

  VirtualCameraFilter& filter_;
  AM_MEDIA_TYPE type_ = {};
  VIDEOINFOHEADER format_ = {};
  IPin* peer_ = nullptr;
  IMemInputPin* peerInput_ = nullptr;
  IMemAllocator* allocator_ = nullptr;
  HANDLE deviceHandle_ = INVALID_HANDLE_VALUE;
  // Read at each connection, as the sharing mode is.
  bool openAtPause_ = false;
};

class VirtualCameraFilter final : public SinglePinFilter {
 public:
  explicit VirtualCameraFilter(const CLSID& clsid);

 private:
  ~VirtualCameraFilter() override = default;
  IPin* OwnPin() override { return &pin_; }
  HRESULT OnStreamStarting() override { return pin_.StartStream(); }
  void OnStreamStopped() override { pin_.StopStream(); }

  VirtualCameraPin pin_;
};

}  // namespace shadowpane::virtualdevices
