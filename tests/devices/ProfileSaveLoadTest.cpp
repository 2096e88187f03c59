#include <gtest/gtest.h>

#include <string>

#include "devices/DeviceList.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

using testing::MakeTestDevice;
using testing::MemoryProfileFile;
using testing::RecordingPoster;

class ProfileSaveTest : public ::testing::Test {
 protected:
  SPDEV* Link(const std::u16string& name, const std::u16string& path) {
    return list.LinkDevice(MakeTestDevice(poster, name, path));
  }
  std::vector<ProfileRecord> Saved() {
    std::vector<ProfileRecord> records;
    EXPECT_EQ(DecodeProfile(file.contents.data(), file.contents.size(), records), 1);
    return records;
  }
  RecordingPoster poster;
  MemoryProfileFile file;
  DeviceList list{&file};
};

TEST_F(ProfileSaveTest, RecordsFollowListOrderWithBlockedStates) {
  Link(u"Old", u"path-old")->Block();
  Link(u"New", u"path-new");
  ASSERT_EQ(SaveProfile(list), 1);
  EXPECT_EQ(file.contents.size(), 8u + 2 * 520u);
  auto records = Saved();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].path, u"path-new");  // head first: newest device
  EXPECT_EQ(records[0].blocked, 0u);
  EXPECT_EQ(records[1].path, u"path-old");
  EXPECT_EQ(records[1].blocked, 1u);
}

TEST_F(ProfileSaveTest, FileStaysOpenBetweenSavesAndIsOpenedOnce) {
  Link(u"A", u"a");
  ASSERT_EQ(SaveProfile(list), 1);
  ASSERT_EQ(SaveProfile(list), 1);
  EXPECT_TRUE(file.open);
  EXPECT_EQ(file.opens, 1);
}

TEST_F(ProfileSaveTest, FailedOpenAnswers0AndALaterSaveTriesAgain) {
  Link(u"A", u"a");
  file.failOpen = true;
  EXPECT_EQ(SaveProfile(list), 0);
  EXPECT_FALSE(file.open);
  file.failOpen = false;
  EXPECT_EQ(SaveProfile(list), 1);
  EXPECT_EQ(Saved().size(), 1u);
}

TEST_F(ProfileSaveTest, FailedWriteClosesSoTheNextSaveReopens) {
  Link(u"A", u"a");
  ASSERT_EQ(SaveProfile(list), 1);
  file.failWrite = true;
  EXPECT_EQ(SaveProfile(list), 0);
  EXPECT_FALSE(file.open);
  EXPECT_EQ(file.closes, 1);
  file.failWrite = false;
  EXPECT_EQ(SaveProfile(list), 1);
  EXPECT_EQ(file.opens, 2);
}

TEST_F(ProfileSaveTest, ListWithoutProfileFileIsNeverSaved) {
  DeviceList bare;
  EXPECT_EQ(SaveProfile(bare), 0);
}

TEST_F(ProfileSaveTest, DestroyDeviceListSavesStatesBeforeUnblockingThenCloses) {
  Link(u"A", u"a")->Block();
  Link(u"B", u"b")->Block();
  list.DestroyDeviceList();
  EXPECT_FALSE(file.open);
  auto records = Saved();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].blocked, 1u);
  EXPECT_EQ(records[1].blocked, 1u);
  // Both devices were unblocked while being destroyed.
  EXPECT_EQ(poster.Count(), 4u);
}

TEST_F(ProfileSaveTest, LoadReadsBackWhatWasSaved) {
  Link(u"A", u"a")->Block();
  SaveProfile(list);
  std::vector<ProfileRecord> records;
  ASSERT_EQ(LoadProfile(file, records), 1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].path, u"a");
  EXPECT_EQ(records[0].blocked, 1u);
}

TEST_F(ProfileSaveTest, LoadOfMissingOrUnreadableFileAnswers0) {
  std::vector<ProfileRecord> records;
  EXPECT_EQ(LoadProfile(file, records), 0);
  file.exists = true;
  file.contents = {'D', 'V', 'P', 0, 1, 0, 0, 0};
  file.failRead = true;
  EXPECT_EQ(LoadProfile(file, records), 0);
  file.failRead = false;
  EXPECT_EQ(LoadProfile(file, records), 1);
  EXPECT_TRUE(records.empty());
}

}  // namespace
}  // namespace shadowpane
