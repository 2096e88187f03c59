// Shadowpane.exe as a user meets it, under Wine with the test-only virtual
// camera and microphone: started from a copy in a folder of its own, driven
// from this separate process with the real pointer and window messages.
// Every test starts from fresh registry keys and ends every copy it started.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/MenuIds.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/support/win32/TestPlatform.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/MicrophoneInputStore.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SettingsWindowLogic.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;
using virtualdevices::Quoted;
using virtualdevices::RunHelper;

constexpr wchar_t kCameraName[] = L"End To End Camera";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#end-to-end-camera";
constexpr wchar_t kMicrophoneName[] = L"End To End Microphone";
constexpr wchar_t kWineInputName[] = L"In: default";
constexpr DWORD kMicrophoneWaveInId = 4;
// The device-interface class a camera's driver announces (KSCATEGORY_VIDEO).
constexpr GUID kVideoInterfaceClass = {0x6994AD05, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
// The close button's centre in the main window's client area.
constexpr int kCloseX = kMainWindowWidth - 52 + 20;
constexpr int kCloseY = 9;

COLORREF Colour(const StatusPanelLook& look) { return ToColorRef(look.fill); }

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndEveryProgramCopy();
    DeleteProgramKeys();
    // The first-run page would hand an address to the prefix's browser;
    // only the test of the first start lets that happen.
    SetFirstRunDone();
    ASSERT_TRUE(camera_.ok());
    ASSERT_TRUE(microphone_.ok());
    ASSERT_TRUE(program_.ok()) << "no copy of " << std::string(BuiltProgramPath().begin(), BuiltProgramPath().end());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
  }

  // Starts a copy with a language stored, so no language window comes, and
  // waits for its main window. The window exists while its creation still
  // lists the devices; shown, it has listed them.
  HWND StartWithLanguage(const std::wstring& arguments = L"") {
    SetSetting(L"Language", 0);
    pid_ = program_.Start(arguments);
    HWND main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    if (main != nullptr && arguments != L"/min" && !WaitForVisibility(main, true)) return nullptr;
    return main;
  }
  // The box's text with the lines it wrapped joined again.
  static std::wstring BoxText(HWND box) {
    wchar_t text[1024] = {};
    GetWindowTextW(box, text, 1024);
    std::wstring joined;
    for (const wchar_t* c = text; *c != 0; ++c) {
      const bool space = *c == L' ' || *c == L'\n';
      if (!space || joined.empty() || joined.back() != L' ') joined += space ? L' ' : *c;
    }
    return joined;
  }
  static HWND List(HWND main, int id) { return GetDlgItem(main, id); }
  static bool CameraBlocked(HWND main) {
    HWND list = List(main, IDC_VIDEO_LIST);
    const int index = FindEntry(list, kCameraName);
    return index >= 0 && ReadList(list)[static_cast<size_t>(index)].blocked;
  }
  // What another program gets when it tries the camera.
  static HRESULT ProbeCamera() { return RunHelper(L"probe-camera " + Quoted(kCameraPath), 30000); }
  // Whether the entry of that name is listed and marked blocked.
  static bool EntryBlocked(HWND list, const std::wstring& name) {
    const int index = FindEntry(list, name);
    return index >= 0 && ReadList(list)[static_cast<size_t>(index)].blocked;
  }
  // What the system sends when a camera's interface comes or goes.
  static void SendVideoChange(HWND main, WPARAM event) {
    DEV_BROADCAST_DEVICEINTERFACE_W header{};
    header.dbcc_size = sizeof(header);
    header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header.dbcc_classguid = kVideoInterfaceClass;
    SendMessageW(main, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&header));
  }
  // Answers the message box the copy shows next, after checking its text.
  void AnswerBox(const std::wstring& expected) {
    HWND box = WaitForWindow(kMessageBoxClass, pid_);
    ASSERT_NE(box, nullptr) << "no box for: " << std::string(expected.begin(), expected.end());
    EXPECT_EQ(BoxText(box), expected);
    ClickControl(box, kMessageBoxOkId);
    EXPECT_TRUE(WaitForNoWindow(kMessageBoxClass, pid_));
  }
  // Answers the boxes the copy shows one after another, in that order.
  void AnswerBoxes(const std::vector<std::wstring>& expected) {
    for (const std::wstring& text : expected) {
      HWND box = WaitForWindow(kMessageBoxClass, pid_);
      ASSERT_NE(box, nullptr) << "no box for: " << std::string(text.begin(), text.end());
      ASSERT_TRUE(WaitUntil([&] { return !BoxText(box).empty(); }));
      EXPECT_EQ(BoxText(box), text);
      ClickControl(box, kMessageBoxOkId);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }
    EXPECT_TRUE(WaitForNoWindow(kMessageBoxClass, pid_));
  }
  // Every entry blocked, Wine's own input amber: muted at an endpoint whose
  // mute Wine keeps per object, it is still heard by others.
  static bool EveryDeviceHeld(HWND main) {
    for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
      for (const ListedEntry& entry : ReadList(List(main, id))) {
        // Windows keeps an endpoint's mute for the whole system: no input amber.
        const bool amber = testing::OnWine(entry.name == kWineInputName, false);
        if (!entry.blocked || entry.heldButShared != amber) return false;
      }
    }
    return true;
  }
  // Whether Profile.db saved the camera blocked.
  bool ProfileHoldsCameraBlocked() const {
    std::vector<ProfileRecord> records;
    if (!ReadProfile(program_.ProfilePath(), &records)) return false;
    const std::wstring path(kCameraPath);
    for (const ProfileRecord& record : records) {
      if (record.path == std::u16string(path.begin(), path.end())) return record.blocked != 0;
    }
    return false;
  }

  PluggedDevice camera_ = PluggedDevice::Camera(kCameraName, kCameraPath);
  PluggedDevice microphone_ = PluggedDevice::Microphone(kMicrophoneName, kMicrophoneWaveInId);
  ProgramCopy program_;  // after the devices: ended before they are unplugged
  DWORD pid_ = 0;
};

