// MicrophonePath and ParseMicrophonePath: the one form of a microphone's key
// in Profile.db, written and read back with the same name limit.
#include "devices/MicrophonePath.h"

#include <gtest/gtest.h>

#include <string>

namespace shadowpane {
namespace {

TEST(MicrophonePath, NumberBlankAndAtMost200CharactersOfTheName) {
  EXPECT_EQ(MicrophonePath(0, u"In: default"), u"0 In: default");
  EXPECT_EQ(MicrophonePath(-1, u"x"), u"-1 x");
  EXPECT_EQ(MicrophonePath(12, u""), u"12 ");
  const std::u16string longName(255, u'n');
  EXPECT_EQ(MicrophonePath(7, longName.c_str()), u"7 " + std::u16string(200, u'n'));
}

TEST(MicrophonePath, ReadsBackWhatItWrites) {
  struct Case {
    std::u16string path;
    bool parsed;
    std::int64_t number;
    std::u16string name;
  };
  const std::u16string longName(255, u'n');
  const Case cases[] = {
      {MicrophonePath(3, u"USB Mic"), true, 3, u"USB Mic"},
      {MicrophonePath(-1, u"x"), true, -1, u"x"},
      {MicrophonePath(12, u""), true, 12, u""},
      {MicrophonePath(7, longName.c_str()), true, 7, MicrophonePathName(longName)},
      {u"\\\\?\\usb#cam", false, 0, u""},
      {u"12", false, 0, u""},
      {u" Mic", false, 0, u""},
  };
  for (const Case& c : cases) {
    std::int64_t number = 0;
    std::u16string name;
    EXPECT_EQ(ParseMicrophonePath(c.path, &number, &name), c.parsed);
    if (!c.parsed) continue;
    EXPECT_EQ(number, c.number);
    EXPECT_EQ(name, c.name);
  }
}

}  // namespace
}  // namespace shadowpane
