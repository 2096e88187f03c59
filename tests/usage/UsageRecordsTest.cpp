// The usage record parser against what the registry may hold: the
// system's own records and hostile ones.
#include "usage/UsageRecords.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

RawUsageValue Qword(std::uint64_t time) {
  RawUsageValue value;
  value.present = true;
  value.type = kRegistryQwordType;
  value.size = 8;
  for (int i = 0; i < 8; ++i) value.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(time >> (8 * i));
  return value;
}

RawUsageValue Typed(std::uint32_t type, std::uint32_t size, std::uint64_t time) {
  RawUsageValue value = Qword(time);
  value.type = type;
  value.size = size;
  return value;
}

constexpr std::uint64_t kStart = 0x01D6380A8C9E3000ull;  // mid-2020
constexpr std::uint64_t kLater = kStart + 10000000ull;

struct ParseCase {
  const char* what;
  const char16_t* name;
  bool nonPackaged;
  RawUsageValue start;
  RawUsageValue stop;
  int answer;
  const char16_t* program;
  const char16_t* identity;
  bool inUse;
};

TEST(UsageRecords, ParsesTheSystemsRecordsAndRefusesHostileOnes) {
  const RawUsageValue none;
  const ParseCase cases[] = {
      {"desktop program in use: stop cleared to 0", u"C:#Program Files#Zoom#bin#Zoom.exe", true, Qword(kStart),
       Qword(0), 1, u"Zoom.exe", u"C:\\Program Files\\Zoom\\bin\\Zoom.exe", true},
      {"desktop program done", u"C:#Tools#rec.exe", true, Qword(kStart), Qword(kLater), 1, u"rec.exe",
       u"C:\\Tools\\rec.exe", false},
      {"start and no stop value", u"C:#Tools#rec.exe", true, Qword(kStart), none, 1, u"rec.exe",
       u"C:\\Tools\\rec.exe", true},
      {"started again after its last stop", u"C:#Tools#rec.exe", true, Qword(kLater), Qword(kStart), 1,
       u"rec.exe", u"C:\\Tools\\rec.exe", true},
      {"path without #: a bare name", u"rec.exe", true, Qword(kStart), Qword(0), 1, u"rec.exe", u"rec.exe", true},
      {"packaged: family name", u"Microsoft.WindowsCamera_8wekyb3d8bbwe", false, Qword(kStart), Qword(0), 1,
       u"Microsoft.WindowsCamera", u"Microsoft.WindowsCamera_8wekyb3d8bbwe", true},
      {"packaged without publisher", u"Contoso.App", false, Qword(kStart), Qword(kLater), 1, u"Contoso.App",
       u"Contoso.App", false},
      {"stop of the wrong type counts as absent", u"a.exe", true, Qword(kStart), Typed(1, 8, kLater), 1, u"a.exe",
       u"a.exe", true},
      {"stop of the wrong size counts as absent", u"a.exe", true, Qword(kStart), Typed(kRegistryQwordType, 4, kLater),
       1, u"a.exe", u"a.exe", true},
      {"no start: never used", u"a.exe", true, none, Qword(kLater), 0, u"", u"", false},
      {"start as a DWORD", u"a.exe", true, Typed(4, 4, kStart), Qword(0), 0, u"", u"", false},
      {"start as a string", u"a.exe", true, Typed(1, 8, kStart), Qword(0), 0, u"", u"", false},
      {"start longer than a QWORD", u"a.exe", true, Typed(kRegistryQwordType, 1u << 30, kStart), Qword(0), 0, u"",
       u"", false},
      {"start past the last FILETIME", u"a.exe", true, Qword(0xFFFFFFFFFFFFFFFFull), Qword(0), 0, u"", u"", false},
      {"start of 0", u"a.exe", true, Qword(0), Qword(0), 0, u"", u"", false},
      {"empty name", u"", true, Qword(kStart), Qword(0), 0, u"", u"", false},
      {"path ending in #", u"C:#Tools#", true, Qword(kStart), Qword(0), 0, u"", u"", false},
      {"only #", u"#", true, Qword(kStart), Qword(0), 0, u"", u"", false},
      {"control character in the name", u"C:#evil\n.exe", true, Qword(kStart), Qword(0), 0, u"", u"", false},
      {"the NonPackaged container", u"NonPackaged", false, Qword(kStart), Qword(0), 0, u"", u"", false},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.what);
    RawUsageKey key;
    key.name = c.name;
    key.nonPackaged = c.nonPackaged;
    key.lastStart = c.start;
    key.lastStop = c.stop;
    UsageRecord record;
    record.program = u"untouched";
    ASSERT_EQ(ParseUsageRecord(key, record), c.answer);
    if (c.answer != 1) {
      EXPECT_EQ(record.program, u"untouched");
      continue;
    }
    EXPECT_EQ(record.program, c.program);
    EXPECT_EQ(record.identity, c.identity);
    EXPECT_EQ(record.packaged, !c.nonPackaged);
    EXPECT_EQ(record.inUse, c.inUse);
  }
}

TEST(UsageRecords, NameLengthIsBoundedByTheRegistrysLimit) {
  RawUsageKey key;
  key.nonPackaged = true;
  key.lastStart = Qword(kStart);
  UsageRecord record;
  key.name = WideString(static_cast<std::size_t>(kMaxUsageKeyNameChars), u'a');
  EXPECT_EQ(ParseUsageRecord(key, record), 1);
  key.name += u'a';
  EXPECT_EQ(ParseUsageRecord(key, record), 0);
}

TEST(UsageRecords, ManyKeysAreReadBoundedAndOneProgramKeepsItsLatestStart) {
  std::vector<RawUsageKey> keys;
  RawUsageKey older{u"C:#a.exe", true, Qword(kStart), Qword(kLater)};
  RawUsageKey newer{u"C:#a.exe", true, Qword(kLater + 1), Qword(0)};  // the same program under the other root
  RawUsageKey packagedNamesake{u"C:#a.exe", false, Qword(kStart), Qword(0)};
  keys = {older, newer, packagedNamesake};
  std::vector<UsageRecord> records = ParseUsageKeys(keys);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].inUse);
  EXPECT_EQ(records[0].lastStart, kLater + 1);
  // A flooded key: only the first kMaxUsageRecords are looked at.
  keys.clear();
  for (int i = 0; i < kMaxUsageRecords * 40; ++i) {
    keys.push_back({u"p" + WideString(1, static_cast<WideChar>(u'A' + i % 26)) + WideString(static_cast<std::size_t>(i / 26 % 200), u'x'),
                    true, Qword(kStart), Qword(0)});
  }
  records = ParseUsageKeys(keys);
  EXPECT_LE(records.size(), static_cast<std::size_t>(kMaxUsageRecords));
  EXPECT_GT(records.size(), 0u);
}

}  // namespace
}  // namespace shadowpane
