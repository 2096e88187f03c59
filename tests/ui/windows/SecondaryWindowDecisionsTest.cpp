// The secondary windows' decisions without the platform: placement, what
// the Settings window's OK reads and its list shows, the language window's
// radio group and pick, the version line.
#include <gtest/gtest.h>

#include <array>

#include "settings/Languages.h"
#include "ui/toolkit/MenuItemList.h"
#include "ui/windows/AboutWindowLogic.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SettingsWindowLogic.h"
#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {
namespace {

TEST(SecondaryWindowLogic, CentresOnTheOwnerTruncatingTowardZeroAndOnTheScreenByHalves) {
  struct Case {
    Rect owner;
    Size window;
    Point expected;
  };
  const Case cases[] = {
      {{100, 50, 700, 550}, {540, 360}, {130, 120}},
      {{0, 0, 641, 361}, {540, 360}, {50, 0}},          // 50.5 and 0.5 truncate
      {{0, 0, 1, 1}, {446, 409}, {-222, -204}},         // -222.5 and -204 toward zero
      {{-800, -20, -200, 580}, {446, 409}, {-723, 75}},  // a monitor left of the primary
  };
  for (const Case& c : cases) EXPECT_TRUE(CentreOnOwner(c.owner, c.window) == c.expected) << c.owner.left;
  EXPECT_TRUE(CentreOnScreen({1281, 1023}, kLanguageWindowSize) == (Point{370, 357}));
}

int TopOf(const std::vector<ControlPlacement>& controls, int id) {
  for (const ControlPlacement& control : controls) {
    if (control.id == id) return control.rect.top;
  }
  return -1;
}

// Each forced setting alone: its control locked, one note beneath it with
// the organisation's text, every row below moved down by one note row and
// the window that much taller; nothing forced: the window as it always was.
TEST(SettingsWindowLogic, AForcedSettingIsLockedWithItsNoteBeneathAndTheRowsBelowMoveDown) {
  struct Case {
    ForcedSetting EnforcedPolicy::*setting;
    int control;
    int note;
  };
  const Case cases[] = {
      {&EnforcedPolicy::language, IDC_SETTINGS_PICKER, IDC_SETTINGS_LANGUAGE_NOTE},
      {&EnforcedPolicy::startup, IDC_SETTINGS_STARTUP, IDC_SETTINGS_STARTUP_NOTE},
      {&EnforcedPolicy::blockStart, IDC_SETTINGS_BLOCK_START, IDC_SETTINGS_BLOCK_START_NOTE},
      {&EnforcedPolicy::blockPluggedIn, IDC_SETTINGS_BLOCK_PLUGGED_IN, IDC_SETTINGS_BLOCK_PLUGGED_IN_NOTE},
      {&EnforcedPolicy::notifyAttempts, IDC_SETTINGS_NOTIFY_ATTEMPTS, IDC_SETTINGS_NOTIFY_ATTEMPTS_NOTE},
      {&EnforcedPolicy::showIndicator, IDC_SETTINGS_SHOW_INDICATOR, IDC_SETTINGS_SHOW_INDICATOR_NOTE},
  };
  const std::vector<ControlPlacement> free = SettingsControls(kSettingsWindowSize);
  EXPECT_TRUE(SettingsWindowSize(EnforcedPolicy{}) == kSettingsWindowSize);
  for (const Case& c : cases) {
    EXPECT_EQ(TopOf(free, c.note), -1) << "no note without a policy";
    EXPECT_EQ(SettingsControlEnabled(c.control, EnforcedPolicy{}), 1);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    EnforcedPolicy policy;
    (policy.*c.setting) = {true, 1};
    const Size size = SettingsWindowSize(policy);
    EXPECT_EQ(size.height, kSettingsWindowSize.height + kSettingsNoteRowHeight);
    const std::vector<ControlPlacement> locked = SettingsControls(size, policy);
    ASSERT_EQ(locked.size(), free.size() + 1);
    for (const Case& other : cases) {
      EXPECT_EQ(SettingsControlEnabled(other.control, policy), other.control == c.control ? 0 : 1);
    }
    const int controlTop = TopOf(locked, c.control);
    const int noteTop = TopOf(locked, c.note);
    EXPECT_GT(noteTop, controlTop);
    for (const ControlPlacement& control : locked) {
      if (control.id == c.note) {
        EXPECT_EQ(WideString(control.text), GetString(STR_MANAGED_BY_ORGANIZATION));
        continue;
      }
      const int before = TopOf(free, control.id);
      const bool below = before > controlTop && control.kind != ControlKind::PushButton &&
                         control.kind != ControlKind::CloseButton;
      // The bottom buttons stand on the taller window's bottom.
      const int expected = below || control.kind == ControlKind::PushButton ? before + kSettingsNoteRowHeight : before;
      EXPECT_EQ(control.rect.top, expected) << control.id;
      if (below) {
        EXPECT_GE(control.rect.top, noteTop + kSettingsNoteRowHeight - 2) << "the note's row is its own";
      }
    }
  }
}

// The corners' radios: two rows of two under the indicator's box, the left
// column the left corners, the upper row the top ones, each radio its own
// corner's text; OK reads the checked one, none checked keeps the old one.
TEST(SettingsWindowLogic, TheCornerRadiosStandWhereTheirCornersAreAndOkReadsTheCheckedOne) {
  const std::vector<ControlPlacement> controls = SettingsControls(kSettingsWindowSize);
  const ControlPlacement* radios[kIndicatorCornerCount] = {};
  int boxTop = -1;
  for (const ControlPlacement& control : controls) {
    if (control.id == IDC_SETTINGS_SHOW_INDICATOR) boxTop = control.rect.top;
    if (control.id >= IDC_SETTINGS_CORNER_FIRST && control.id <= IDC_SETTINGS_CORNER_LAST) {
      radios[control.id - IDC_SETTINGS_CORNER_FIRST] = &control;
    }
  }
  for (const ControlPlacement* radio : radios) ASSERT_NE(radio, nullptr);
  const auto at = [&](int corner) { return radios[corner]->rect; };
  EXPECT_EQ(at(kIndicatorCornerTopLeft).left, at(kIndicatorCornerBottomLeft).left);
  EXPECT_EQ(at(kIndicatorCornerTopRight).left, at(kIndicatorCornerBottomRight).left);
  EXPECT_LT(at(kIndicatorCornerTopLeft).left, at(kIndicatorCornerTopRight).left);
  EXPECT_EQ(at(kIndicatorCornerTopLeft).top, at(kIndicatorCornerTopRight).top);
  EXPECT_LT(boxTop, at(kIndicatorCornerTopLeft).top);
  EXPECT_LT(at(kIndicatorCornerTopLeft).top, at(kIndicatorCornerBottomLeft).top);
  EXPECT_EQ(WideString(radios[kIndicatorCornerBottomRight]->text), GetString(STR_CORNER_BOTTOM_RIGHT));
  EXPECT_EQ(radios[kIndicatorCornerTopLeft]->kind, ControlKind::Radio);
  for (const ControlPlacement& control : controls) {
    if (control.kind == ControlKind::PushButton) {
      EXPECT_GT(control.rect.top, at(kIndicatorCornerBottomLeft).top);
    }
  }

  EXPECT_EQ(CheckedCorner({0, 0, 1, 0}, kIndicatorCornerTopLeft), kIndicatorCornerBottomLeft);
  EXPECT_EQ(CheckedCorner({1, 0, 0, 0}, kIndicatorCornerBottomRight), kIndicatorCornerTopLeft);
  EXPECT_EQ(CheckedCorner({0, 0, 0, 0}, kIndicatorCornerTopRight), kIndicatorCornerTopRight);
}

TEST(SettingsWindowLogic, OkReadsTheLanguageByItsExactNameAndTheChecksAsFlags) {
  struct Case {
    const WideChar* picker;
    int checks[3];
    Settings expected;
  };
  WideString tooLong = u"Italiano";
  tooLong.append(60, u' ');  // only 49 characters are read: names nothing
  const Case cases[] = {
      {u"Italiano", {1, 0, 1}, {LANGUAGE_ITALIAN, 1, 0, 1}},
      {u"Espa\u00F1ol", {0, 1, 0}, {LANGUAGE_SPANISH, 0, 1, 0}},
      {u"italiano", {5, -1, 0}, {LANGUAGE_ENGLISH, 1, 1, 0}},
      {nullptr, {0, 0, 1}, {LANGUAGE_ENGLISH, 0, 0, 1}},
      {tooLong.c_str(), {0, 0, 0}, {LANGUAGE_ENGLISH, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const Settings v = ReadSettingsChoice(0, c.picker, c.checks[0], c.checks[1], c.checks[2]);
    EXPECT_EQ(v.language, c.expected.language);
    EXPECT_EQ(v.startup, c.expected.startup);
    EXPECT_EQ(v.blockStart, c.expected.blockStart);
    EXPECT_EQ(v.blockPluggedIn, c.expected.blockPluggedIn);
  }
}

int MarkedPosition(const MenuItemList& list) {
  int marked = -1;
  for (const MenuItem* item = list.first; item != nullptr; item = item->next) {
    if (item->mark) marked = marked == -1 ? item->index : -2;  // -2: two marks
  }
  return marked;
}

TEST(SettingsWindowLogic, TheListNamesAndMarksTheLanguageAndOnlyItsItemsCanBePicked) {
  MenuItemList list;
  BuildLanguageList(&list);
  ASSERT_EQ(list.count, 5);
  const WideChar* texts[] = {u"English", u"", u"Deutsche", u"Espa\u00F1ol", u"Italiano"};
  for (const MenuItem* item = list.first; item != nullptr; item = item->next) {
    EXPECT_EQ(WideString(item->text), texts[item->index]);
    EXPECT_EQ(item->commandValue, item->index == 1 ? IDC_SETTINGS_LANGUAGE_SEPARATOR : IDC_SETTINGS_LANGUAGE_ITEM);
  }
  const int positions[] = {0, 2, 3, 4};
  for (int language = 0; language < kLanguageCount; ++language) {
    EXPECT_EQ(ShowLanguageInList(&list, language), texts[positions[language]]);
    EXPECT_EQ(MarkedPosition(list), positions[language]);
  }
  // No language of the four names nothing and never marks the separator.
  EXPECT_EQ(ShowLanguageInList(&list, 7), u"");
  EXPECT_EQ(MarkedPosition(list), 4);

  WideChar text[kMenuItemTextUnits] = u"kept";
  for (int position : {1, -1, 5}) EXPECT_EQ(PickListedLanguage(&list, position, text), 0) << position;
  EXPECT_EQ(WideString(text), u"kept");
  EXPECT_EQ(MarkedPosition(list), 4);
  EXPECT_EQ(PickListedLanguage(&list, 3, text), 1);
  EXPECT_EQ(WideString(text), u"Espa\u00F1ol");
  EXPECT_EQ(MarkedPosition(list), 3);
  ClearMenuItemList(&list);
}

TEST(LanguageWindowLogic, AClickChecksItsChoiceFirstAndOkTakesTheCheckedOne) {
  using Group = std::array<int, kLanguageChoiceCount>;
  EXPECT_EQ(RadioGroupFor(1028), (Group{1028, 1029, 1030, 1031}));
  EXPECT_EQ(RadioGroupFor(1030), (Group{1030, 1028, 1029, 1031}));
  EXPECT_EQ(RadioGroupFor(1031), (Group{1031, 1028, 1029, 1030}));
  EXPECT_FALSE(IsLanguageChoice(1027));
  EXPECT_FALSE(IsLanguageChoice(1032));
  EXPECT_EQ(PickedLanguage({0, 0, 0, 1}, -1), 3);
  EXPECT_EQ(PickedLanguage({1, 0, 1, 0}, -1), 2);   // the last checked one
  EXPECT_EQ(PickedLanguage({0, 0, 0, 0}, -1), -1);  // none: nothing picked
}

TEST(AboutWindowLogic, TheVersionLineIsTheLocalizedWordABlankAndTheVersion) {
  const WideChar* lines[] = {u"version 2.0.0.1", u"Version 2.0.0.1", u"Versi\u00F3n 2.0.0.1", u"Versione 2.0.0.1"};
  for (int language = 0; language < kLanguageCount; ++language) {
    EXPECT_EQ(ComposeVersionLine(GetStringIn(language, STR_VERSION)), lines[language]);
  }
  const WideString longWord(120, u'v');
  EXPECT_EQ(ComposeVersionLine(longWord.c_str()), WideString(100, u'v'));
}

}  // namespace
}  // namespace shadowpane
