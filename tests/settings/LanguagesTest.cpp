// Runs natively and, cross-compiled, under Wine: both compilers must keep
// every character of the UTF-8 sources.
#include "settings/Languages.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "res/MenuIds.h"
#include "settings/StringTables.h"

namespace shadowpane {
namespace {

// The expected texts are written as code units, independent of how the
// compiler reads the source file.
std::u16string Units(std::initializer_list<unsigned> units) {
  std::u16string text;
  for (unsigned unit : units) text.push_back(static_cast<char16_t>(unit));
  return text;
}

class LanguageTest : public ::testing::Test {
 protected:
  void TearDown() override { gDisplayLanguage = LANGUAGE_ENGLISH; }
};

TEST_F(LanguageTest, NonAsciiEntriesAreStoredAsTheirUtf16CodeUnits) {
  // "Schließen"
  EXPECT_EQ(GetStringIn(LANGUAGE_GERMAN, STR_CLOSE),
            Units({0x53, 0x63, 0x68, 0x6C, 0x69, 0x65, 0xDF, 0x65, 0x6E}));
  // "Über"
  EXPECT_EQ(GetStringIn(LANGUAGE_GERMAN, STR_ABOUT), Units({0xDC, 0x62, 0x65, 0x72}));
  // "Sí" and "Sì"
  EXPECT_EQ(GetStringIn(LANGUAGE_SPANISH, STR_YES), Units({0x53, 0xED}));
  EXPECT_EQ(GetStringIn(LANGUAGE_ITALIAN, STR_YES), Units({0x53, 0xEC}));
  // "Únete"
  EXPECT_EQ(GetStringIn(LANGUAGE_SPANISH, STR_JOIN_US_ON), Units({0xDA, 0x6E, 0x65, 0x74, 0x65}));
  // "Gerät"
  EXPECT_EQ(GetStringIn(LANGUAGE_GERMAN, STR_DEVICE), Units({0x47, 0x65, 0x72, 0xE4, 0x74}));
  // "Privatssphäre geschützt", the system's own spelling
  EXPECT_EQ(GetStringIn(LANGUAGE_GERMAN, STR_PRIVACY_PROTECTED),
            Units({0x50, 0x72, 0x69, 0x76, 0x61, 0x74, 0x73, 0x73, 0x70, 0x68, 0xE4, 0x72, 0x65,
                   0x20, 0x67, 0x65, 0x73, 0x63, 0x68, 0xFC, 0x74, 0x7A, 0x74}));
  // "Il dispositivo è stato collegato."
  const std::u16string italian = GetStringIn(LANGUAGE_ITALIAN, STR_DEVICE_PLUGGED_IN);
  ASSERT_EQ(italian.size(), 33u);
  EXPECT_EQ(italian[15], 0xE8);
}

TEST_F(LanguageTest, EntriesKeepTheSystemsOwnSpellings) {
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_GERMAN, STR_BLOCK_ALL_HINT)),
            u"Sperren Sie alle Geräte, um Ihre Privatsspäre zu schützen.");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_GERMAN, STR_PRIVACY_AT_RISK)),
            u"Privatssphäre in Gefahr");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_GERMAN, STR_WEBSITE)), u"Website");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ENGLISH, STR_WEBSITE)), u"Website");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_GERMAN, STR_PROGRAM)), u"Program");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_SPANISH, STR_PROGRAM)), u"Program");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ITALIAN, STR_PROGRAM)), u"Programma");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ENGLISH, STR_VERSION)), u"version");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ITALIAN, STR_UNABLE_TO_BLOCK)),
            u"In grado di bloccare il dispositivo.");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ENGLISH, STR_SEND_FEEDBACK)), u"Send Feedback");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ENGLISH, STR_NOTIFY_REGISTER_FAILED)),
            u"Failed to register for device notifications.");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_ENGLISH, STR_CAMERA_STILL_SHARED)),
            u"This camera can still be used by other programs while it is blocked.");
  EXPECT_EQ(std::u16string(GetStringIn(LANGUAGE_GERMAN, STR_CAMERA_STILL_SHARED)),
            u"Diese Kamera kann weiterhin von anderen Programmen verwendet werden, während sie "
            u"gesperrt ist.");
}

TEST_F(LanguageTest, EveryEntryIsNonEmptyAndReservedOnesHoldTheBlank) {
  for (int language = 0; language < kLanguageCount; ++language) {
    for (int index = 0; index < kStringCount; ++index) {
      const WideChar* text = GetStringIn(language, index);
      ASSERT_NE(text, nullptr);
      EXPECT_NE(text[0], 0) << language << "/" << index;
    }
    for (int reserved : kReservedStringIndices) {
      EXPECT_EQ(GetStringIn(language, reserved), kReservedString);
    }
  }
  // Indices that are not reserved never hold the reserved text.
  int reservedSeen = 0;
  for (int index = 0; index < kStringCount; ++index) {
    if (GetStringIn(LANGUAGE_ENGLISH, index) == kReservedString) ++reservedSeen;
  }
  EXPECT_EQ(reservedSeen, 10);
}

