// A device class of the tests: blocking always succeeds unless told to fail,
// and its destruction is counted so ownership can be checked.
#pragma once

#include <string>

#include "devices/Device.h"

namespace shadowpane::testing {

struct TestInitRecord : DeviceInitRecord {
  TestInitRecord(const std::u16string& friendly, const std::u16string& path_,
                 NotifyWindow window_ = 0x1234)
      : friendlyName(friendly), path(path_), window(window_) {
    kind = DEVICE_KIND_VIDEO;
  }
  std::u16string friendlyName;
  std::u16string path;
  NotifyWindow window;
};

class TestDevice : public SPDEV {
 public:
  explicit TestDevice(DevicePoster& poster, int* destroyedCount = nullptr)
      : SPDEV(poster), destroyedCount_(destroyedCount) {}
  ~TestDevice() override;

  int GetKind() override { return DEVICE_KIND_VIDEO; }
  int Init(const DeviceInitRecord* record) override;
  int Block() override;
  int Unblock() override;
  int GetWaveInId() override { return 0; }
  int SetWaveInId(std::uint32_t) override { return 0; }
  int PollDeviceLost() override { return 0; }

  int blockResult = 1;  // anything but 1 fails the block
  bool held = false;

 private:
  int* destroyedCount_;
};

// Creates, initialises and returns a device (not linked).
TestDevice* MakeTestDevice(DevicePoster& poster, const std::u16string& friendly,
                           const std::u16string& path, int* destroyedCount = nullptr);

}  // namespace shadowpane::testing
