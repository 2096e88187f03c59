#include "ui/toolkit/AccessibleLogic.h"

#include <gtest/gtest.h>

#include "ui/toolkit/AccessibleTexts.h"
#include "ui/toolkit/HighContrast.h"

namespace shadowpane {
namespace {

TEST(AccessibleLogicTest, ACaptionGivesItsNameWithoutMarksAndItsAccessKeyAsTheShortcut) {
  const struct {
    const WideChar* caption;
    const WideChar* name;
    const WideChar* shortcut;
  } cases[] = {
      {u"&OK", u"OK", u"Alt+O"},
      {u"Save &as", u"Save as", u"Alt+A"},
      {u"Tom && Jerry", u"Tom & Jerry", u""},
      {u"&&Not &this", u"&Not this", u"Alt+T"},
      {u"Plain", u"Plain", u""},
      {u"Trailing&", u"Trailing", u""},
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameFromCaption(c.caption), c.name);
    EXPECT_EQ(ShortcutFromCaption(c.caption), c.shortcut);
  }
}

TEST(AccessibleLogicTest, TheDefaultActionFollowsTheRoleTheStateAndTheLanguage) {
  const struct {
    AccessibleRole role;
    std::uint32_t states;
    int language;
    const WideChar* action;
  } cases[] = {
      {AccessibleRole::PushButton, 0, 0, u"Press"},
      {AccessibleRole::PushButton, 0, 1, u"Drücken"},
      {AccessibleRole::CheckButton, 0, 0, u"Check"},
      {AccessibleRole::CheckButton, kAccChecked, 0, u"Uncheck"},
      {AccessibleRole::CheckButton, kAccChecked, 3, u"Deseleziona"},
      {AccessibleRole::RadioButton, kAccChecked, 2, u"Activar"},  // a radio is never unchecked by itself
      {AccessibleRole::MenuItem, 0, 0, u"Press"},
      {AccessibleRole::StaticText, 0, 0, u""},
      {AccessibleRole::ListItem, 0, 0, u""},  // its window says Block or Unblock
  };
  for (const auto& c : cases) {
    AccessibleDescription d;
    d.role = c.role;
    d.states = c.states;
    d.language = c.language;
    CompleteDescription(d);
    EXPECT_EQ(d.defaultAction, c.action) << static_cast<int>(c.role) << " " << c.language;
  }
  AccessibleDescription given;
  given.role = AccessibleRole::PushButton;
  given.defaultAction = u"Block";
  CompleteDescription(given);
  EXPECT_EQ(given.defaultAction, u"Block") << "the window's own action stays";
}

TEST(AccessibleLogicTest, EveryTextExistsInEveryLanguageAndAnUnknownLanguageReadsEnglish) {
  for (int text = 0; text < kAccessibleTextCount; ++text) {
    for (int language = 0; language < kAccessibleTextLanguages; ++language) {
      EXPECT_NE(WideString(AccessibleTextIn(static_cast<AccessibleText>(text), language)), u"") << text;
    }
    EXPECT_EQ(WideString(AccessibleTextIn(static_cast<AccessibleText>(text), 9)),
              WideString(AccessibleTextIn(static_cast<AccessibleText>(text), 0)));
  }
  EXPECT_EQ(WideString(AccessibleTextIn(AccessibleText::CloseButton, 1)), u"Schließen");
}

// High contrast: texts in the window text colour (grey ones grey, the
// highlight's text in the highlight text colour), every fill in the window
// colour but the highlight, lines in the text colour.
TEST(HighContrastTest, EachToolkitColourTakesTheSystemColourOfItsPart) {
  const struct {
    ToolkitColor color;
    int text;
    int fill;
  } cases[] = {
      {kColorText, kSystemColorWindowText, kSystemColorWindow},
      {kColorButtonTextNormal, kSystemColorWindowText, kSystemColorWindow},
      {kColorDisabledText, kSystemColorGrayText, kSystemColorWindow},
      {kColorListLabel, kSystemColorGrayText, kSystemColorWindow},
      {kColorEditCue, kSystemColorGrayText, kSystemColorWindow},
      {kColorHighlightText, kSystemColorHighlightText, kSystemColorWindow},
      {kColorHighlight, kSystemColorWindowText, kSystemColorHighlight},
      {kColorEditFace, kSystemColorWindowText, kSystemColorWindow},
      {MakeToolkitColor(219, 68, 68), kSystemColorWindowText, kSystemColorWindow},  // the panel at risk
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SystemTextColorOf(c.color), c.text) << c.color;
    EXPECT_EQ(SystemFillColorOf(c.color), c.fill) << c.color;
    EXPECT_EQ(SystemLineColorOf(c.color), kSystemColorWindowText);
  }
}

}  // namespace
}  // namespace shadowpane
