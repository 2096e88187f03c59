#include "tests/support/TestDevice.h"

namespace shadowpane::testing {

TestDevice::~TestDevice() {
  Unblock();
  if (destroyedCount_ != nullptr) ++*destroyedCount_;
}

int TestDevice::Init(const DeviceInitRecord* record) {
  if (record == nullptr || record->kind != DEVICE_KIND_VIDEO) return 0;
  const auto* init = static_cast<const TestInitRecord*>(record);
  ResetStateFlags();
  SetDisplayName(init->friendlyName.c_str());
  SetFriendlyName(nullptr);
  StorePath(init->path.c_str());
  StoreNotifyWindow(init->window);
  return 0;
}

int TestDevice::Block() {
  if (blockResult != 1) return blockResult;
  held = true;
  SetBlockedAndNotify(true, ReadNotifyWindow());
  return 1;
}

int TestDevice::Unblock() {
  if (!held) return 1;
  held = false;
  SetBlockedAndNotify(false, ReadNotifyWindow());
  return 1;
}

TestDevice* MakeTestDevice(DevicePoster& poster, const std::u16string& friendly,
                           const std::u16string& path, int* destroyedCount) {
  auto* device = new TestDevice(poster, destroyedCount);
  TestInitRecord record(friendly, path);
  device->Init(&record);
  return device;
}

}  // namespace shadowpane::testing
