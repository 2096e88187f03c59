// SPDEVCAM: a webcam, blocked by holding its capture filter in a private,
// paused capture graph so no other program can open the capture driver.
// Everything runs on the user-interface thread.
#pragma once

#include <memory>
#include <string>

#include "devices/CaptureServices.h"
#include "devices/Device.h"

namespace shadowpane {

// What Block answers when the graph paused but the capture filter did not
// (VFW_E_NOT_PAUSED): the device was not opened.
constexpr HResult kHrNotPaused = static_cast<HResult>(0x80040225u);

// What discovery hands a new camera.
struct VideoInitRecord : DeviceInitRecord {
  VideoInitRecord() { kind = DEVICE_KIND_VIDEO; }
  // Bound from the device's moniker; Init takes it over, so a record that
  // was never used to initialise a camera releases it itself.
  mutable std::unique_ptr<CaptureFilter> captureFilter;
  // A second, independent binding of the same moniker: what the hold check
  // opens the device with, as another program would. None: the hold is not
  // checked (and so never called shared).
  mutable std::unique_ptr<CaptureFilter> checkFilter;
  WideChar friendlyName[kNameUnits] = {};
  WideChar path[kNameUnits] = {};
  // The moniker's "CLSID", the class that makes its filter; read only for a
  // camera without a path, which discovery then knows by name and class.
  WideChar filterClass[kNameUnits] = {};
  NotifyWindow notifyWindow = 0;
};

class SPDEVCAM : public SPDEV {
 public:
  // The services must outlive the camera.
  SPDEVCAM(DevicePoster& poster, CaptureServices& services);
  // Unblocks (a refused stop does not keep the graph), then releases the
  // capture filter.
  ~SPDEVCAM() override;

  int GetKind() override;
  int Init(const DeviceInitRecord* record) override;
  // 1 when the camera is held; a negative COM result of the step that
  // failed, or 0 when the camera has no capture filter. A camera already
  // held answers 1 and keeps its graph. A new hold is checked (CheckHold)
  // before its state is posted, so the post already tells whether it is
  // shared.
  int Block() override;
  // 1 when released or nothing was held; 0 when the graph refused to stop.
  int Unblock() override;
  int GetWaveInId() override;
  int SetWaveInId(std::uint32_t id) override;
  // 1 when the graph has queued EC_DEVICE_LOST; 0 when its queue ran dry or
  // there is no graph.
  int PollDeviceLost() override;

  // True while the graph exists (between a successful Block and Unblock).
  bool HoldsGraph() const { return mediaControl_ != nullptr; }
  // The class of the camera's filter as its moniker named it; empty unless
  // the camera has no path. User-interface thread only.
  const std::u16string& FilterClass() const { return filterClass_; }

  // Holding the camera keeps other programs out only where the system gives
  // it to one client at a time; newer systems share it. The check meets the
  // hold as another program would: a graph of its own on the second
  // binding, rendered and paused, then stopped and released at once. True
  // when every step succeeded, i.e. the hold is shared; false when a step
  // was refused (the hold is verified) or there is no second binding.
  bool CheckHold();
  // For a held camera: checks the hold again and, when the answer differs
  // from its shared bit, sets the bit and posts DEVICE_STATE_CHANGED.
  // Answers 1 when it checked, 0 for a camera not held.
  int RecheckHold() override;

 private:
  // `paused` tells the caller that the graph was paused, so a failure
  // after that stops it before releasing it.
  HResult BuildAndPauseGraph(NotifyWindow window, std::unique_ptr<CapturePin>& pin, bool& paused);
  void DetachNotifyWindow();
  // Releases the graph's references in their fixed order.
  void ReleaseGraph();

  CaptureServices& services_;
  std::unique_ptr<FilterGraph> graph_;
  std::unique_ptr<CaptureGraphBuilder> captureBuilder_;
  std::unique_ptr<CaptureFilter> captureFilter_;
  std::unique_ptr<CaptureFilter> nullRenderer_;
  std::unique_ptr<MediaControl> mediaControl_;
  std::unique_ptr<MediaEvent> mediaEvent_;
  std::unique_ptr<CaptureFilter> checkFilter_;
  std::u16string filterClass_;
};

}  // namespace shadowpane