TEST_F(ProgramTest, FirstStartAsksForTheLanguageThenListsTheDevicesAndStoresTheSettings) {
  DeleteProgramKeys();  // a machine that never ran the program
  pid_ = program_.Start();
  ASSERT_NE(pid_, 0u);
  HWND language = WaitForWindow(kLanguageClass, pid_);
  ASSERT_NE(language, nullptr);
  EXPECT_EQ(FindWindowW(kMainClass, nullptr), nullptr) << "the main window waits for the language";
  ASSERT_TRUE(ClickControl(language, IDC_LANGUAGE_OK));

  HWND main = WaitForWindow(kMainClass, pid_);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitForVisibility(main, true));
  EXPECT_GE(FindEntry(List(main, IDC_VIDEO_LIST), kCameraName), 0);
  EXPECT_GE(FindEntry(List(main, IDC_AUDIO_LIST), kMicrophoneName), 0);
  for (const wchar_t* name : {L"Language", L"Startup", L"BlockStart", L"BlockPluggedIn"}) {
    EXPECT_EQ(ReadSetting(name), 0) << std::string(name, name + lstrlenW(name)) << " stored";
  }
  EXPECT_EQ(ReadFirstRun(), 1) << "the first-run page is offered once";
  // The page went to the prefix's browser handler, which has nothing to
  // hand it to here: it must end rather than hang about.
  EXPECT_TRUE(WaitUntil([] { return CountProcesses(L"winebrowser.exe") == 0; }));
}

TEST_F(ProgramTest, AClickBlocksTheCameraAgainstOtherProgramsAndThePanelTellsTheTruth) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera()) << "free before the click";
  EXPECT_EQ(PanelColour(main), Colour(PanelLook(0)));

  HWND video = List(main, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  EXPECT_TRUE(WaitUntil([&] { return CameraBlocked(main); })) << "its mark turns green";
  EXPECT_HRESULT_FAILED(ProbeCamera()) << "another program cannot open it";

  // Every microphone clicked too. Wine's own input is muted at its audio
  // endpoint, whose mute Wine keeps per object, so another program here
  // still hears it, and Wine lets exclusive streams in: its mark turns
  // amber, a notice says each once, and the panel stays at risk. The virtual microphone is found silent.
  HWND audio = List(main, IDC_AUDIO_LIST);
  const std::vector<ListedEntry> microphones = ReadList(audio);
  for (size_t i = 0; i < microphones.size(); ++i) {
    ClickEntry(audio, static_cast<int>(i));
    // Windows: every input's system-wide mute is verified silent, so none is told of.
    const bool toldOf = testing::OnWine(microphones[i].name == kWineInputName, false);
    HWND box = WaitForWindow(kMessageBoxClass, pid_, toldOf ? 5000 : 500);
    if (!toldOf) {
      EXPECT_EQ(box, nullptr) << "no refusal";
      continue;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box),
              L"This microphone can still be heard by other programs while it is blocked. Device: In: default");
    ClickControl(box, kMessageBoxOkId);
    // Wine lets an exclusive stream in beside the hold's own: told next.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    box = WaitForWindow(kMessageBoxClass, pid_, 5000);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !BoxText(box).empty(); }));
    EXPECT_EQ(BoxText(box), L"A program that takes this microphone for itself can still hear it. Device: In: default");
    ClickControl(box, kMessageBoxOkId);
    EXPECT_TRUE(WaitForNoWindow(kMessageBoxClass, pid_));
  }
  EXPECT_TRUE(WaitUntil([&] { return EveryDeviceHeld(main); })) << "every device blocked, Wine's own input amber";
  // Windows: every device verified blocked, so the panel says protected.
  EXPECT_EQ(PanelColour(main), Colour(PanelLook(testing::OnWine(0, 1)))) << "Privacy at Risk under Wine";
}

