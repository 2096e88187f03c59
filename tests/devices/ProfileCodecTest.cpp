#include "devices/ProfileCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace shadowpane {
namespace {

std::vector<std::uint8_t> Image(const std::vector<std::pair<std::u16string, bool>>& records) {
  std::vector<std::uint8_t> image(ProfileImageSize(records.size()));
  EncodeProfileHeader(image.data());
  for (size_t i = 0; i < records.size(); ++i) {
    EncodeProfileRecord(image.data() + kProfileHeaderSize + i * kProfileRecordSize,
                        records[i].first, records[i].second);
  }
  return image;
}

TEST(ProfileEncoding, HeaderAndRecordBytesAreExact) {
  auto image = Image({{u"A\u00e9", true}});
  ASSERT_EQ(image.size(), 528u);
  const std::vector<std::uint8_t> header = {'D', 'V', 'P', 0, 1, 0, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 8), header);
  const std::uint8_t* record = image.data() + 8;
  // UTF-16LE: 'A' = 41 00, e-acute = E9 00, then the terminator.
  EXPECT_EQ(record[0], 0x41);
  EXPECT_EQ(record[1], 0x00);
  EXPECT_EQ(record[2], 0xE9);
  EXPECT_EQ(record[3], 0x00);
  for (size_t i = 4; i < 512; ++i) ASSERT_EQ(record[i], 0) << i;
  EXPECT_EQ(record[512], 1);
  for (size_t i = 513; i < 520; ++i) EXPECT_EQ(record[i], 0) << i;
}

TEST(ProfileEncoding, NonLatinUnitsKeepTheirHighByte) {
  auto image = Image({{u"\u4e2d", false}});
  EXPECT_EQ(image[8], 0x2D);
  EXPECT_EQ(image[9], 0x4E);
}

TEST(ProfileEncoding, A255CharacterPathEndsInTheLastTwoBytes) {
  auto image = Image({{std::u16string(255, u'p'), false}});
  const std::uint8_t* record = image.data() + 8;
  EXPECT_EQ(record[508], 'p');
  EXPECT_EQ(record[510], 0);
  EXPECT_EQ(record[511], 0);
  std::vector<ProfileRecord> records;
  ASSERT_EQ(DecodeProfile(image.data(), image.size(), records), 1);
  EXPECT_EQ(records[0].path, std::u16string(255, u'p'));
}

TEST(ProfileEncoding, LongerPathsAreCutTo255) {
  auto image = Image({{std::u16string(400, u'p'), true}});
  std::vector<ProfileRecord> records;
  ASSERT_EQ(DecodeProfile(image.data(), image.size(), records), 1);
  EXPECT_EQ(records[0].path.size(), 255u);
}

TEST(ProfileDecoding, RoundTripKeepsOrderAndValues) {
  auto image = Image({{u"one", true}, {u"two", false}, {u"one", false}});
  std::vector<ProfileRecord> records;
  ASSERT_EQ(DecodeProfile(image.data(), image.size(), records), 1);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].path, u"one");
  EXPECT_EQ(records[0].blocked, 1u);
  EXPECT_EQ(records[1].path, u"two");
  EXPECT_EQ(records[2].blocked, 0u);
}

TEST(ProfileDecoding, HeaderOnlyIsAValidEmptyProfile) {
  auto image = Image({});
  std::vector<ProfileRecord> records = {{u"stale", 1}};
  EXPECT_EQ(DecodeProfile(image.data(), image.size(), records), 1);
  EXPECT_TRUE(records.empty());
}

TEST(ProfileDecoding, WrongLengthsAreRejectedWhole) {
  auto image = Image({{u"one", true}});
  std::vector<ProfileRecord> records;
  for (size_t size : {size_t{0}, size_t{1}, size_t{7}, size_t{9}, size_t{527}}) {
    EXPECT_EQ(DecodeProfile(image.data(), size, records), 0) << size;
    EXPECT_TRUE(records.empty());
  }
  image.push_back(0);  // 8 + 520 + 1
  EXPECT_EQ(DecodeProfile(image.data(), image.size(), records), 0);
  EXPECT_EQ(DecodeProfile(nullptr, 8, records), 0);
}

TEST(ProfileDecoding, WrongMagicOrVersionIsRejectedWhole) {
  for (size_t byte : {size_t{0}, size_t{2}, size_t{3}, size_t{4}, size_t{7}}) {
    auto image = Image({{u"one", true}});
    image[byte] ^= 0x40;
    std::vector<ProfileRecord> records;
    EXPECT_EQ(DecodeProfile(image.data(), image.size(), records), 0) << byte;
    EXPECT_TRUE(records.empty());
  }
}

TEST(ProfileDecoding, UnterminatedPathStaysInsideItsRecordAndMatchesNoDevice) {
  auto image = Image({{u"x", true}, {u"next", false}});
  for (size_t i = 0; i < 512; i += 2) {
    image[8 + i] = 'z';
    image[8 + i + 1] = 0;
  }
  std::vector<ProfileRecord> records;
  ASSERT_EQ(DecodeProfile(image.data(), image.size(), records), 1);
  // 256 units, one more than any device path can hold.
  EXPECT_EQ(records[0].path.size(), 256u);
  EXPECT_EQ(records[0].blocked, 1u);
  EXPECT_EQ(records[1].path, u"next");
}

TEST(ProfileDecoding, ReservedWordAndAnyBlockedValueAreKept) {
  auto image = Image({{u"one", true}});
  image[8 + 512] = 0xFE;  // blocked = 0x000000FE: non-zero counts as blocked
  image[8 + 516] = 0x55;  // reserved: ignored
  std::vector<ProfileRecord> records;
  ASSERT_EQ(DecodeProfile(image.data(), image.size(), records), 1);
  EXPECT_EQ(records[0].blocked, 0xFEu);
}

TEST(ProfileDecoding, OversizedImagesAreRefused) {
  // Only the length is looked at, so no huge buffer is needed to check it.
  std::uint8_t header[8];
  EncodeProfileHeader(header);
  std::vector<ProfileRecord> records;
  EXPECT_EQ(DecodeProfile(header, ProfileImageSize(kMaxProfileRecords + 1), records), 0);
}

}  // namespace
}  // namespace shadowpane
