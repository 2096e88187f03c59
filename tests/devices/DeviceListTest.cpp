#include "devices/DeviceList.h"

#include <gtest/gtest.h>

#include <string>

#include "devices/DeviceText.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

using testing::MakeTestDevice;
using testing::RecordingPoster;
using testing::TestDevice;

std::u16string DisplayName(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetDisplayName(buffer, kMaxNameChars);
  return buffer;
}

std::u16string FriendlyName(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetFriendlyName(buffer, kMaxNameChars);
  return buffer;
}

std::u16string U16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

class DeviceListTest : public ::testing::Test {
 protected:
  SPDEV* Link(const std::u16string& name, const std::u16string& path = u"") {
    return list.LinkDevice(MakeTestDevice(poster, name, path, &destroyed));
  }
  RecordingPoster poster;
  int destroyed = 0;
  DeviceList list;
};

TEST_F(DeviceListTest, DuplicateNamesGetLowestFreeSuffixAndKeepItAfterTheFirstGoes) {
  SPDEV* first = Link(u"USB Camera");
  SPDEV* second = Link(u"USB Camera");
  SPDEV* third = Link(u"USB Camera");
  EXPECT_EQ(DisplayName(first), u"USB Camera");
  EXPECT_EQ(DisplayName(second), u"USB Camera-1");
  EXPECT_EQ(DisplayName(third), u"USB Camera-2");
  EXPECT_EQ(FriendlyName(second), u"USB Camera");

  list.DestroyDevice(first);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(DisplayName(second), u"USB Camera-1");
  // The freed plain name is the lowest free candidate again.
  EXPECT_EQ(DisplayName(Link(u"USB Camera")), u"USB Camera");
  // And a freed suffix is reused before a higher one.
  list.DestroyDevice(second);
  EXPECT_EQ(DisplayName(Link(u"USB Camera")), u"USB Camera-1");
  EXPECT_EQ(DisplayName(Link(u"USB Camera")), u"USB Camera-3");
}

TEST_F(DeviceListTest, NewDevicesArePushedAtTheHead) {
  SPDEV* a = Link(u"A");
  SPDEV* b = Link(u"B");
  EXPECT_EQ(list.head(), b);
  EXPECT_EQ(b->next, a);
  EXPECT_EQ(a->next, nullptr);
}

TEST_F(DeviceListTest, SuffixSkipsNamesTakenByOtherDevices) {
  Link(u"Mic");
  Link(u"Mic-1");  // a device that really is called that
  EXPECT_EQ(DisplayName(Link(u"Mic")), u"Mic-2");
}

TEST_F(DeviceListTest, LongFriendlyNameKeeps255AndIsListedWith250) {
  const std::u16string reported(300, u'n');
  SPDEV* device = Link(reported);
  EXPECT_EQ(FriendlyName(device), reported.substr(0, 255));
  EXPECT_EQ(DisplayName(device), reported.substr(0, 250));
}

TEST_F(DeviceListTest, LongNamesStayUniqueWhenSuffixed) {
  const std::u16string reported(300, u'n');
  SPDEV* a = Link(reported);
  SPDEV* b = Link(reported);
  SPDEV* c = Link(reported);
  EXPECT_EQ(DisplayName(a), std::u16string(250, u'n'));
  EXPECT_EQ(DisplayName(b), std::u16string(253, u'n') + u"-1");
  EXPECT_EQ(DisplayName(c), std::u16string(253, u'n') + u"-2");
  EXPECT_EQ(DisplayName(b).size(), 255u);
}

TEST_F(DeviceListTest, RefusesTheDevicePastSuffix9998) {
  for (int i = 0; i <= kMaxDisplayNameSuffix; ++i) ASSERT_NE(Link(u"Cam"), nullptr) << i;
  EXPECT_EQ(DisplayName(list.head()), u"Cam-9998");
  EXPECT_EQ(Link(u"Cam"), nullptr);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(list.Count(), kMaxDisplayNameSuffix + 1);
  // Another name is still welcome.
  EXPECT_NE(Link(u"Other"), nullptr);
}

TEST_F(DeviceListTest, SuffixAfterRefusalAndRemovalIsTheFreedOne) {
  for (int i = 0; i <= kMaxDisplayNameSuffix; ++i) Link(u"Cam");
  SPDEV* victim = list.FindByDisplayName(u"Cam-4711");
  ASSERT_NE(victim, nullptr);
  list.DestroyDevice(victim);
  EXPECT_EQ(DisplayName(Link(u"Cam")), u"Cam-4711");
}

TEST_F(DeviceListTest, FindIsExactAndCaseSensitive) {
  SPDEV* a = Link(u"Camera", u"\\\\?\\usb#vid_1");
  Link(u"Camera", u"\\\\?\\usb#vid_2");
  EXPECT_EQ(list.FindByDisplayName(u"Camera"), a);
  EXPECT_EQ(list.FindByDisplayName(u"camera"), nullptr);
  EXPECT_EQ(list.FindByDisplayName(u"Camer"), nullptr);
  EXPECT_EQ(list.FindByDisplayName(u""), nullptr);
  EXPECT_EQ(list.FindByPath(u"\\\\?\\usb#vid_1"), a);
  EXPECT_EQ(list.FindByPath(u""), nullptr);
  EXPECT_EQ(list.FindByPath(nullptr), nullptr);
}

TEST_F(DeviceListTest, EmptyPathDevicesAreNotFoundByEmptyPath) {
  Link(u"NoPath", u"");
  EXPECT_EQ(list.FindByPath(u""), nullptr);
}

TEST_F(DeviceListTest, AllBlockedFollowsEveryDevice) {
  EXPECT_EQ(list.AllBlocked(), 1);  // empty list
  SPDEV* a = Link(u"A");
  SPDEV* b = Link(u"B");
  EXPECT_EQ(list.AllBlocked(), 0);
  a->Block();
  EXPECT_EQ(list.AllBlocked(), 0);
  b->Block();
  EXPECT_EQ(list.AllBlocked(), 1);
  EXPECT_EQ(DeviceList::IsBlocked(a), 1);
}

TEST_F(DeviceListTest, NotifyPluggedInPostsToTheDevicesWindow) {
  SPDEV* a = Link(u"A");
  DeviceList::NotifyPluggedIn(a);
  auto posts = poster.Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].code, DEVICE_PLUGGED_IN);
  EXPECT_EQ(posts[0].device, a);
}

TEST_F(DeviceListTest, SweptDeviceIsNoLongerContained) {
  SPDEV* a = Link(u"A");
  EXPECT_TRUE(list.Contains(a));
  list.DestroyDevice(a);
  EXPECT_FALSE(list.Contains(a));
  EXPECT_FALSE(list.Contains(nullptr));
}

TEST_F(DeviceListTest, DestroyingABlockedDeviceUnblocksItFirst) {
  SPDEV* a = Link(u"A");
  a->Block();
  poster.Clear();
  list.DestroyDevice(a);
  ASSERT_EQ(poster.Count(), 1u);  // its unblock reported the change
  EXPECT_EQ(destroyed, 1);
}

TEST_F(DeviceListTest, DestroyDeviceListDestroysEveryDevice) {
  for (int i = 0; i < 5; ++i) Link(U16("D" + std::to_string(i)));
  list.DestroyDeviceList();
  EXPECT_EQ(destroyed, 5);
  EXPECT_EQ(list.head(), nullptr);
  // Names are free again for a new run.
  EXPECT_EQ(DisplayName(Link(u"D1")), u"D1");
}

}  // namespace
}  // namespace shadowpane