TEST_F(ProgramTest, APluggedInCameraIsAnnouncedAndBlockedWhenTheSettingSaysSo) {
  SetSetting(L"BlockPluggedIn", 1);
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  PluggedDevice plugged = PluggedDevice::Camera(L"Plugged In Camera", L"\\\\?\\virtual#plugged-in-camera");
  ASSERT_TRUE(plugged.ok());
  SendVideoChange(main, DBT_DEVICEARRIVAL);

  HWND box = WaitForWindow(kMessageBoxClass, pid_);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"Device has been plugged in. Device: Plugged In Camera");
  HWND video = List(main, IDC_VIDEO_LIST);
  const int index = FindEntry(video, L"Plugged In Camera");
  ASSERT_GE(index, 0);
  // Its hold is shown once verified, which may come after the notice.
  EXPECT_TRUE(WaitUntil([&] { return ReadList(video)[static_cast<size_t>(index)].blocked; }));
  EXPECT_TRUE(virtualdevices::IsCameraOpen(plugged.clsid()));
  EXPECT_FALSE(CameraBlocked(main)) << "the camera that was there stays as it was";
  ClickControl(box, kMessageBoxOkId);
  EXPECT_TRUE(WaitForNoWindow(kMessageBoxClass, pid_));
  program_.EndAll();  // lets the camera go before it is unplugged
}

// Blocked, unplugged and plugged back in: both are held again by the
// refresh that lists them, and each notice says so. Another program is
// refused the camera; the microphone's input reads off.
TEST_F(ProgramTest, BlockedDevicesUnpluggedAndPluggedBackInAreHeldAgain) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = List(main, IDC_VIDEO_LIST);
  HWND audio = List(main, IDC_AUDIO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  ASSERT_TRUE(ClickEntry(audio, FindEntry(audio, kMicrophoneName)));
  ASSERT_TRUE(WaitUntil([&] { return CameraBlocked(main) && EntryBlocked(audio, kMicrophoneName); }));

  camera_.Unplug();
  microphone_.Unplug();
  SendVideoChange(main, DBT_DEVICEREMOVECOMPLETE);
  ASSERT_TRUE(WaitUntil([&] { return FindEntry(video, kCameraName) < 0 && FindEntry(audio, kMicrophoneName) < 0; }));

  PluggedDevice camera = PluggedDevice::Camera(kCameraName, kCameraPath);
  PluggedDevice microphone = PluggedDevice::Microphone(kMicrophoneName, kMicrophoneWaveInId);
  ASSERT_TRUE(camera.ok() && microphone.ok());
  SendVideoChange(main, DBT_DEVICEARRIVAL);
  // One notice each, the later one on top of the earlier.
  std::vector<std::wstring> notices;
  for (int i = 0; i < 2; ++i) {
    HWND box = WaitForWindow(kMessageBoxClass, pid_);
    ASSERT_NE(box, nullptr);
    // A box met while it is being made has no text yet.
    ASSERT_TRUE(WaitUntil([&] { return !BoxText(box).empty(); }));
    notices.push_back(BoxText(box));
    ClickControl(box, kMessageBoxOkId);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }
  std::sort(notices.begin(), notices.end());
  EXPECT_EQ(notices, (std::vector<std::wstring>{
                         L"Device has been plugged in and blocked again. Device: End To End Camera",
                         L"Device has been plugged in and blocked again. Device: End To End Microphone"}));
  EXPECT_TRUE(WaitUntil([&] { return CameraBlocked(main) && EntryBlocked(audio, kMicrophoneName); }));
  EXPECT_HRESULT_FAILED(ProbeCamera()) << "another program cannot open it";
  EXPECT_TRUE(WaitUntil([&] {
    bool enabled = true;
    return SUCCEEDED(virtualdevices::ReadInputEnabled(microphone.clsid(), &enabled)) && !enabled;
  })) << "the microphone's input is off";
  program_.EndAll();  // lets the devices go before they are unplugged
}

