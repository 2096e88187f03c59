// The usage texts: every one in the four languages with its marks, and the
// balloons bounded whatever the names.
#include "usage/UsageTexts.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

int Count(WideView text, WideView mark) {
  int count = 0;
  for (std::size_t at = text.find(mark); at != WideView::npos; at = text.find(mark, at + 1)) ++count;
  return count;
}

TEST(UsageTexts, EveryTextExistsInEachLanguageWithTheSameMarks) {
  for (int text = 0; text < kUsageTextCount; ++text) {
    const WideView english = UsageTextIn(static_cast<UsageText>(text), 0);
    for (int language = 0; language < kUsageTextLanguages; ++language) {
      const WideView translated = UsageTextIn(static_cast<UsageText>(text), language);
      EXPECT_FALSE(translated.empty()) << text << " in " << language;
      EXPECT_EQ(Count(translated, kFirstNameMark), Count(english, kFirstNameMark)) << text << " in " << language;
      EXPECT_EQ(Count(translated, kSecondNameMark), Count(english, kSecondNameMark)) << text << " in " << language;
    }
  }
  EXPECT_EQ(WideView(UsageTextIn(UsageText::Allowed, 9)), WideView(u"Allowed")) << "English for any other language";
}

TEST(UsageTexts, ComposesTheEntryAndBalloonTexts) {
  UsageEvent camera;
  camera.program = u"Zoom.exe";
  UsageEvent microphone;
  microphone.program = u"rec.exe";
  microphone.kind = UsageKind::Microphone;
  microphone.device = u"Headset";
  UsageEvent unknownOnAKind = microphone;
  unknownOnAKind.program = u"";
  unknownOnAKind.device = u"";
  EXPECT_EQ(AttemptBalloonText(camera, 0), u"Zoom.exe tried to use the camera. It is blocked.");
  EXPECT_EQ(AttemptBalloonText(microphone, 0), u"rec.exe is listening to Headset. It hears only silence.");
  EXPECT_EQ(AttemptBalloonText(unknownOnAKind, 1), u"Unbekanntes Programm hört ein Mikrofon ab. Es hört nur Stille.");
  EXPECT_EQ(InUseByText({u"Teams.exe"}, 0), u"In use by Teams.exe");
  EXPECT_EQ(InUseByText({u"", u"Teams.exe"}, 3), u"In uso da Programma sconosciuto, Teams.exe");
  EXPECT_EQ(InUseByText({}, 0), u"");
}

TEST(UsageTexts, BalloonsStayWithinWhatABalloonHoldsAndKeepBothNames) {
  UsageEvent event;
  event.kind = UsageKind::Microphone;
  event.program = WideString(400, u'p');
  event.device = WideString(400, u'd');
  for (int language = 0; language < kUsageTextLanguages; ++language) {
    const WideString text = AttemptBalloonText(event, language);
    EXPECT_LE(text.size(), static_cast<std::size_t>(kUsageBalloonChars)) << language;
    EXPECT_NE(text.find(u"pp"), WideString::npos) << language;
    EXPECT_NE(text.find(u"dd"), WideString::npos) << language;
    EXPECT_EQ(text.find(u"%"), WideString::npos) << language;
  }
  EXPECT_LE(InUseByText(std::vector<WideString>(100, WideString(40, u'x')), 0).size(),
            static_cast<std::size_t>(kUsageBalloonChars));
}

}  // namespace
}  // namespace shadowpane
