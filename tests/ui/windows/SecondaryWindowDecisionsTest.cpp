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

int LeftOf(const std::vector<ControlPlacement>& controls, int id) {
  for (const ControlPlacement& control : controls) {
    if (control.id == id) return control.rect.left;
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
    int rowEnd;  // the lowest control of the setting's rows
  };
  const Case cases[] = {
      {&EnforcedPolicy::language, IDC_SETTINGS_PICKER, IDC_SETTINGS_LANGUAGE_NOTE, IDC_SETTINGS_PICKER},
      {&EnforcedPolicy::startup, IDC_SETTINGS_STARTUP, IDC_SETTINGS_STARTUP_NOTE, IDC_SETTINGS_STARTUP},
      {&EnforcedPolicy::blockStart, IDC_SETTINGS_BLOCK_START, IDC_SETTINGS_BLOCK_START_NOTE, IDC_SETTINGS_BLOCK_START},
      {&EnforcedPolicy::blockPluggedIn, IDC_SETTINGS_BLOCK_PLUGGED_IN, IDC_SETTINGS_BLOCK_PLUGGED_IN_NOTE,
       IDC_SETTINGS_BLOCK_PLUGGED_IN},
      {&EnforcedPolicy::notifyAttempts, IDC_SETTINGS_NOTIFY_ATTEMPTS, IDC_SETTINGS_NOTIFY_ATTEMPTS_NOTE,
       IDC_SETTINGS_NOTIFY_ATTEMPTS},
      {&EnforcedPolicy::blockWhileLocked, IDC_SETTINGS_BLOCK_WHILE_LOCKED, IDC_SETTINGS_BLOCK_WHILE_LOCKED_NOTE,
       IDC_SETTINGS_BLOCK_WHILE_LOCKED},
      {&EnforcedPolicy::blockAfterIdleMinutes, IDC_SETTINGS_BLOCK_AFTER_IDLE, IDC_SETTINGS_BLOCK_AFTER_IDLE_NOTE,
       IDC_SETTINGS_IDLE_MINUTES_LABEL},
      {&EnforcedPolicy::showIndicator, IDC_SETTINGS_SHOW_INDICATOR, IDC_SETTINGS_SHOW_INDICATOR_NOTE,
       IDC_SETTINGS_SHOW_INDICATOR},
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
    // The number field is locked with its check box.
    EXPECT_EQ(SettingsControlEnabled(IDC_SETTINGS_IDLE_MINUTES, policy),
              c.control == IDC_SETTINGS_BLOCK_AFTER_IDLE ? 0 : 1);
    const int controlTop = TopOf(locked, c.rowEnd);
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

// Every text row (the headings, the options, the notes under forced
// settings) is widened after sizing itself to end where the separator
// lines end, in a window with or without notes; of the corners' radios the
// right column ends there too and the left one where the right one starts;
// the picker and the buttons keep their own sizes.
TEST(SettingsWindowLogic, EveryTextRowReachesTheSeparatorsEnd) {
  EnforcedPolicy allForced;
  for (ForcedSetting* setting : {&allForced.language, &allForced.startup, &allForced.blockStart,
                                 &allForced.blockPluggedIn, &allForced.notifyAttempts, &allForced.blockWhileLocked,
                                 &allForced.blockAfterIdleMinutes, &allForced.showIndicator}) {
    *setting = {true, 1};
  }
  for (const EnforcedPolicy& policy : {EnforcedPolicy{}, allForced}) {
    const Size size = SettingsWindowSize(policy);
    const int separatorEnd = FrameSeparators(size).front().to.x;
    const std::vector<ControlPlacement> controls = SettingsControls(size, policy);
    const int rightColumn = LeftOf(controls, IDC_SETTINGS_CORNER_FIRST + kIndicatorCornerTopRight);
    int rows = 0;
    for (const ControlPlacement& control : controls) {
      const bool textRow = control.kind == ControlKind::Label || control.kind == ControlKind::CheckBox;
      if (control.kind == ControlKind::Radio) {
        const bool right = control.rect.left == rightColumn;
        EXPECT_EQ(control.reachRight, right ? separatorEnd : rightColumn) << control.id;
        continue;
      }
      EXPECT_EQ(control.reachRight, textRow ? separatorEnd : 0) << control.id;
      if (textRow) ++rows;
    }
    EXPECT_EQ(rows, policy.language.forced ? 18 : 10);
  }
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

// The idle setting from its box and field: off unless checked; the
// field's digits within 1 to 240; what the field shows for each setting.
TEST(SettingsWindowLogic, TheIdleMinutesAreReadWithinTheirBoundsAndShownOrOffered) {
  struct Case {
    int checked;
    const WideChar* text;
    std::int32_t minutes;
  };
  const Case cases[] = {
      {0, u"15", 0}, {1, u"15", 15},  {1, u"1", 1},     {1, u"0", 1},   {1, u"", 1},       {1, nullptr, 1},
      {1, u"240", 240}, {1, u"241", 240}, {1, u"999", 240}, {1, u"7x", 7}, {1, u"0012", 12},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadIdleMinutes(c.checked, c.text), c.minutes) << c.checked << " " << (c.text ? c.text[0] : 0);
  }
  EXPECT_EQ(IdleMinutesText(0), u"10") << "offered while off";
  EXPECT_EQ(IdleMinutesText(240), u"240");
  EXPECT_EQ(IdleMinutesText(1), u"1");
  EXPECT_EQ(IdleMinutesText(241), u"10");
  // What is shown reads back as the same setting.
  for (std::int32_t minutes : {1, 9, 10, 99, 100, 240}) {
    EXPECT_EQ(ReadIdleMinutes(1, IdleMinutesText(minutes).c_str()), minutes);
  }
}

int MarkedPosition(const MenuItemList& list) {
  int marked = -1;
  for (const MenuItem* item = list.first; item != nullptr; item = item->next) {
    if (item->mark) marked = marked == -1 ? item->index : -2;  // -2: two marks
  }
  return marked;
}

// The number field follows its box and the idle policy; the corners follow
// the indicator's box and a policy forcing it off, not one forcing it on.
TEST(SettingsWindowLogic, TheFieldAndTheCornersAreEnabledOnlyWhileTheirBoxIsTickedAndFree) {
  const ForcedSetting free{}, forcedOn{true, 1}, forcedOff{true, 0};
  struct Case {
    ForcedSetting idlePolicy, indicatorPolicy;
    int idleTicked, indicatorTicked;
    int fieldEnabled, cornersEnabled;
  } const cases[] = {
      {free, free, 1, 1, 1, 1},          {free, free, 0, 0, 0, 0},
      {free, free, 1, 0, 1, 0},          {free, free, 0, 1, 0, 1},
      {{true, 30}, free, 1, 1, 0, 1},    {free, forcedOn, 1, 1, 1, 1},
      {free, forcedOff, 1, 1, 1, 0},     {free, forcedOn, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.idleTicked << c.indicatorTicked << c.idlePolicy.forced
                                    << c.indicatorPolicy.forced << c.indicatorPolicy.value);
    EnforcedPolicy policy;
    policy.blockAfterIdleMinutes = c.idlePolicy;
    policy.showIndicator = c.indicatorPolicy;
    EXPECT_EQ(SettingsControlEnabledWhenTicked(IDC_SETTINGS_IDLE_MINUTES, policy, c.idleTicked, c.indicatorTicked),
              c.fieldEnabled);
    for (int corner = IDC_SETTINGS_CORNER_FIRST; corner <= IDC_SETTINGS_CORNER_LAST; ++corner) {
      EXPECT_EQ(SettingsControlEnabledWhenTicked(corner, policy, c.idleTicked, c.indicatorTicked), c.cornersEnabled);
    }
    // The boxes themselves do not follow their own ticks.
    EXPECT_EQ(SettingsControlEnabledWhenTicked(IDC_SETTINGS_BLOCK_AFTER_IDLE, policy, 0, 0),
              c.idlePolicy.forced ? 0 : 1);
    EXPECT_EQ(SettingsControlEnabledWhenTicked(IDC_SETTINGS_SHOW_INDICATOR, policy, 0, 0),
              c.indicatorPolicy.forced ? 0 : 1);
  }
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