TEST_F(ProgramTest, TheCloseButtonSavesTheProfileAndTheNextStartBlocksTheSameDevices) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = List(main, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  ASSERT_TRUE(WaitUntil([&] { return CameraBlocked(main); }));
  const size_t listed = ReadList(video).size() + ReadList(List(main, IDC_AUDIO_LIST)).size();

  ClickAt(main, kCloseX, kCloseY);
  EXPECT_EQ(program_.WaitForExit(pid_), 0);
  EXPECT_FALSE(virtualdevices::IsCameraOpen(camera_.clsid())) << "the camera is let go";
  EXPECT_HRESULT_SUCCEEDED(ProbeCamera());
  std::vector<ProfileRecord> records;
  ASSERT_TRUE(ReadProfile(program_.ProfilePath(), &records));
  EXPECT_EQ(records.size(), listed) << "one record per device";
  int blockedRecords = 0;
  for (const ProfileRecord& record : records) blockedRecords += record.blocked != 0 ? 1 : 0;
  EXPECT_EQ(blockedRecords, 1);

  main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(CameraBlocked(main)) << "Profile.db applied at start";
  EXPECT_TRUE(virtualdevices::IsCameraOpen(camera_.clsid()));
  EXPECT_FALSE(ReadList(List(main, IDC_AUDIO_LIST))[0].blocked);
}

// Display names are unique only with case: a click holds the camera clicked
// and marks its own entry.
TEST_F(ProgramTest, CaseTwinsAreToldApart) {
  PluggedDevice lower = PluggedDevice::Camera(L"Review Case Camera", L"\\\\?\\virtual#case-lower");
  PluggedDevice upper = PluggedDevice::Camera(L"REVIEW CASE CAMERA", L"\\\\?\\virtual#case-upper");
  ASSERT_TRUE(lower.ok() && upper.ok());
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = List(main, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, L"REVIEW CASE CAMERA")));
  EXPECT_TRUE(WaitUntil([&] { return EntryBlocked(video, L"REVIEW CASE CAMERA"); }));
  EXPECT_TRUE(virtualdevices::IsCameraOpen(upper.clsid()));
  EXPECT_FALSE(EntryBlocked(video, L"Review Case Camera"));
  EXPECT_FALSE(virtualdevices::IsCameraOpen(lower.clsid()));
  program_.EndAll();  // lets the camera go before it is unplugged
}

// Software cameras often have no path: a refresh keeps the same entry and
// its hold, and announces nothing.
TEST_F(ProgramTest, ACameraWithoutPathKeepsItsHoldAcrossARefresh) {
  PluggedDevice soft = PluggedDevice::Camera(L"Soft Camera", L"");
  ASSERT_TRUE(soft.ok());
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = List(main, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, L"Soft Camera")));
  ASSERT_TRUE(WaitUntil([&] { return EntryBlocked(video, L"Soft Camera"); }));

  SendVideoChange(main, DBT_DEVICEARRIVAL);
  EXPECT_EQ(WaitForWindow(kMessageBoxClass, pid_, 1500), nullptr) << "not announced as plugged in";
  EXPECT_TRUE(EntryBlocked(video, L"Soft Camera"));
  EXPECT_EQ(FindEntry(video, L"Soft Camera-1"), -1);
  EXPECT_TRUE(virtualdevices::IsCameraOpen(soft.clsid()));
  program_.EndAll();
}

// Sign-out, shutdown or restart: the click is in Profile.db and the camera
// is let go before the system ends the process; so is a click when the
// process is ended without warning.
TEST_F(ProgramTest, NoClickIsLostWhenTheSessionEndsOrTheProcessIsEnded) {
  for (bool warned : {true, false}) {
    SCOPED_TRACE(warned ? "session end" : "ended without warning");
    HWND main = StartWithLanguage();
    ASSERT_NE(main, nullptr);
    HWND video = List(main, IDC_VIDEO_LIST);
    ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
    ASSERT_TRUE(WaitUntil([&] { return CameraBlocked(main); }));
    if (warned) {
      EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
      SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
      EXPECT_FALSE(virtualdevices::IsCameraOpen(camera_.clsid())) << "the camera is let go";
    } else {
      Sleep(300);  // the state notice, and its save, follow the click
    }
    program_.EndAll();
    EXPECT_TRUE(ProfileHoldsCameraBlocked());
    DeleteFileW(program_.ProfilePath().c_str());
  }
}

