#include "devices/Device.h"

#include <gtest/gtest.h>

#include "devices/DeviceText.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

using testing::MakeTestDevice;
using testing::RecordingPoster;
using testing::TestDevice;

TEST(DeviceStateChanges, BlockSetsBitAndPostsStateChangedToNotifyWindow) {
  RecordingPoster poster;
  std::unique_ptr<TestDevice> device(MakeTestDevice(poster, u"Cam", u"\\\\?\\usb#1"));
  EXPECT_EQ(device->IsBlockedBitSet(), 0);
  ASSERT_EQ(device->Block(), 1);
  EXPECT_EQ(device->IsBlockedBitSet(), 1);
  auto posts = poster.Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].code, DEVICE_STATE_CHANGED);
  EXPECT_EQ(posts[0].window, 0x1234u);
  EXPECT_EQ(posts[0].device, device.get());
}

TEST(DeviceStateChanges, UnblockOfNeverBlockedDevicePostsNothing) {
  RecordingPoster poster;
  std::unique_ptr<TestDevice> device(MakeTestDevice(poster, u"Cam", u"p"));
  EXPECT_EQ(device->Unblock(), 1);
  EXPECT_EQ(poster.Count(), 0u);
}

TEST(DeviceStateChanges, FailedBlockLeavesBitClearAndPostsNothing) {
  RecordingPoster poster;
  std::unique_ptr<TestDevice> device(MakeTestDevice(poster, u"Cam", u"p"));
  device->blockResult = -2147467259;  // E_FAIL
  EXPECT_EQ(device->Block(), -2147467259);
  EXPECT_EQ(device->IsBlockedBitSet(), 0);
  EXPECT_EQ(poster.Count(), 0u);
}

TEST(DeviceNames, InitStoresDisplayNameAndPathButNoFriendlyName) {
  RecordingPoster poster;
  std::unique_ptr<TestDevice> device(MakeTestDevice(poster, u"USB Camera", u"path-1"));
  WideChar buffer[kNameUnits] = {};
  EXPECT_EQ(device->GetDisplayName(buffer, kMaxNameChars), 10);
  EXPECT_EQ(std::u16string(buffer), u"USB Camera");
  WideChar friendly[kNameUnits] = {};
  EXPECT_EQ(device->GetFriendlyName(friendly, kMaxNameChars), 0);
  WideChar path[kNameUnits] = {};
  EXPECT_EQ(device->GetPath(path, kMaxNameChars), 6);
  EXPECT_EQ(std::u16string(path), u"path-1");
}

TEST(DeviceNames, InitIgnoresNullAndForeignRecords) {
  RecordingPoster poster;
  std::unique_ptr<TestDevice> device(MakeTestDevice(poster, u"Cam", u"p"));
  DeviceInitRecord foreign;
  foreign.kind = DEVICE_KIND_AUDIO;
  EXPECT_EQ(device->Init(nullptr), 0);
  EXPECT_EQ(device->Init(&foreign), 0);
  WideChar buffer[kNameUnits] = {};
  device->GetDisplayName(buffer, kMaxNameChars);
  EXPECT_EQ(std::u16string(buffer), u"Cam");
}

TEST(DeviceNotify, PostNotifyUsesTheCodeAndLeavesTheBitAlone) {
  RecordingPoster poster;
  std::unique_ptr<TestDevice> device(MakeTestDevice(poster, u"Cam", u"p"));
  device->PostNotify(DEVICE_PLUGGED_IN);
  ASSERT_EQ(poster.Count(), 1u);
  EXPECT_EQ(poster.Posts()[0].code, DEVICE_PLUGGED_IN);
  EXPECT_EQ(device->IsBlockedBitSet(), 0);
}

TEST(ListItemData, HighWordBlockedLowWordKind) {
  EXPECT_EQ(MakeListItemData(1, DEVICE_KIND_AUDIO), 0x10001u);
  EXPECT_EQ(MakeListItemData(0, DEVICE_KIND_AUDIO), 0x00001u);
  EXPECT_EQ(MakeListItemData(7, DEVICE_KIND_VIDEO), 0x10000u);
  EXPECT_EQ(ListItemBlocked(0x10001u), 1);
  EXPECT_EQ(ListItemKind(0x10001u), DEVICE_KIND_AUDIO);
  EXPECT_EQ(DeviceNotifyWParam(DEVICE_PLUGGED_IN), 0x20000u);
}

}  // namespace
}  // namespace shadowpane
