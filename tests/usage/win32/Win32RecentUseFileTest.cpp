// RecentUse.db on disk: written whole, read back across instances (as
// across a restart), and a corrupt one set aside under its own name.
#include "usage/win32/Win32RecentUseFile.h"

#include <gtest/gtest.h>

#include "tests/support/win32/TempFolder.h"

namespace shadowpane {
namespace {

TEST(Win32RecentUseFile, KeepsTheLogAcrossInstancesAndSetsACorruptFileAside) {
  testing::TempFolder folder;
  const std::wstring name = folder.File(kRecentUseFileName);
  RecentUseLog log;
  for (int i = 0; i < kRecentUseEvents + 3; ++i) {
    log.Add(UsageEvent{static_cast<std::uint64_t>(i), u"Zoom.exe", UsageKind::Camera, u"a camera", i % 2 == 0});
  }
  {
    Win32RecentUseFile file(name);
    RecentUseLog none;
    EXPECT_EQ(LoadRecentUse(file, none), 0);
    ASSERT_EQ(SaveRecentUse(file, log), 1);
  }
  Win32RecentUseFile file(name);
  RecentUseLog read;
  ASSERT_EQ(LoadRecentUse(file, read), 1);
  ASSERT_EQ(read.Events().size(), static_cast<std::size_t>(kRecentUseEvents));
  EXPECT_EQ(read.Events().back().time, static_cast<std::uint64_t>(kRecentUseEvents + 2));
  EXPECT_EQ(testing::FileSizeOf(name + kRecentUseNewSuffix), -1) << "no file left half-written";

  std::string bytes = testing::ReadWholeFile(name);
  bytes[10] = static_cast<char>(bytes[10] ^ 0x5A);
  ASSERT_TRUE(testing::WriteWholeFile(name, bytes));
  EXPECT_EQ(LoadRecentUse(file, read), -1);
  EXPECT_TRUE(read.Events().empty());
  EXPECT_EQ(testing::FileSizeOf(name), -1);
  EXPECT_EQ(testing::ReadWholeFile(name + kRecentUseSetAsideSuffix), bytes) << "kept for a look";
  ASSERT_EQ(SaveRecentUse(file, log), 1);
  EXPECT_EQ(LoadRecentUse(file, read), 1);
}

}  // namespace
}  // namespace shadowpane
