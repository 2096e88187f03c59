// SPDEVCAM: a webcam, blocked by holding its capture filter in a private,
// paused capture graph so no other program can open the capture driver.
// Everything runs on the user-interface thread.
#pragma once

#include <memory>

#include "devices/CaptureServices.h"
#include "devices/Device.h"

namespace shadowpane {

// What discovery hands a new camera.
struct VideoInitRecord : DeviceInitRecord {
  VideoInitRecord() { kind = DEVICE_KIND_VIDEO; }
  // Bound from the device's moniker; Init takes it over, so a record that
  // was never used to initialise a camera releases it itself.
  mutable std::unique_ptr<CaptureFilter> captureFilter;
  WideChar friendlyName[kNameUnits] = {};
  WideChar path[kNameUnits] = {};
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
  // held answers 1 and keeps its graph.
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

 private:
  HResult BuildAndPauseGraph(NotifyWindow window, std::unique_ptr<CapturePin>& pin);
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
};

}  // namespace shadowpane
