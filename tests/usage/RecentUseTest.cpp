// The "Recent use" log, its file image and how a corrupt file is set aside.
#include "usage/RecentUse.h"

#include <gtest/gtest.h>

#include "tests/support/FakeUsageSources.h"

namespace shadowpane {
namespace {

UsageEvent Event(int i) {
  UsageEvent event;
  event.time = 0x01D6380A8C9E3000ull + static_cast<std::uint64_t>(i);
  event.program = u"prog" + WideString(1, static_cast<WideChar>(u'A' + i % 26)) + u".exe";
  event.kind = i % 2 == 0 ? UsageKind::Camera : UsageKind::Microphone;
  event.device = i % 3 == 0 ? WideString(u"Mikrofon (Gerät \u00e9)") : WideString();
  event.turnedAway = i % 4 == 0;
  return event;
}

bool Same(const UsageEvent& a, const UsageEvent& b) {
  return a.time == b.time && a.program == b.program && a.kind == b.kind && a.device == b.device &&
         a.turnedAway == b.turnedAway;
}

RecentUseLog FullLog() {
  RecentUseLog log;
  for (int i = 0; i < kRecentUseEvents + 7; ++i) log.Add(Event(i));
  return log;
}

TEST(RecentUse, KeepsTheLastEventsAndReadsBackExactly) {
  const RecentUseLog log = FullLog();
  ASSERT_EQ(log.Events().size(), static_cast<std::size_t>(kRecentUseEvents));
  EXPECT_TRUE(Same(log.Events().front(), Event(7))) << "the oldest went first";
  EXPECT_TRUE(Same(log.Events().back(), Event(kRecentUseEvents + 6)));

  const std::vector<std::uint8_t> image = EncodeRecentUse(log);
  EXPECT_LE(image.size(), kMaxRecentUseFileBytes);
  RecentUseLog read;
  ASSERT_EQ(DecodeRecentUse(image.data(), image.size(), read), 1);
  ASSERT_EQ(read.Events().size(), log.Events().size());
  for (std::size_t i = 0; i < log.Events().size(); ++i) EXPECT_TRUE(Same(read.Events()[i], log.Events()[i])) << i;

  RecentUseLog empty;
  const std::vector<std::uint8_t> emptyImage = EncodeRecentUse(empty);
  EXPECT_EQ(DecodeRecentUse(emptyImage.data(), emptyImage.size(), read), 1);
  EXPECT_TRUE(read.Events().empty());
}

TEST(RecentUse, LongNamesAreCutAndTheLargestImageFitsTheBound) {
  RecentUseLog log;
  UsageEvent event = Event(1);
  event.program = WideString(5000, u'p');
  event.device = WideString(5000, u'd');
  for (int i = 0; i < kRecentUseEvents; ++i) log.Add(event);
  EXPECT_EQ(log.Events().back().program.size(), static_cast<std::size_t>(kRecentUseNameChars));
  const std::vector<std::uint8_t> image = EncodeRecentUse(log);
  EXPECT_LE(image.size(), kMaxRecentUseFileBytes);
  RecentUseLog read;
  EXPECT_EQ(DecodeRecentUse(image.data(), image.size(), read), 1);
}

TEST(RecentUse, AnyDamageToTheImageIsRefusedWhole) {
  const std::vector<std::uint8_t> image = EncodeRecentUse(FullLog());
  RecentUseLog kept;
  kept.Add(Event(99));
  // Every single changed byte, every cut and every extra byte is refused,
  // and the log in hand stays as it was.
  for (std::size_t at = 0; at < image.size(); ++at) {
    std::vector<std::uint8_t> damaged = image;
    damaged[at] ^= 0x41;
    ASSERT_EQ(DecodeRecentUse(damaged.data(), damaged.size(), kept), 0) << "byte " << at;
  }
  for (std::size_t length = 0; length < image.size(); length += 7) {
    ASSERT_EQ(DecodeRecentUse(image.data(), length, kept), 0) << "cut at " << length;
  }
  std::vector<std::uint8_t> longer = image;
  longer.push_back(0);
  EXPECT_EQ(DecodeRecentUse(longer.data(), longer.size(), kept), 0);
  EXPECT_EQ(DecodeRecentUse(nullptr, 0, kept), 0);
  ASSERT_EQ(kept.Events().size(), 1u);
  EXPECT_TRUE(Same(kept.Events()[0], Event(99)));
}

TEST(RecentUse, AnImageOfMoreEventsThanTheLogKeepsIsRefusedThoughItsChecksumIsRight) {
  // The image: tag (4), version (2), count (2), events, checksum (4).
  constexpr std::size_t kCountAt = 6;
  constexpr std::size_t kEventsAt = 8;
  constexpr std::size_t kChecksumBytes = 4;
  RecentUseLog one;
  one.Add(Event(1));
  const std::vector<std::uint8_t> full = EncodeRecentUse(FullLog());
  const std::vector<std::uint8_t> single = EncodeRecentUse(one);
  // The full log's events and one more, with the count and the checksum made right.
  std::vector<std::uint8_t> image(full.begin(), full.end() - kChecksumBytes);
  image.insert(image.end(), single.begin() + kEventsAt, single.end() - kChecksumBytes);
  image[kCountAt] = static_cast<std::uint8_t>(kRecentUseEvents + 1);
  const std::uint32_t sum = RecentUseChecksum(image.data(), image.size());
  for (std::size_t i = 0; i < kChecksumBytes; ++i) image.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
  RecentUseLog read;
  EXPECT_EQ(DecodeRecentUse(image.data(), image.size(), read), 0);
  EXPECT_TRUE(read.Events().empty());
  // The same splice at the log's own bound is taken: only the count refused it.
  std::vector<std::uint8_t> atBound(single.begin(), single.end() - kChecksumBytes);
  const std::vector<std::uint8_t> fewer = [] {
    RecentUseLog log;
    for (int i = 0; i < kRecentUseEvents - 1; ++i) log.Add(Event(i));
    return EncodeRecentUse(log);
  }();
  atBound.insert(atBound.end(), fewer.begin() + kEventsAt, fewer.end() - kChecksumBytes);
  atBound[kCountAt] = static_cast<std::uint8_t>(kRecentUseEvents);
  const std::uint32_t boundSum = RecentUseChecksum(atBound.data(), atBound.size());
  for (std::size_t i = 0; i < kChecksumBytes; ++i) atBound.push_back(static_cast<std::uint8_t>(boundSum >> (8 * i)));
  EXPECT_EQ(DecodeRecentUse(atBound.data(), atBound.size(), read), 1);
  EXPECT_EQ(read.Events().size(), static_cast<std::size_t>(kRecentUseEvents));
}

TEST(RecentUse, ACorruptFileIsSetAsideAndTheNextSaveStartsAfresh) {
  struct Case {
    const char* what;
    bool exists;
    bool unreadable;
    std::vector<std::uint8_t> bytes;
    int answer;
    std::size_t events;
    int setAside;
  };
  const std::vector<std::uint8_t> good = EncodeRecentUse(FullLog());
  std::vector<std::uint8_t> bad = good;
  bad[12] ^= 1;
  const Case cases[] = {
      {"no file", false, false, {}, 0, 0, 0},
      {"a good file", true, false, good, 1, static_cast<std::size_t>(kRecentUseEvents), 0},
      {"a damaged file", true, false, bad, -1, 0, 1},
      {"an empty file", true, false, {}, -1, 0, 1},
      {"a file too long", true, false, std::vector<std::uint8_t>(kMaxRecentUseFileBytes + 1, 0), -1, 0, 1},
      {"a file that cannot be read is left alone", true, true, good, -2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::MemoryRecentUseFile file;
    file.exists = c.exists;
    file.unreadable = c.unreadable;
    file.bytes = c.bytes;
    RecentUseLog log;
    log.Add(Event(1));
    EXPECT_EQ(LoadRecentUse(file, log), c.answer);
    EXPECT_EQ(log.Events().size(), c.events);
    EXPECT_EQ(file.setAsideCount, c.setAside);
    if (c.setAside == 1) {
      EXPECT_EQ(file.setAside, c.bytes) << "kept for a look";
    }
  }
  testing::MemoryRecentUseFile file;
  const RecentUseLog log = FullLog();
  ASSERT_EQ(SaveRecentUse(file, log), 1);
  RecentUseLog read;
  EXPECT_EQ(LoadRecentUse(file, read), 1);
  EXPECT_EQ(read.Events().size(), log.Events().size());
}

}  // namespace
}  // namespace shadowpane
