#include "commands/Shortcuts.h"

#include <gtest/gtest.h>

#include <set>

#include "commands/CommandDecisions.h"
#include "commands/CommandTexts.h"

namespace shadowpane {
namespace {

constexpr std::uint32_t kCtrlAltShift = kShortcutControl | kShortcutAlt | kShortcutShift;

TEST(ShortcutsTest, StoredFormIsTheHotKeyModifiersOverTheKey) {
  // The settings key holds exactly what RegisterHotKey takes: Ctrl+Alt+Shift+M.
  EXPECT_EQ(EncodeShortcut(kCtrlAltShift, 'M'), 0x0007004Du);
  EXPECT_EQ(ShortcutModifiers(0x0007004Du), kCtrlAltShift);
  EXPECT_EQ(ShortcutKey(0x0007004Du), static_cast<std::uint32_t>('M'));
}

TEST(ShortcutsTest, OnlyCombinationsWithCtrlOrAltAreAllowed) {
  const struct {
    std::uint32_t stored;
    ShortcutCheck check;
  } cases[] = {
      {kNoShortcut, ShortcutCheck::None},
      {EncodeShortcut(kShortcutControl, 'M'), ShortcutCheck::Valid},
      {EncodeShortcut(kShortcutAlt | kShortcutWin, 0x70), ShortcutCheck::Valid},
      {EncodeShortcut(kShortcutShift, 'M'), ShortcutCheck::NeedsCtrlOrAlt},
      {EncodeShortcut(kShortcutShift | kShortcutWin, 'M'), ShortcutCheck::NeedsCtrlOrAlt},
      {EncodeShortcut(0, 'M'), ShortcutCheck::NeedsCtrlOrAlt},
      {EncodeShortcut(kShortcutControl, 0), ShortcutCheck::Invalid},
      {EncodeShortcut(kShortcutControl, 0x11), ShortcutCheck::Invalid},   // Ctrl as the key
      {EncodeShortcut(kShortcutAlt, 0xA5), ShortcutCheck::Invalid},       // right Alt
      {EncodeShortcut(kShortcutAlt, 0xFF), ShortcutCheck::Invalid},
      {EncodeShortcut(0x4000 | kShortcutAlt, 'M'), ShortcutCheck::Invalid},  // MOD_NOREPEAT is not stored
      {0xFFFFFFFFu, ShortcutCheck::Invalid},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckShortcut(c.stored), c.check) << std::hex << c.stored;
}

TEST(ShortcutsTest, CombinationsReadInTheUsersLanguage) {
  const struct {
    std::uint32_t stored;
    int language;
    WideString keyName;
    WideString text;
  } cases[] = {
      {EncodeShortcut(kCtrlAltShift, 'M'), 0, u"", u"Ctrl+Alt+Shift+M"},
      {EncodeShortcut(kCtrlAltShift, 'M'), 1, u"", u"Strg+Alt+Umschalt+M"},
      {EncodeShortcut(kShortcutWin | kShortcutAlt, '7'), 2, u"", u"Alt+Win+7"},
      {EncodeShortcut(kShortcutControl | kShortcutShift, 0x87), 3, u"", u"Ctrl+Maiusc+F24"},
      {EncodeShortcut(kShortcutControl, 0x63), 0, u"", u"Ctrl+Num 3"},
      {EncodeShortcut(kShortcutControl, 0x20), 0, u"Space", u"Ctrl+Space"},
      {EncodeShortcut(kShortcutControl, 0xBA), 0, u"", u"Ctrl+#186"},
      {EncodeShortcut(kShortcutControl, 'B'), 9, u"", u"Ctrl+B"},
      {EncodeShortcut(kShortcutShift, 'B'), 0, u"", u""},
      {kNoShortcut, 0, u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatShortcut(c.stored, c.language, c.keyName), c.text);
}

TEST(ShortcutsTest, EachActionHasItsOwnValueAndCommand) {
  std::set<WideString> names;
  for (int i = 0; i < kShortcutActionCount; ++i) {
    const auto action = static_cast<ShortcutAction>(i);
    names.insert(ShortcutValueName(action));
    EXPECT_TRUE(IsWellFormedCommand(ShortcutCommand(action)));
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kShortcutActionCount));
  const Command toggle = ShortcutCommand(ShortcutAction::ToggleMicrophones);
  EXPECT_EQ(toggle.action, CommandAction::Toggle);
  EXPECT_EQ(toggle.scope, CommandScope::Microphones);
  // The talk key has no command: it must not block or unblock anything.
  EXPECT_EQ(ShortcutCommand(ShortcutAction::HoldToTalk).action, CommandAction::Status);
  EXPECT_EQ(WideString(ShortcutValueName(ShortcutAction::HoldToTalk)), u"ShortcutHoldToTalk");
}

TEST(CommandTextsTest, EveryTextExistsInEveryLanguageWithItsNameMark) {
  const std::set<CommandText> namesDevice = {CommandText::DeviceBlocked, CommandText::DeviceUnblocked,
                                             CommandText::UnableToBlock, CommandText::UnableToUnblock,
                                             CommandText::NotVerified};
  for (int t = 0; t < kCommandTextCount; ++t) {
    const auto text = static_cast<CommandText>(t);
    for (int language = 0; language < kCommandTextLanguages; ++language) {
      const WideView value = CommandTextIn(text, language);
      EXPECT_FALSE(value.empty()) << t << "/" << language;
      EXPECT_EQ(value.find(kDeviceNameMark) != WideView::npos, namesDevice.count(text) == 1) << t << "/" << language;
    }
  }
}

TEST(CommandTextsTest, BalloonNamesWhatHappenedOrTheFirstDeviceThatFailed) {
  const std::vector<DeviceSnapshot> before = {{DEVICE_KIND_VIDEO, u"Cam", DeviceState::Open},
                                              {DEVICE_KIND_AUDIO, u"Mic", DeviceState::Open}};
  auto After = [&](DeviceState cam, DeviceState mic) {
    std::vector<DeviceSnapshot> after = before;
    after[0].state = cam;
    after[1].state = mic;
    return after;
  };
  const auto kBlocked = DeviceState::Blocked;
  const auto kOpen = DeviceState::Open;
  const struct {
    Command command;
    std::vector<DeviceSnapshot> after;
    WideString text;
  } cases[] = {
      {ShortcutCommand(ShortcutAction::BlockAll), After(kBlocked, kBlocked), u"All devices blocked."},
      {ShortcutCommand(ShortcutAction::ToggleMicrophones), After(kOpen, kBlocked), u"All microphones blocked."},
      {ShortcutCommand(ShortcutAction::BlockAll), After(kBlocked, kOpen), u"Unable to block Mic."},
      {ShortcutCommand(ShortcutAction::BlockAll), After(DeviceState::HeldButShared, kBlocked),
       u"Cam is blocked, but other programs can still use it."},
      {ShortcutCommand(ShortcutAction::UnblockAll), After(kOpen, kBlocked), u"Unable to unblock Mic."},
      {MakeCommand(CommandAction::Block, CommandScope::Device, u"Cam"), After(kBlocked, kOpen), u"Cam blocked."},
      {MakeCommand(CommandAction::Block, CommandScope::Device, u"None"), before, u""},
  };
  for (const auto& c : cases) {
    const CommandTargets targets = SelectTargets(before, c.command);
    EXPECT_EQ(CommandBalloonText(c.command, targets, before, c.after, 0), c.text);
  }
}

TEST(CommandTextsTest, ALongNameIsShortenedToFitTheBalloon) {
  const WideString name(kMaxNameChars, u'n');
  for (int language = 0; language < kCommandTextLanguages; ++language) {
    const WideString text = WithDeviceName(CommandTextIn(CommandText::NotVerified, language), name);
    EXPECT_EQ(text.size(), static_cast<std::size_t>(kBalloonTextChars));
    EXPECT_NE(text.find(u'\u2026'), WideString::npos);
  }
  EXPECT_EQ(WithDeviceName(u"%1 gesperrt.", u"Kamera"), u"Kamera gesperrt.");
}

}  // namespace
}  // namespace shadowpane
