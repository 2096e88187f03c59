// The secondary windows' decisions without the platform: placement, the
// frame's lines, the Settings window's controls, list and OK/Default
// values, the language window's radio group and pick, the version line.
#include <gtest/gtest.h>

#include <array>

#include "app/Languages.h"
#include "app/Settings.h"
#include "ui/toolkit/MenuItemList.h"
#include "ui/windows/AboutText.h"
#include "ui/windows/LanguageChoice.h"
#include "ui/windows/SettingsChoices.h"
#include "ui/windows/WindowShellLayout.h"

namespace shadowpane {
namespace {

// Restores the settings a test changes.
class SettingsGuard {
 public:
  SettingsGuard() : saved_(CurrentSettings()) {}
  ~SettingsGuard() { StoreSettings(saved_); }

 private:
  SettingsValues saved_;
};

const ControlPlacement* Find(const std::vector<ControlPlacement>& controls, int id) {
  for (const ControlPlacement& c : controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

TEST(WindowShellLayout, CentresOnTheOwnerTruncatingTowardZero) {
  struct Case {
    Rect owner;
    Size window;
    Point expected;
  };
  const Case cases[] = {
      {{100, 50, 700, 550}, {540, 360}, {130, 120}},   // even halves
      {{0, 0, 641, 361}, {540, 360}, {50, 0}},         // odd differences: 50.5 and 0.5 truncate
      {{10, 10, 310, 210}, {540, 360}, {-110, -70}},   // owner smaller than the window
      {{0, 0, 1, 1}, {446, 409}, {-222, -204}},        // -445/2 and -408/2 toward zero
      {{-800, -20, -200, 580}, {446, 409}, {-723, 75}},  // monitor left of the primary
  };
  for (const Case& c : cases) {
    const Point p = CentreOnOwner(c.owner, c.window);
    EXPECT_EQ(p.x, c.expected.x) << c.owner.left;
    EXPECT_EQ(p.y, c.expected.y) << c.owner.left;
  }
  // The language window on a 1280 x 1024 screen and on odd sizes.
  EXPECT_TRUE(CentreOnScreen({1280, 1024}, kLanguageWindowSize) == (Point{370, 358}));
  EXPECT_TRUE(CentreOnScreen({1281, 1023}, kLanguageWindowSize) == (Point{370, 357}));
}

TEST(WindowShellLayout, SeparatorsRunFromFifteenToFifteenBeforeTheRightEdge) {
  const Size sizes[] = {kSettingsWindowSize, kLanguageWindowSize, kAboutWindowSize};
  for (const Size& s : sizes) {
    const std::vector<SeparatorLine> lines = FrameSeparators(s);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].from == (Point{15, 83}));
    EXPECT_TRUE(lines[0].to == (Point{s.width - 15, 83}));
    EXPECT_TRUE(lines[1].from == (Point{15, s.height - 69}));
    EXPECT_TRUE(lines[1].to == (Point{s.width - 15, s.height - 69}));
  }
}

TEST(SettingsChoices, ControlsStandWhereTheWindowsSizeSaysAndSpeakTheCurrentLanguage) {
  SettingsGuard guard;
  struct Expected {
    int id;
    Rect rect;
  };
  const Expected expected[] = {
      {IDC_SETTINGS_CLOSE, {488, 1, 529, 18}},       {IDC_SETTINGS_OK, {427, 306, 518, 343}},
      {IDC_SETTINGS_CANCEL, {335, 306, 426, 343}},   {IDC_SETTINGS_DEFAULT, {22, 306, 113, 343}},
      {IDC_SETTINGS_PICKER, {35, 127, 219, 164}},    {IDC_SETTINGS_LANGUAGE_LABEL, {19, 101, 19, 101}},
      {IDC_SETTINGS_PROGRAM_LABEL, {19, 178, 19, 178}}, {IDC_SETTINGS_STARTUP, {37, 206, 37, 206}},
      {IDC_SETTINGS_BLOCK_START, {37, 231, 37, 231}}, {IDC_SETTINGS_BLOCK_PLUGGED_IN, {37, 256, 37, 256}},
  };
  LanguageIndex = LANGUAGE_SPANISH;
  const std::vector<ControlPlacement> controls = SettingsControls(kSettingsWindowSize);
  ASSERT_EQ(controls.size(), std::size(expected));
  for (const Expected& e : expected) {
    const ControlPlacement* c = Find(controls, e.id);
    ASSERT_NE(c, nullptr) << e.id;
    EXPECT_TRUE(c->rect == e.rect) << e.id;
  }
  EXPECT_EQ(WideString(Find(controls, IDC_SETTINGS_DEFAULT)->text), u"Predeterminado");
  EXPECT_EQ(WideString(Find(controls, IDC_SETTINGS_PICKER)->text), u"");
  EXPECT_EQ(Find(controls, IDC_SETTINGS_PICKER)->kind, ControlKind::kPicker);
  EXPECT_EQ(Find(controls, IDC_SETTINGS_BLOCK_START)->kind, ControlKind::kCheckBox);
}

TEST(SettingsChoices, OkReadsTheLanguageByItsExactNameAndTheChecksAsFlags) {
  struct Case {
    const WideChar* picker;
    int checks[3];
    SettingsValues expected;
  };
  const Case cases[] = {
      {u"Italiano", {1, 0, 1}, {LANGUAGE_ITALIAN, 1, 0, 1}},
      {u"Deutsche", {0, 1, 0}, {LANGUAGE_GERMAN, 0, 1, 0}},
      {u"Espa\u00F1ol", {0, 0, 0}, {LANGUAGE_SPANISH, 0, 0, 0}},
      {u"italiano", {5, -1, 0}, {LANGUAGE_ENGLISH, 1, 1, 0}},  // no name matches; any state counts
      {u"", {0, 0, 0}, {LANGUAGE_ENGLISH, 0, 0, 0}},
      {nullptr, {0, 0, 1}, {LANGUAGE_ENGLISH, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    const SettingsValues v = ReadSettingsChoice(c.picker, c.checks[0], c.checks[1], c.checks[2]);
    EXPECT_EQ(v.languageIndex, c.expected.languageIndex);
    EXPECT_EQ(v.startup, c.expected.startup);
    EXPECT_EQ(v.blockStart, c.expected.blockStart);
    EXPECT_EQ(v.blockPluggedIn, c.expected.blockPluggedIn);
  }
  // Only the first 49 characters of the picker are read: a longer text
  // that begins with a name names nothing.
  WideString longText = u"Italiano";
  longText.append(60, u' ');
  EXPECT_EQ(ReadSettingsChoice(longText.c_str(), 0, 0, 0).languageIndex, LANGUAGE_ENGLISH);
}

TEST(SettingsChoices, StoringReachesTheProcessWideSettingsAndDefaultIsEnglishWithEverythingOff) {
  SettingsGuard guard;
  StoreSettings({LANGUAGE_ITALIAN, 1, 0, 1});
  EXPECT_EQ(LanguageIndex, LANGUAGE_ITALIAN);
  EXPECT_EQ(Startup, 1);
  EXPECT_EQ(BlockStart, 0);
  EXPECT_EQ(BlockPluggedIn, 1);
  const SettingsValues now = CurrentSettings();
  EXPECT_EQ(now.languageIndex, LANGUAGE_ITALIAN);
  EXPECT_EQ(now.blockPluggedIn, 1);
  EXPECT_EQ(kDefaultSettings.languageIndex, LANGUAGE_ENGLISH);
  EXPECT_EQ(kDefaultSettings.startup + kDefaultSettings.blockStart + kDefaultSettings.blockPluggedIn, 0);
}

int MarkedPosition(const MenuItemList& list) {
  int marked = -1;
  for (const MenuItem* item = list.first; item != nullptr; item = item->next) {
    if (item->mark) {
      EXPECT_EQ(marked, -1) << "two marks";
      marked = item->index;
    }
  }
  return marked;
}

TEST(SettingsChoices, TheListOffersEveryLanguageAroundOneSeparator) {
  MenuItemList list;
  BuildLanguageList(&list);
  ASSERT_EQ(list.count, 5);
  const WideChar* texts[] = {u"English", u"", u"Deutsche", u"Espa\u00F1ol", u"Italiano"};
  int position = 0;
  for (const MenuItem* item = list.first; item != nullptr; item = item->next, ++position) {
    EXPECT_EQ(WideString(item->text), texts[position]);
    const bool separator = position == 1;
    EXPECT_EQ(item->type, separator ? MIT_SEPARATOR : MIT_ITEM);
    EXPECT_EQ(item->commandValue, separator ? IDC_SETTINGS_LANGUAGE_SEPARATOR : IDC_SETTINGS_LANGUAGE_ITEM);
  }
  ClearMenuItemList(&list);
}

TEST(SettingsChoices, TheCurrentLanguageIsNamedAndMarkedAndAPickMovesTheMark) {
  MenuItemList list;
  BuildLanguageList(&list);
  const int positions[] = {0, 2, 3, 4};
  for (int language = 0; language < kLanguageCount; ++language) {
    const WideString name = ShowLanguageInList(&list, language);
    WideChar expected[kLanguageNameUnits] = {};
    GetLanguageName(language, expected);
    EXPECT_EQ(name, WideString(expected));
    EXPECT_EQ(MarkedPosition(list), positions[language]);
  }
  // No language of the four: nothing to name, the separator is not marked.
  EXPECT_EQ(ShowLanguageInList(&list, 7), u"");
  EXPECT_EQ(MarkedPosition(list), 4);

  WideChar text[kMenuItemTextUnits] = u"unchanged";
  EXPECT_EQ(PickListedLanguage(&list, 3, text), 1);
  EXPECT_EQ(WideString(text), u"Espa\u00F1ol");
  EXPECT_EQ(MarkedPosition(list), 3);
  // The separator and positions outside the list leave picker and mark.
  for (int position : {1, -1, 5, 0xFFFF}) {
    WideChar kept[kMenuItemTextUnits] = u"kept";
    EXPECT_EQ(PickListedLanguage(&list, position, kept), 0) << position;
    EXPECT_EQ(WideString(kept), u"kept");
    EXPECT_EQ(MarkedPosition(list), 3);
  }
  ClearMenuItemList(&list);
}

TEST(LanguageChoice, AClickChecksItsChoiceAndUnchecksTheOthersInOrder) {
  using Group = std::array<int, kLanguageChoiceCount>;
  EXPECT_EQ(RadioGroupFor(1028), (Group{1028, 1029, 1030, 1031}));
  EXPECT_EQ(RadioGroupFor(1029), (Group{1029, 1028, 1030, 1031}));
  EXPECT_EQ(RadioGroupFor(1030), (Group{1030, 1028, 1029, 1031}));
  EXPECT_EQ(RadioGroupFor(1031), (Group{1031, 1028, 1029, 1030}));
  for (int id : {1026, 1027, 1032, 1, 2}) EXPECT_FALSE(IsLanguageChoice(id)) << id;
  for (int id = 1028; id <= 1031; ++id) EXPECT_TRUE(IsLanguageChoice(id)) << id;
}

TEST(LanguageChoice, OkRecordsTheCheckedChoiceOrLeavesTheValue) {
  struct Case {
    std::array<int, kLanguageChoiceCount> checked;
    int current;
    int expected;
  };
  const Case cases[] = {
      {{1, 0, 0, 0}, -1, 0}, {{0, 0, 0, 1}, -1, 3}, {{0, 1, 0, 0}, 3, 1},
      {{0, 0, 0, 0}, -1, -1},  // nothing checked: nothing picked
      {{1, 0, 1, 0}, -1, 2},   // the last checked one wins
  };
  for (const Case& c : cases) EXPECT_EQ(PickedLanguage(c.checked, c.current), c.expected);
}

TEST(LanguageChoice, ControlsAreTheFixedEnglishTextsAndTheLanguagesOwnNames) {
  SettingsGuard guard;
  LanguageIndex = LANGUAGE_GERMAN;  // the window speaks English all the same
  const std::vector<ControlPlacement> controls = LanguageWindowControls(kLanguageWindowSize);
  ASSERT_EQ(controls.size(), 6u);
  EXPECT_TRUE(Find(controls, IDC_LANGUAGE_OK)->rect == (Rect{427, 254, 518, 291}));
  EXPECT_EQ(WideString(Find(controls, IDC_LANGUAGE_OK)->text), u"OK");
  EXPECT_EQ(WideString(Find(controls, IDC_LANGUAGE_LABEL)->text), u"Select language");
  const WideChar* names[] = {u"English", u"Deutsche", u"Espa\u00F1ol", u"Italiano"};
  for (int n = 0; n < kLanguageChoiceCount; ++n) {
    const ControlPlacement* c = Find(controls, IDC_LANGUAGE_FIRST_CHOICE + n);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(WideString(c->text), names[n]);
    EXPECT_EQ(c->kind, ControlKind::kRadio);
    EXPECT_TRUE(c->rect == (Rect{37, 129 + 25 * n, 37, 129 + 25 * n}));
  }
}

TEST(AboutText, TheVersionLineIsTheLocalizedWordABlankAndTheVersion) {
  const WideChar* lines[] = {u"version 2.0.0.1", u"Version 2.0.0.1", u"Versi\u00F3n 2.0.0.1", u"Versione 2.0.0.1"};
  for (int language = 0; language < kLanguageCount; ++language) {
    EXPECT_EQ(ComposeVersionLine(GetStringIn(language, STR_VERSION)), lines[language]);
  }
  EXPECT_EQ(ComposeVersionLine(nullptr), u" 2.0.0.1");
  // A word that leaves no room: the line stops at 100 characters.
  const WideString longWord(120, u'v');
  const WideString line = ComposeVersionLine(longWord.c_str());
  EXPECT_EQ(line.size(), 100u);
  EXPECT_EQ(line, WideString(100, u'v'));
}

TEST(AboutText, LinesAndButtonsFollowTheWindowsWidth) {
  EXPECT_TRUE(ProductLineRect(kAboutWindowSize) == (Rect{20, 225, 426, 245}));
  EXPECT_TRUE(VersionLineRect(kAboutWindowSize) == (Rect{20, 245, 426, 265}));
  const std::vector<ControlPlacement> controls = AboutControls(kAboutWindowSize);
  ASSERT_EQ(controls.size(), 2u);
  EXPECT_TRUE(Find(controls, IDC_ABOUT_CLOSE)->rect == (Rect{394, 1, 435, 18}));
  EXPECT_TRUE(Find(controls, IDC_ABOUT_OK)->rect == (Rect{333, 355, 424, 392}));
}

}  // namespace
}  // namespace shadowpane
