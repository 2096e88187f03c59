// The keyboard shortcuts of Shadowpane.exe as a user meets them, under Wine
// with the test-only virtual camera and microphone: the keys are pressed
// through the system's input (SendInput) from this separate process, and the
// balloon is read from a notification area of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "commands/CommandTexts.h"
#include "commands/Shortcuts.h"
#include "core/win32/TextCast.h"
#include "tests/e2e/FakeTray.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;
using virtualdevices::Quoted;
using virtualdevices::RunHelper;

constexpr wchar_t kCameraName[] = L"Shortcut Camera";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#shortcut-camera";
constexpr wchar_t kMicrophoneName[] = L"Shortcut Microphone";
constexpr DWORD kMicrophoneWaveInId = 4;
constexpr std::uint32_t kBlockAllKeys = EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift, 'B');

// Presses and releases the combination as a keyboard would.
void PressShortcut(std::uint32_t stored) {
  struct Modifier {
    std::uint32_t bit;
    WORD key;
  };
  const Modifier modifiers[] = {
      {kShortcutControl, VK_CONTROL}, {kShortcutAlt, VK_MENU}, {kShortcutShift, VK_SHIFT}, {kShortcutWin, VK_LWIN}};
  std::vector<WORD> keys;
  for (const Modifier& m : modifiers) {
    if ((ShortcutModifiers(stored) & m.bit) != 0) keys.push_back(m.key);
  }
  keys.push_back(static_cast<WORD>(ShortcutKey(stored)));
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndEveryProgramCopy();
    DeleteProgramKeys();
    SetFirstRunDone();
    SetSetting(L"Language", 0);
    ASSERT_TRUE(camera_.ok());
    ASSERT_TRUE(microphone_.ok());
    ASSERT_TRUE(tray_.ok());
    ASSERT_TRUE(program_.ok());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
  }
  HWND Start() {
    pid_ = program_.Start();
    HWND main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    if (main != nullptr && !WaitForVisibility(main, true)) return nullptr;
    return main;
  }

  PluggedDevice camera_ = PluggedDevice::Camera(kCameraName, kCameraPath);
  PluggedDevice microphone_ = PluggedDevice::Microphone(kMicrophoneName, kMicrophoneWaveInId);
  FakeTray tray_;        // before the program: its icon comes here
  ProgramCopy program_;  // after the devices: ended before they are unplugged
  DWORD pid_ = 0;
};

TEST_F(ShortcutTest, AStoredShortcutPressedElsewhereBlocksEveryDeviceAndTheBalloonSaysWhatHappened) {
  SetSetting(L"ShortcutBlockAll", kBlockAllKeys);
  HWND main = Start();
  ASSERT_NE(main, nullptr);
  EXPECT_HRESULT_SUCCEEDED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "free before";
  ASSERT_TRUE(WaitUntil([&] { return tray_.Count() > 0; })) << "the program's icon reached the test's tray";

  PressShortcut(kBlockAllKeys);
  auto allBlocked = [&] {
    for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
      for (const ListedEntry& entry : ReadList(GetDlgItem(main, id))) {
        if (!entry.blocked) return false;
      }
    }
    return true;
  };
  ASSERT_TRUE(WaitUntil(allBlocked)) << "every entry blocked";
  EXPECT_HRESULT_FAILED(RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000)) << "another program cannot";

  // Wine's own input is muted at an endpoint whose mute Wine keeps per
  // object: others still hear it, so the balloon must name it rather than
  // claim every device blocked. The virtual devices are verified.
  std::vector<std::wstring> shared;
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    for (const ListedEntry& entry : ReadList(GetDlgItem(main, id))) {
      if (entry.heldButShared) shared.push_back(entry.name);
      EXPECT_FALSE(entry.heldButShared && (entry.name == kCameraName || entry.name == kMicrophoneName));
    }
  }
  auto balloonShown = [&] {
    if (shared.empty()) return tray_.Received(AsWide(CommandTextIn(CommandText::AllBlocked, 0)));
    for (const std::wstring& name : shared) {
      const WideString text = WithDeviceName(CommandTextIn(CommandText::NotVerified, 0), AsCore(name.c_str()));
      if (tray_.Received(AsWide(text.c_str()))) return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitUntil(balloonShown)) << "the balloon tells what happened, naming an unverified device";
}

}  // namespace
}  // namespace shadowpane::e2e