TEST_F(ProgramTest, StartedWithMinItStaysHiddenUntilTheTrayIconIsPressed) {
  HWND main = StartWithLanguage(L"/min");
  ASSERT_NE(main, nullptr);
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(main));
  SendMessageW(main, WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitForVisibility(main, true));
}

// A second start while the first runs asks whether to restart; the answer
// decides which copy lives on.
struct SecondStartCase {
  const char* name;
  int button;
  bool firstLives;
};

class SecondStartTest : public ProgramTest, public ::testing::WithParamInterface<SecondStartCase> {};

TEST_P(SecondStartTest, TheQuestionDecidesWhichCopyRuns) {
  const SecondStartCase& c = GetParam();
  HWND first = StartWithLanguage(L"/min");
  ASSERT_NE(first, nullptr);
  const DWORD firstPid = pid_;
  const DWORD secondPid = program_.Start();
  ASSERT_NE(secondPid, 0u);
  HWND box = WaitForWindow(kMessageBoxClass, secondPid);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"Another instance of Shadowpane is already running. Do you want to restart the program?");
  ASSERT_TRUE(ClickControl(box, c.button));

  if (c.firstLives) {
    EXPECT_EQ(program_.WaitForExit(secondPid), 0);
    EXPECT_TRUE(WaitForVisibility(first, true)) << "the first copy is raised";
    EXPECT_TRUE(program_.IsRunning(firstPid));
  } else {
    EXPECT_EQ(program_.WaitForExit(firstPid), 0) << "ended with code 0";
    HWND second = WaitForWindow(kMainClass, secondPid);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(WaitForVisibility(second, true));
    EXPECT_TRUE(program_.IsRunning(secondPid));
  }
}

// Yes: the first copy closes, saving its blocks and letting its devices go,
// and the second comes up with them. No microphone is plugged in whose
// count differs between the two audio lists: its refreshes would save the
// profile every second and hide a lost click.
TEST_F(ProgramTest, ARestartKeepsTheFirstCopysBlocks) {
  microphone_.Unplug();
  HWND first = StartWithLanguage();
  ASSERT_NE(first, nullptr);
  const DWORD firstPid = pid_;
  HWND video = List(first, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  ASSERT_TRUE(WaitUntil([&] { return CameraBlocked(first); }));

  const DWORD secondPid = program_.Start();
  ASSERT_NE(secondPid, 0u);
  HWND box = WaitForWindow(kMessageBoxClass, secondPid);
  ASSERT_NE(box, nullptr);
  ClickControlUntil(box, kMessageBoxYesId, [&] { return !IsWindow(box); });
  EXPECT_EQ(program_.WaitForExit(firstPid), 0);
  HWND second = WaitForWindow(kMainClass, secondPid);
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(WaitForVisibility(second, true));
  EXPECT_TRUE(CameraBlocked(second)) << "the first copy's block, from Profile.db";
  EXPECT_HRESULT_FAILED(ProbeCamera()) << "held by the second copy";
}

// A machine policy forces the block at start over the user's own 0 and over
// a user policy of 0: every device is held from the start, and the Settings
// window shows the box ticked, locked and noted, while its OK keeps the
// user's own 0 for the day the policy goes.
TEST_F(ProgramTest, AMachinePolicyBlocksEveryDeviceAtStartAndLocksItsSetting) {
  SetSetting(L"BlockStart", 0);
  SetPolicy(HKEY_CURRENT_USER, L"BlockStart", 0);
  SetPolicy(HKEY_LOCAL_MACHINE, L"BlockStart", 1);
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return EveryDeviceHeld(main); })) << "every device held at start";
  EXPECT_HRESULT_FAILED(ProbeCamera());
  // Wine's own input: heard by others, and open to exclusive streams.
  AnswerBoxes({L"This microphone can still be heard by other programs while it is blocked. Device: In: default",
               L"A program that takes this microphone for itself can still hear it. Device: In: default"});

  PostMessageW(main, WM_COMMAND, IDM_SETTINGS, 0);
  HWND settings = WaitForWindow(kSettingsClass, pid_);
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(WaitForVisibility(settings, true)) << "shown once its controls are set";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(settings, IDC_SETTINGS_BLOCK_START)));
  EXPECT_EQ(SendDlgItemMessageW(settings, IDC_SETTINGS_BLOCK_START, CXM_CHECKED, kPropertyRead, 0), 1);
  wchar_t note[64] = {};
  GetWindowTextW(GetDlgItem(settings, IDC_SETTINGS_BLOCK_START_NOTE), note, 64);
  EXPECT_STREQ(note, L"Managed by your organization.");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(settings, IDC_SETTINGS_BLOCK_PLUGGED_IN))) << "not forced";
  EXPECT_EQ(GetDlgItem(settings, IDC_SETTINGS_BLOCK_PLUGGED_IN_NOTE), nullptr);
  ASSERT_TRUE(ClickControl(settings, IDC_SETTINGS_OK));
  EXPECT_TRUE(WaitForNoWindow(kSettingsClass, pid_));
  EXPECT_EQ(ReadSetting(L"BlockStart"), 0) << "the user's own choice is what is saved";
}