TEST_F(LanguageTest, GetStringFollowsLanguageIndexOnEveryCall) {
  gDisplayLanguage = LANGUAGE_ENGLISH;
  EXPECT_EQ(std::u16string(GetString(STR_PRIVACY_PROTECTED)), u"Privacy Protected");
  gDisplayLanguage = LANGUAGE_GERMAN;
  EXPECT_EQ(std::u16string(GetString(STR_PRIVACY_PROTECTED)), u"Privatssphäre geschützt");
  gDisplayLanguage = LANGUAGE_SPANISH;
  EXPECT_EQ(std::u16string(GetString(STR_PRIVACY_PROTECTED)), u"Privacidad Protegida");
  gDisplayLanguage = LANGUAGE_ITALIAN;
  EXPECT_EQ(std::u16string(GetString(STR_UNABLE_TO_UNBLOCK)),
            u"Impossibile sbloccare il dispositivo.");
}

TEST_F(LanguageTest, OutOfRangeLookupsStaySafe) {
  gDisplayLanguage = 7;
  EXPECT_EQ(std::u16string(GetString(STR_YES)), u"Yes");
  gDisplayLanguage = -1;
  EXPECT_EQ(std::u16string(GetString(STR_YES)), u"Yes");
  gDisplayLanguage = LANGUAGE_GERMAN;
  EXPECT_EQ(std::u16string(GetString(kStringCount)), u"");
  EXPECT_EQ(std::u16string(GetString(-1)), u"");
}

TEST_F(LanguageTest, LanguageNamesAndCodes) {
  const char16_t* names[] = {u"English", u"Deutsche", u"Español", u"Italiano"};
  const char16_t* codes[] = {u"en", u"de", u"es", u"it"};
  for (int language = 0; language < kLanguageCount; ++language) {
    WideChar buffer[kLanguageNameUnits] = {};
    ASSERT_TRUE(GetLanguageName(language, buffer));
    EXPECT_EQ(std::u16string(buffer), names[language]);
    ASSERT_TRUE(GetLanguageCode(language, buffer));
    EXPECT_EQ(std::u16string(buffer), codes[language]);
    EXPECT_EQ(LanguageFromName(names[language]), language);
  }
  // "Español" with its ñ as one code unit.
  WideChar spanish[kLanguageNameUnits] = {};
  GetLanguageName(LANGUAGE_SPANISH, spanish);
  EXPECT_EQ(std::u16string(spanish), Units({0x45, 0x73, 0x70, 0x61, 0xF1, 0x6F, 0x6C}));
}

TEST_F(LanguageTest, InvalidLanguageWritesNothing) {
  WideChar buffer[kLanguageNameUnits];
  for (WideChar& unit : buffer) unit = u'#';
  EXPECT_FALSE(GetLanguageName(4, buffer));
  EXPECT_FALSE(GetLanguageName(-1, buffer));
  EXPECT_FALSE(GetLanguageCode(4, buffer));
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_FALSE(GetLanguageName(LANGUAGE_GERMAN, nullptr));
}

TEST_F(LanguageTest, NameCopyRespectsASmallBuffer) {
  WideChar buffer[4] = {u'#', u'#', u'#', u'#'};
  ASSERT_TRUE(GetLanguageName(LANGUAGE_ITALIAN, buffer, 4));
  EXPECT_EQ(std::u16string(buffer), u"Ita");
}

TEST_F(LanguageTest, LanguageFromNameMatchesExactlyOrGivesEnglish) {
  EXPECT_EQ(LanguageFromName(u"Deutsche"), LANGUAGE_GERMAN);
  EXPECT_EQ(LanguageFromName(u"deutsche"), LANGUAGE_ENGLISH);
  EXPECT_EQ(LanguageFromName(u"Deutsch"), LANGUAGE_ENGLISH);
  EXPECT_EQ(LanguageFromName(u"Deutsche "), LANGUAGE_ENGLISH);
  EXPECT_EQ(LanguageFromName(u"Espanol"), LANGUAGE_ENGLISH);
  EXPECT_EQ(LanguageFromName(u""), LANGUAGE_ENGLISH);
  EXPECT_EQ(LanguageFromName(nullptr), LANGUAGE_ENGLISH);
}

TEST_F(LanguageTest, MenuTemplatePerLanguageWithEnglishAsFallback) {
  EXPECT_EQ(GetMenuResourceId(0), 4608);
  EXPECT_EQ(GetMenuResourceId(1), 4610);
  EXPECT_EQ(GetMenuResourceId(2), 4611);
  EXPECT_EQ(GetMenuResourceId(3), 4612);
  EXPECT_EQ(GetMenuResourceId(4), 4608);
  EXPECT_EQ(GetMenuResourceId(-1), 4608);
}

}  // namespace
}  // namespace shadowpane
