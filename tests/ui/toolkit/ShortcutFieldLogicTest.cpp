#include "ui/toolkit/ShortcutFieldLogic.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

constexpr std::uint32_t kCtrl = kShortcutControl;
constexpr std::uint32_t kAlt = kShortcutAlt;
constexpr std::uint32_t kShift = kShortcutShift;
constexpr std::uint32_t kWin = kShortcutWin;

TEST(ShortcutFieldLogicTest, KeysRecordClearWaitOrAreRefused) {
  const struct {
    std::uint32_t key;
    std::uint32_t modifiers;
    FieldKeyOutcome outcome;
  } cases[] = {
      {'M', kCtrl | kAlt | kShift, FieldKeyOutcome::Record},
      {0x70, kAlt, FieldKeyOutcome::Record},            // Alt+F1
      {kFieldKeyTab, kCtrl, FieldKeyOutcome::Record},   // Ctrl+Tab is a combination
      {kFieldKeyDelete, kCtrl | kAlt, FieldKeyOutcome::Record},
      {'M', 0, FieldKeyOutcome::NeedsCtrlOrAlt},       // would steal typing
      {'M', kShift | kWin, FieldKeyOutcome::NeedsCtrlOrAlt},
      {0x11, kCtrl, FieldKeyOutcome::Wait},              // Ctrl on its own, still pressing
      {0xA4, kAlt, FieldKeyOutcome::Wait},               // left Alt
      {kFieldKeyBackspace, 0, FieldKeyOutcome::Clear},
      {kFieldKeyDelete, 0, FieldKeyOutcome::Clear},
      {kFieldKeyTab, 0, FieldKeyOutcome::PassOn},
      {kFieldKeyTab, kShift, FieldKeyOutcome::PassOn},
      {kFieldKeyEscape, 0, FieldKeyOutcome::PassOn},
  };
  for (const auto& c : cases) {
    const FieldKey key = DecideFieldKey(c.key, c.modifiers);
    EXPECT_EQ(key.outcome, c.outcome) << c.key << " " << c.modifiers;
    const std::uint32_t stored = c.outcome == FieldKeyOutcome::Record ? EncodeShortcut(c.modifiers, c.key) : 0;
    EXPECT_EQ(key.stored, stored) << c.key;
  }
}

TEST(ShortcutFieldLogicTest, SpaceOrEnterStartsRecordingAndAPassedKeyEndsIt) {
  EXPECT_TRUE(KeyStartsRecording(kFieldKeySpace, 0));
  EXPECT_TRUE(KeyStartsRecording(kFieldKeyReturn, 0));
  EXPECT_FALSE(KeyStartsRecording(kFieldKeySpace, kCtrl));
  EXPECT_FALSE(KeyStartsRecording(kFieldKeyTab, 0)) << "Tab leaves a field that is not recording";
  EXPECT_FALSE(RecordingContinues(DecideFieldKey(kFieldKeyTab, 0).outcome)) << "Tab ends the recording first";
  EXPECT_FALSE(RecordingContinues(DecideFieldKey(kFieldKeyEscape, 0).outcome));
  EXPECT_TRUE(RecordingContinues(DecideFieldKey(kFieldKeyTab, kCtrl).outcome)) << "Ctrl+Tab is recorded";
  EXPECT_TRUE(RecordingContinues(DecideFieldKey('M', 0).outcome));
}

}  // namespace
}  // namespace shadowpane
