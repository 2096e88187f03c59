#include "ui/main/MainWindowAccessibility.h"

#include <gtest/gtest.h>

#include "devices/DeviceTypes.h"
#include "settings/Languages.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"

namespace shadowpane {
namespace {

constexpr std::uint32_t Entry(int blocked, int kind, bool shared = false) {
  return MakeListItemData(blocked, kind) | (shared ? kListItemHeldButShared : 0u);
}

TEST(MainWindowAccessibilityTest, AnEntrySaysItsStateAndOffersTheOppositeActionInEachLanguage) {
  const struct {
    std::uint32_t data;
    int language;
    const WideChar* value;
    const WideChar* action;
    AccessibleText word;
  } cases[] = {
      {Entry(1, DEVICE_KIND_VIDEO), 0, u"Blocked", u"Unblock", AccessibleText::StateWordBlocked},
      {Entry(0, DEVICE_KIND_VIDEO), 0, u"Not blocked", u"Block", AccessibleText::StateWordNotBlocked},
      {Entry(1, DEVICE_KIND_VIDEO, true), 0, u"Blocked, but other programs can still use it", u"Unblock",
       AccessibleText::StateWordShared},
      {Entry(1, DEVICE_KIND_AUDIO, true), 0, u"Blocked, but other programs can still hear it", u"Unblock",
       AccessibleText::StateWordShared},
      {Entry(0, DEVICE_KIND_AUDIO, true), 0, u"Not blocked", u"Block", AccessibleText::StateWordNotBlocked},
      {Entry(1, DEVICE_KIND_AUDIO), 1, u"Gesperrt", u"Entsperren", AccessibleText::StateWordBlocked},
      {Entry(0, DEVICE_KIND_AUDIO), 2, u"No bloqueado", u"Bloquear", AccessibleText::StateWordNotBlocked},
      {Entry(1, DEVICE_KIND_VIDEO, true), 3, u"Bloccato, ma altri programmi possono ancora usarlo", u"Sblocca",
       AccessibleText::StateWordShared},
      {Entry(1, DEVICE_KIND_AUDIO, true) | kListItemTalking, 0, u"Blocked, heard while the talk key is held", u"Unblock",
       AccessibleText::StateWordTalking},
  };
  for (const auto& c : cases) {
    AccessibleDescription d;
    d.child = 1;
    DescribeDeviceEntry(c.data, c.language, d);
    EXPECT_EQ(d.value, c.value) << c.data << " " << c.language;
    EXPECT_EQ(d.description, c.value);
    EXPECT_EQ(d.defaultAction, c.action);
    EXPECT_EQ(DeviceStateWord(c.data), c.word);
  }
}

TEST(MainWindowAccessibilityTest, PictureButtonsAreNamedByWhatTheyDoAndTheStatusPanelReadsAsText) {
  const struct {
    int id;
    int language;
    const WideChar* name;
  } cases[] = {
      {IDC_MENU_BUTTON, 0, u"Menu"},           {IDC_HIDE_BUTTON, 0, u"Minimize"},
      {IDC_CLOSE_BUTTON, 0, u"Close"},         {IDC_CLOSE_BUTTON, 1, u"Schließen"},
      {IDC_HIDE_BUTTON, 3, u"Riduci a icona"}, {IDC_MENU_BUTTON, 2, u"Menú"},
  };
  for (const auto& c : cases) {
    AccessibleDescription d;
    DescribeMainControl(c.id, c.language, d);
    EXPECT_EQ(d.name, c.name);
    EXPECT_EQ(d.shortcut, c.id == IDC_MENU_BUTTON ? u"F10" : u"");
  }
  gDisplayLanguage = 0;
  AccessibleDescription list;
  DescribeMainControl(IDC_VIDEO_LIST, 0, list);
  EXPECT_EQ(list.name, GetString(STR_VIDEO_DEVICES));
  AccessibleDescription item;
  item.child = 1;
  item.name = u"Camera";
  DescribeMainControl(IDC_VIDEO_LIST, 0, item);
  EXPECT_EQ(item.name, u"Camera") << "an item keeps its device's name";

  for (int state : {0, 1}) {
    AccessibleDescription panel;
    DescribeStatusPanel(state, 2 * kMainWindowWidth, 192, panel);
    EXPECT_EQ(panel.role, AccessibleRole::StaticText);
    EXPECT_EQ(panel.name, GetString(state == 1 ? STR_PRIVACY_PROTECTED : STR_PRIVACY_AT_RISK));
    EXPECT_EQ(panel.description, GetString(state == 1 ? STR_ALL_BLOCKED : STR_BLOCK_ALL_HINT));
    EXPECT_EQ(panel.location.left, 2 * kPanelLeft);
    EXPECT_EQ(panel.location.top, 2 * kPanelTop) << "the top edge scales too";
    EXPECT_EQ(panel.location.right, 2 * (kMainWindowWidth - kPanelRightInset));
    EXPECT_EQ(panel.location.bottom, 2 * kPanelBottom);
  }
}

TEST(MainWindowAccessibilityTest, TheTrayIconAnswersTheKeyboardAsTheMouse) {
  const struct {
    std::uint32_t message;
    bool raises;
  } cases[] = {
      {0x0201, true},  {0x0204, true},  // left and right press
      {0x0202, false}, {0x0200, false}, // release, move
      {0x0203, false},                  // double click
      {kTrayNinSelect, true}, {kTrayNinKeySelect, true}, {0x007B, true},
      {0x0402, false},  // a balloon shown
  };
  for (const auto& c : cases) EXPECT_EQ(TrayMessageRaises(c.message), c.raises) << c.message;
}

}  // namespace
}  // namespace shadowpane