// Policies pushed while the program runs act from the next refresh: a
// camera plugged in is held by the forced setting, an unblocking click is
// refused with its message and leaves the camera held, the close button
// only hides the window, and a second start raises the running copy
// without offering a restart that would end it.
TEST_F(ProgramTest, PoliciesPushedWhileRunningActAtTheNextRefresh) {
  HWND main = StartWithLanguage();
  ASSERT_NE(main, nullptr);
  HWND video = List(main, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  ASSERT_TRUE(WaitUntil([&] { return CameraBlocked(main); }));

  SetPolicy(HKEY_LOCAL_MACHINE, L"BlockPluggedIn", 1);
  SetPolicy(HKEY_CURRENT_USER, L"AllowUnblock", 0);
  SetPolicy(HKEY_LOCAL_MACHINE, L"AllowExit", 0);
  SetPolicy(HKEY_LOCAL_MACHINE, L"Startup", 1);
  PluggedDevice plugged = PluggedDevice::Camera(L"Policy Camera", L"\\\\?\\virtual#policy-camera");
  ASSERT_TRUE(plugged.ok());
  SendVideoChange(main, DBT_DEVICEARRIVAL);
  HWND box = WaitForWindow(kMessageBoxClass, pid_);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(EntryBlocked(video, L"Policy Camera")) << "held by the policy, not by the user's 0";
  EXPECT_TRUE(virtualdevices::IsCameraOpen(plugged.clsid()));
  AnswerBox(L"Device has been plugged in. Device: Policy Camera");
  // The forced start with Windows is written when it is read, under the
  // user's own Run key, not at a close that the policy may never allow.
  std::wstring autostart;
  EXPECT_TRUE(WaitUntil([&] { return ReadUserAutostartEntry(&autostart); }, 3000));
  EXPECT_EQ(autostart, L"\"" + program_.folder() + L"\\Shadowpane.exe\" /min");

  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  AnswerBox(L"Your organization does not allow unblocking devices. Device: End To End Camera");
  EXPECT_TRUE(CameraBlocked(main));
  EXPECT_HRESULT_FAILED(ProbeCamera()) << "still held";

  ClickAt(main, kCloseX, kCloseY);
  EXPECT_TRUE(WaitForVisibility(main, false));
  EXPECT_TRUE(program_.IsRunning(pid_)) << "closing only hides";
  const DWORD secondPid = program_.Start();
  ASSERT_NE(secondPid, 0u);
  EXPECT_EQ(program_.WaitForExit(secondPid), 0) << "no question: the running copy is raised";
  EXPECT_TRUE(WaitForVisibility(main, true));
  EXPECT_TRUE(program_.IsRunning(pid_));
  // Forced off, the entry goes at once.
  SetPolicy(HKEY_LOCAL_MACHINE, L"Startup", 0);
  EXPECT_TRUE(WaitUntil([&] { return !ReadUserAutostartEntry(&autostart); }, 3000));
  program_.EndAll();  // lets the cameras go before they are unplugged
}

INSTANTIATE_TEST_SUITE_P(Answers, SecondStartTest,
                         ::testing::Values(SecondStartCase{"No", kMessageBoxNoId, true},
                                           SecondStartCase{"Yes", kMessageBoxYesId, false}),
                         [](const ::testing::TestParamInfo<SecondStartCase>& info) { return info.param.name; });

}  // namespace
}  // namespace shadowpane::e2e
