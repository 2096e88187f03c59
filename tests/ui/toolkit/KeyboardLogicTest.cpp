#include "ui/toolkit/KeyboardLogic.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/toolkit/MenuTestLists.h"
#include "ui/toolkit/MessageBoxLayout.h"

namespace shadowpane {
namespace {

TEST(KeyboardLogicTest, ListKeysMoveTheCaretWithinTheEntriesAndSpaceOrEnterActivate) {
  const struct {
    std::uint32_t key;
    int caret;
    int count;
    int page;
    ListKeyAction action;
    int to;
  } cases[] = {
      {kKeyDown, 0, 3, 7, ListKeyAction::Move, 1},
      {kKeyDown, 2, 3, 7, ListKeyAction::Move, 2},     // stops at the end
      {kKeyUp, 0, 3, 7, ListKeyAction::Move, 0},       // and at the start
      {kKeyDown, -1, 3, 7, ListKeyAction::Move, 1},    // no caret yet: from the first
      {kKeyUp, 9, 3, 7, ListKeyAction::Move, 1},       // the list shrank under it
      {kKeyHome, 2, 3, 7, ListKeyAction::Move, 0},
      {kKeyEnd, 0, 3, 7, ListKeyAction::Move, 2},
      {kKeyPageDown, 0, 20, 7, ListKeyAction::Move, 6},  // a page keeps one entry in view
      {kKeyPageUp, 19, 20, 7, ListKeyAction::Move, 13},
      {kKeyPageDown, 18, 20, 7, ListKeyAction::Move, 19},
      {kKeyPageDown, 0, 5, 0, ListKeyAction::Move, 1},  // a list showing less than one entry
      {kKeyPageDown, 0, 5, 1, ListKeyAction::Move, 1},  // one entry a page: a step of one, never none
      {kKeyPageUp, 4, 5, 1, ListKeyAction::Move, 3},
      {kKeySpace, 1, 3, 7, ListKeyAction::Activate, 1},
      {kKeyReturn, -1, 3, 7, ListKeyAction::Activate, 0},
      {kKeySpace, 0, 0, 7, ListKeyAction::None, -1},    // empty: nothing to click
      {kKeyDown, -1, 0, 7, ListKeyAction::None, -1},
      {'A', 0, 3, 7, ListKeyAction::None, -1},           // letters select nothing
      {kKeyLeft, 1, 3, 7, ListKeyAction::None, -1},
  };
  for (const auto& c : cases) {
    const ListKey key = DecideListKey(c.key, c.caret, c.count, c.page);
    EXPECT_EQ(key.action, c.action) << c.key << " at " << c.caret << " of " << c.count;
    if (c.action != ListKeyAction::None) {
      EXPECT_EQ(key.caret, c.to) << c.key << " at " << c.caret;
    }
  }
}

TEST(KeyboardLogicTest, SpaceClicksOnceAndArrowsStepOnlyThroughRadios) {
  EXPECT_EQ(DecideControlKey(kKeySpace, false, false), ControlKeyAction::Click);
  EXPECT_EQ(DecideControlKey(kKeySpace, true, false), ControlKeyAction::None) << "held: one click";
  EXPECT_EQ(DecideControlKey(kKeyReturn, false, false), ControlKeyAction::None) << "Enter is the dialog's";
  EXPECT_EQ(DecideControlKey(kKeyDown, false, false), ControlKeyAction::None);
  EXPECT_EQ(DecideControlKey(kKeyDown, false, true), ControlKeyAction::NextChoice);
  EXPECT_EQ(DecideControlKey(kKeyRight, false, true), ControlKeyAction::NextChoice);
  EXPECT_EQ(DecideControlKey(kKeyUp, false, true), ControlKeyAction::PreviousChoice);
  EXPECT_EQ(DecideControlKey(kKeyLeft, false, true), ControlKeyAction::PreviousChoice);
  EXPECT_EQ(StepChoice(3, 4, true), 0) << "wraps around";
  EXPECT_EQ(StepChoice(0, 4, false), 3);
  EXPECT_EQ(StepChoice(-1, 4, true), 0);
  EXPECT_EQ(StepChoice(0, 0, true), -1);
}

TEST(KeyboardLogicTest, EnterIsOkEscapeIsCancelAndTheMessageBoxPicksItsButtons) {
  EXPECT_EQ(DialogKeyCommand(kDialogEnterId, 1027, 1028), 1027);
  EXPECT_EQ(DialogKeyCommand(kDialogEscapeId, 1027, 1028), 1028);
  EXPECT_EQ(DialogKeyCommand(kDialogEscapeId, 1026, 0), 0) << "no Cancel: nothing";
  EXPECT_EQ(DialogKeyCommand(1030, 1027, 1028), 1030);
  const struct {
    std::int32_t buttons;
    int enter;
    int escape;
  } boxes[] = {
      {MBX_BUTTONS_OK, kMessageBoxOkId, kMessageBoxOkId},
      {MBX_BUTTONS_OK | MBX_DONTSHOWAGAIN, kMessageBoxOkId, kMessageBoxOkId},
      {MBX_BUTTONS_YESNO, kMessageBoxYesId, kMessageBoxNoId},
      {MBX_BUTTONS_YESNOCANCEL, kMessageBoxYesId, kMessageBoxCancelId},
  };
  for (const auto& b : boxes) {
    EXPECT_EQ(MessageBoxDefaultButton(b.buttons), b.enter) << b.buttons;
    EXPECT_EQ(MessageBoxCancelButton(b.buttons), b.escape) << b.buttons;
  }
}

TEST(KeyboardLogicTest, ThePopupListSkipsLabelsAndSeparatorsPicksAndCloses) {
  testing::ScopedMenuList menu;
  testing::AddLanguageItems(&menu.list);  // 0 English, 1 separator, 2..4
  const MenuItem* first = menu.list.first;
  const struct {
    int hot;
    std::uint32_t key;
    PopupKeyAction action;
    int to;
  } cases[] = {
      {-1, kKeyDown, PopupKeyAction::Move, 0},
      {-1, kKeyUp, PopupKeyAction::Move, 4},
      {0, kKeyDown, PopupKeyAction::Move, 2},  // over the separator
      {2, kKeyUp, PopupKeyAction::Move, 0},
      {4, kKeyDown, PopupKeyAction::None, 4},  // the last stays
      {3, kKeyHome, PopupKeyAction::Move, 0},
      {0, kKeyEnd, PopupKeyAction::Move, 4},
      {2, kKeyReturn, PopupKeyAction::Pick, 2},
      {2, kKeySpace, PopupKeyAction::Pick, 2},
      {-1, kKeyReturn, PopupKeyAction::None, -1},
      {2, kKeyEscape, PopupKeyAction::Close, 2},
  };
  for (const auto& c : cases) {
    const PopupKey key = DecidePopupKey(first, c.hot, c.key);
    EXPECT_EQ(key.action, c.action) << c.key << " from " << c.hot;
    EXPECT_EQ(key.hot, c.to) << c.key << " from " << c.hot;
  }
}

TEST(KeyboardLogicTest, AltAloneF10ShiftF10AndTheContextKeyOpenTheMenu) {
  struct Key {
    KeyEvent event;
    std::uint32_t key;
    bool system;
  };
  const struct {
    const char* name;
    std::vector<Key> keys;
    bool opens;  // at the last key
  } cases[] = {
      {"Alt alone", {{KeyEvent::Down, kKeyAlt, true}, {KeyEvent::Up, kKeyAlt, true}}, true},
      {"Alt held (repeats)", {{KeyEvent::Down, kKeyAlt, true}, {KeyEvent::Down, kKeyAlt, true}, {KeyEvent::Up, kKeyAlt, true}}, true},
      {"Alt+F4", {{KeyEvent::Down, kKeyAlt, true}, {KeyEvent::Down, 0x73, true}, {KeyEvent::Up, kKeyAlt, true}}, false},
      {"Alt+Tab", {{KeyEvent::Down, kKeyAlt, true}, {KeyEvent::Down, kKeyTab, true}, {KeyEvent::Up, kKeyAlt, false}}, false},
      {"F10", {{KeyEvent::Down, kKeyF10, true}}, true},
      {"context key", {{KeyEvent::Down, kKeyApps, false}}, true},
      {"Down", {{KeyEvent::Down, kKeyDown, false}}, false},
      {"a lone Alt release", {{KeyEvent::Up, kKeyAlt, true}}, false},
  };
  for (const auto& c : cases) {
    MenuKeyTracker tracker;
    bool opened = false;
    for (const Key& k : c.keys) opened = tracker.OnKey(k.event, k.key, k.system);
    EXPECT_EQ(opened, c.opens) << c.name;
  }
  // Alt+F1 taken by the system as a keyboard shortcut: its key message never
  // comes, the shortcut's notice does.
  MenuKeyTracker shortcut;
  shortcut.OnKey(KeyEvent::Down, kKeyAlt, true);
  shortcut.OnOtherInput();
  EXPECT_FALSE(shortcut.OnKey(KeyEvent::Up, kKeyAlt, true));
}

}  // namespace
}  // namespace shadowpane
