// The real main window under Wine, with the test-only virtual camera: what
// a user sees and does (its shape and controls, a click on an entry, a
// device plugged in, closing) and what the program then holds.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/Languages.h"
#include "res/MenuIds.h"
#include "settings/Settings.h"
#include "devices/ProfileCodec.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32ProfileFile.h"
#include "devices/win32/WindowPoster.h"
#include "tests/support/MemoryKeyValueStore.h"
#include "tests/support/MemoryPolicySource.h"
#include "tests/support/win32/TempFolder.h"
#include "tests/support/win32/TestPlatform.h"
#include "tests/ui/main/win32/MainWindowRig.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/DeviceChangeLogic.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/win32/MenuCommands.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/TrayIcon.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/DialogKeys.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/IconLoading.h"
#include "ui/toolkit/win32/OwnerDrawnList.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

// The status panel's fill when protected and when at risk.
constexpr COLORREF kProtectedPanel = RGB(143, 184, 90);
constexpr COLORREF kAtRiskPanel = RGB(219, 68, 68);

using testing::PixelAt;
using testing::Pump;
using testing::SkinPixel;
using virtualdevices::HelperProcess;
using virtualdevices::PluggedDevice;
using virtualdevices::Quoted;
using virtualdevices::RunHelper;

constexpr DWORD kHelperLimitMs = 30000;

// Message boxes opened while a test drives the window: their texts, closed
// by a thread timer that the box's own loop dispatches.
std::vector<std::wstring> gBoxTexts;

void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowW(L"KQM2MessageExWndClass", nullptr);
  if (box == nullptr) return;
  wchar_t text[1024] = {};
  GetWindowTextW(box, text, 1024);
  gBoxTexts.push_back(text);
  PostMessageW(box, WM_CLOSE, 0, 0);
}

// The blocked word of an entry's data.
int EntryBlocked(HWND list, int index) {
  return HIWORD(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

// Texts with every run of blanks and line breaks made one blank: the
// message box breaks a long line where it fits.
std::vector<std::wstring> Collapsed(const std::vector<std::wstring>& texts) {
  std::vector<std::wstring> out;
  for (const std::wstring& text : texts) {
    std::wstring line;
    for (wchar_t c : text) {
      const bool blank = c == L' ' || c == L'\n';
      if (!blank || line.empty() || line.back() != L' ') line.push_back(blank ? L' ' : c);
    }
    out.push_back(line);
  }
  return out;
}

// Every icon the program loads, seen through the toolkit's loading seam.
struct IconLoadSeen {
  int id;
  int size;
  UINT flags;
  HICON icon;
};
std::vector<IconLoadSeen> gIconLoads;

HANDLE WINAPI RecordIconLoad(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
  HANDLE loaded = LoadImageW(instance, name, type, width, height, flags);
  if (type == IMAGE_ICON) {
    gIconLoads.push_back({static_cast<int>(reinterpret_cast<UINT_PTR>(name)), width, flags, static_cast<HICON>(loaded)});
  }
  return loaded;
}

HRESULT WINAPI NoIconMetric(HINSTANCE, PCWSTR, int, HICON*) { return E_NOTIMPL; }

int LoadedIconId(HICON icon) {
  for (const IconLoadSeen& load : gIconLoads) {
    if (load.icon == icon) return load.id;
  }
  return 0;
}

// The width of the icon's image, as GDI holds it; 0 for no icon (a
// destroyed one among them).
int IconWidth(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

HICON ClassIcon(HWND window, int index) { return reinterpret_cast<HICON>(GetClassLongPtrW(window, index)); }

// What NotifyAccessible raised, in order.
struct RaisedEvent {
  DWORD event;
  HWND window;
  int child;
};
std::vector<RaisedEvent> gRaised;
void RecordRaised(DWORD event, HWND window, int child) { gRaised.push_back({event, window, child}); }

int IndexOf(HWND list, const std::wstring& text) {
  return static_cast<int>(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str())));
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(com_.result());
    testing::RegisterForTests();
    static const bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr)) == 1;
    ASSERT_TRUE(registered);
    gProtectedState = 0;
    gDisplayLanguage = LANGUAGE_ENGLISH;
    gBoxTexts.clear();
    gIconLoads.clear();
    SetIconImageLoadForTests(RecordIconLoad);
    closer_ = SetTimer(nullptr, 0, 50, CloseMessageBoxes);
  }

  void TearDown() override {
    SetIconImageLoadForTests(nullptr);
    SetIconMetricLoadForTests(nullptr);
    SetAccessibleEventWatchForTests(nullptr);
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    KillTimer(nullptr, closer_);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND Open(bool hidden = false) {
    window_ = CreateMainWindow(services_, hidden);
    Pump(50);
    return window_;
  }
  HWND List(int id) const { return GetDlgItem(window_, id); }
  // Whether every listed device is blocked now (Wine's own microphone may
  // refuse to be silenced, whatever a camera does).
  int AllBlockedNow() const {
    const MainWindowData* data = GetWindowRecord<MainWindowData>(window_);
    return data != nullptr && data->devices ? data->devices->AllBlocked() : -1;
  }

  // Plugs a virtual camera in and opens the window; answers the camera's
  // entry in the video list.
  int OpenWithCamera(PluggedDevice& plugged) {
    EXPECT_TRUE(plugged.ok());
    Open();
    return IndexOf(List(IDC_VIDEO_LIST), plugged.friendlyName());
  }

  // Presses and releases the left button on an entry, as a user clicks.
  void ClickEntry(HWND list, int index) {
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const int x = (item.left + item.right) / 2;
    const int y = (item.top + item.bottom) / 2;
    testing::SendMouse(list, WM_LBUTTONDOWN, x, y);
    testing::SendMouse(list, WM_LBUTTONUP, x, y);
    Pump(300);
  }

  // A pixel of the mark's coloured face (its centre is a white glyph in
  // both marks).
  static constexpr int kMarkFaceX = 2;
  static constexpr int kMarkFaceY = 2;
  COLORREF LockMarkPixel(HWND list, int index) {
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return PixelAt(list, kLockMarkX + kMarkFaceX, item.top + kLockMarkY + kMarkFaceY);
  }
  static COLORREF MarkFace(int skin) { return SkinPixel(skin, kMarkFaceX, kMarkFaceY); }

  // The pixels of the video group's caption.
  std::vector<COLORREF> CaptionPixels() {
    std::vector<COLORREF> pixels;
    for (int y = kVideoGroupTop - 18; y < kVideoGroupTop - 4; ++y) {
      for (int x = 31; x < 130; x += 2) pixels.push_back(PixelAt(window_, x, y));
    }
    return pixels;
  }

  void SendArrival(const ClassGuid& guid) {
    DEV_BROADCAST_DEVICEINTERFACE_W header{};
    header.dbcc_size = sizeof(header);
    header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    CopyMemory(&header.dbcc_classguid, &guid, sizeof(GUID));
    SendMessageW(window_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&header));
  }

  virtualdevices::ComScope com_;
  WindowPoster poster_;
  testing::MainWindowRig rig_{poster_};
  testing::TempFolder& folder_ = rig_.folder;
  testing::MemoryKeyValueStore& store_ = rig_.store;
  MainWindowServices& services_ = rig_.services;
  Settings& settings_ = rig_.settings;
  HWND window_ = nullptr;
  UINT_PTR closer_ = 0;
};

TEST_F(MainWindowTest, StartsHiddenWithItsShapeAndControlsAndTheTrayPressShowsIt) {
  ASSERT_NE(Open(true), nullptr);
  EXPECT_EQ(LoadedIconId(ClassIcon(window_, GCLP_HICON)), kIconAtRisk)
      << "the class icon follows the state, for the taskbar";
  EXPECT_FALSE(IsWindowVisible(window_));
  RECT rect{};
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.right - rect.left, kMainWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kMainWindowHeight);
  EXPECT_EQ(rect.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 248);
  EXPECT_EQ(testing::WindowSize(List(IDC_VIDEO_LIST)).cx, 438);
  EXPECT_EQ(testing::WindowSize(List(IDC_AUDIO_LIST)).cx, 440);
  wchar_t className[64] = {};
  GetClassNameW(GetDlgItem(window_, IDC_MENU_BUTTON), className, 64);
  EXPECT_STREQ(className, L"KButtonEx_0000");

  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window_, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the corners are rounded off";
  EXPECT_FALSE(PtInRegion(region, kMainWindowWidth - 1, kMainWindowHeight - 1));
  EXPECT_TRUE(PtInRegion(region, kMainWindowWidth / 2, kMainWindowHeight / 2));
  DeleteObject(region);

  POINT drag{200, kMainDragRows - 1};
  POINT body{200, kMainDragRows};
  ClientToScreen(window_, &drag);
  ClientToScreen(window_, &body);
  EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(drag.x, drag.y)), HTCAPTION);
  EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(body.x, body.y)), HTCLIENT);

  SendMessageW(window_, WM_TRAY_NOTIFY, 0, WM_LBUTTONUP);
  EXPECT_FALSE(IsWindowVisible(window_)) << "a release does nothing";
  SendMessageW(window_, WM_TRAY_NOTIFY, 0, WM_RBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(window_));
  SendMessageW(window_, WM_COMMAND, IDC_HIDE_BUTTON, reinterpret_cast<LPARAM>(GetDlgItem(window_, IDC_HIDE_BUTTON)));
  EXPECT_FALSE(IsWindowVisible(window_)) << "the hide button hides it";
  SendMessageW(window_, WM_TRAY_NOTIFY, 0, NIN_KEYSELECT);
  EXPECT_TRUE(IsWindowVisible(window_)) << "Enter on the icon raises it as a press does";
}

// Dragged onto a monitor of 200 %, then back: the window takes the
// suggested place at twice its size, its controls, entries, drag rows and
// shape follow, and at 96 DPI again everything is as it was.
TEST_F(MainWindowTest, AMoveToAnotherScaleResizesAndRelaysOutAtTheSuggestedPlace) {
  ASSERT_NE(Open(true), nullptr);
  const auto changeTo = [&](int dpi, RECT suggested) {
    SendMessageW(window_, kDpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  };
  changeTo(192, {40, 30, 40 + 700, 30 + 900});
  RECT rect{};
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right - rect.left, 2 * kMainWindowWidth) << "its own size at 192 DPI, not the suggested one";
  EXPECT_EQ(rect.bottom - rect.top, 2 * kMainWindowHeight);
  EXPECT_EQ(LayoutDpi(GetDlgItem(window_, IDC_MENU_BUTTON)), 192) << "its controls read the new DPI";
  EXPECT_EQ(testing::WindowSize(List(IDC_VIDEO_LIST)).cx, 2 * 438);
  EXPECT_EQ(testing::WindowSize(GetDlgItem(window_, IDC_CLOSE_BUTTON)).cy, 2 * kTitleButtonHeight);
  EXPECT_EQ(SendMessageW(List(IDC_AUDIO_LIST), LB_GETITEMHEIGHT, 0, 0), 2 * kDeviceEntryHeight);
  POINT drag{400, 2 * kMainDragRows - 1};
  ClientToScreen(window_, &drag);
  EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(drag.x, drag.y)), HTCAPTION);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window_, region), ERROR);
  EXPECT_TRUE(PtInRegion(region, kMainWindowWidth * 2 - 20, kMainWindowHeight * 2 - 20)) << "the shape grew too";
  DeleteObject(region);

  changeTo(96, {100, 80, 100 + 10, 80 + 10});
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.right - rect.left, kMainWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kMainWindowHeight);
  EXPECT_EQ(testing::WindowSize(List(IDC_VIDEO_LIST)).cx, 438);
  EXPECT_EQ(SendMessageW(List(IDC_AUDIO_LIST), LB_GETITEMHEIGHT, 0, 0), kDeviceEntryHeight);
}

TEST_F(MainWindowTest, AClickBlocksTheCameraAgainstOtherProgramsAndTurnsItsMarkGreen) {
  const std::wstring path = L"\\\\?\\virtual#main-window-camera";
  PluggedDevice plugged = PluggedDevice::Camera(L"Main Window Camera", path);
  const int index = OpenWithCamera(plugged);
  ASSERT_NE(index, LB_ERR);
  HWND list = List(IDC_VIDEO_LIST);
  EXPECT_EQ(LockMarkPixel(list, index), MarkFace(kSkinLockUnblocked));

  ClickEntry(list, index);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR) << "the selection is cleared at once";
  EXPECT_EQ(EntryBlocked(list, index), 1);
  EXPECT_EQ(LockMarkPixel(list, index), MarkFace(kSkinLockBlocked));
  EXPECT_TRUE(virtualdevices::IsCameraOpen(plugged.clsid()));
  EXPECT_TRUE(FAILED(RunHelper(L"probe-camera " + Quoted(path)))) << "another program is kept out";
  // Wine's own microphone stays live, so the panel stays at risk. Windows:
  // at risk while the machine lists an input of its own (left unblocked).
  const bool inputsListed = SendMessageW(List(IDC_AUDIO_LIST), LB_GETCOUNT, 0, 0) > 0;
  EXPECT_EQ(gProtectedState, testing::OnWine(0, inputsListed ? 0 : 1));
  EXPECT_EQ(PixelAt(window_, 30, 110), gProtectedState ? kProtectedPanel : kAtRiskPanel);

  ClickEntry(list, index);
  EXPECT_EQ(EntryBlocked(list, index), 0);
  EXPECT_FALSE(virtualdevices::IsCameraOpen(plugged.clsid()));
  EXPECT_TRUE(gBoxTexts.empty());
}

// Pixels of a rectangle that differ from its first: what is drawn on its
// background.
int InkIn(HWND window, const RECT& rect) {
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const COLORREF background = GetPixel(dc, rect.left, rect.top);
  int ink = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) ink += GetPixel(dc, x, y) != background ? 1 : 0;
  }
  ReleaseDC(window, dc);
  return ink;
}

// High contrast: the panel loses its red for the window colour, and each
// entry says its state in a word at its right end, which changes with a
// click; a colour-change broadcast repaints with the system's setting.
TEST_F(MainWindowTest, HighContrastDrawsTheSystemColoursAndAWordForEachState) {
  const std::wstring path = L"\\?\virtual#main-window-contrast";
  PluggedDevice plugged = PluggedDevice::Camera(L"Contrast Camera", path);
  const int index = OpenWithCamera(plugged);
  ASSERT_NE(index, LB_ERR);
  HWND list = List(IDC_VIDEO_LIST);
  RECT entry{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
  const RECT word{entry.right - kEntryTextRightInset - kStateWordWidth, entry.top,
                  entry.right - kEntryTextRightInset, entry.bottom};
  EXPECT_EQ(InkIn(list, word), 0) << "no word in the skins' colours";

  SetHighContrastForTests(1);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(window_, 30, 110), GetSysColor(COLOR_WINDOW)) << "the panel takes the window colour";
  const int notBlockedInk = InkIn(list, word);
  EXPECT_GT(notBlockedInk, 0) << "a word says the state";
  ClickEntry(list, index);
  ASSERT_EQ(EntryBlocked(list, index), 1);
  UpdateWindow(list);
  const int blockedInk = InkIn(list, word);
  EXPECT_GT(blockedInk, 0);
  EXPECT_NE(blockedInk, notBlockedInk) << "another word once blocked";

  SetHighContrastForTests(-1);
  SendMessageW(window_, WM_SYSCOLORCHANGE, 0, 0);
  UpdateWindow(window_);
  EXPECT_EQ(PixelAt(window_, 30, 110), RGB(219, 68, 68)) << "Wine's setting is off: the skins again";
  EXPECT_EQ(InkIn(list, word), 0);
}

// With every device blocked at start, a camera the system shares is amber
// and is announced once; one the system gives to one client at a time is
// green. Wine's own input, muted at an endpoint whose mute Wine keeps per
// object and open to exclusive streams, is amber, announced once for each,
// and keeps the panel at risk.
TEST_F(MainWindowTest, AHeldButSharedCameraIsAmberKeepsThePanelAtRiskAndIsAnnouncedOnce) {
  const std::wstring notice =
      L"This camera can still be used by other programs while it is blocked.\n \nDevice: ";
  const std::wstring inputNotice =
      L"This microphone can still be heard by other programs while it is blocked.\n \nDevice: In: default";
  // Wine lets every exclusive stream in, its own input's too.
  const std::wstring exclusiveNotice =
      L"A program that takes this microphone for itself can still hear it.\n \nDevice: In: default";
  struct Case {
    bool shared;
    int skin;
  } cases[] = {{false, kSkinLockBlocked}, {true, kSkinLockShared}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shared ? "shared" : "one client at a time");
    const std::wstring name = c.shared ? L"Sharing Camera" : L"Exclusive Camera";
    const std::wstring path = L"\\\\?\\virtual#main-window-" + std::wstring(c.shared ? L"shared" : L"exclusive");
    PluggedDevice plugged = c.shared ? PluggedDevice::SharedCamera(name, path) : PluggedDevice::Camera(name, path);
    settings_.blockStart = 1;
    gBoxTexts.clear();
    gProtectedState = 0;
    const int index = OpenWithCamera(plugged);
    ASSERT_NE(index, LB_ERR);
    HWND list = List(IDC_VIDEO_LIST);
    Pump(300);
    EXPECT_EQ(EntryBlocked(list, index) & 1, 1);
    EXPECT_EQ(LockMarkPixel(list, index), MarkFace(c.skin));
    // Every device is blocked at start, Wine's own input too, which keeps
    // the panel at risk here whatever the camera's hold.
    ASSERT_EQ(AllBlockedNow(), 1);
    // Windows: the machine's inputs are muted system-wide and verified, so
    // only a shared camera keeps the panel at risk.
    const int protectedState = testing::OnWine(0, c.shared ? 0 : 1);
    EXPECT_EQ(gProtectedState, protectedState);
    EXPECT_EQ(PixelAt(window_, 30, 110), protectedState ? kProtectedPanel : kAtRiskPanel);
    EXPECT_EQ(SUCCEEDED(RunHelper(L"probe-camera " + Quoted(path))), c.shared) << "what the mark claims";
    std::vector<std::wstring> told(c.shared ? 1 : 0, notice + name);
    // Windows: no notice for an input, its system-wide mute is verified silent
    // and an exclusive client is refused beside the hold's shared stream.
    if (testing::RunsOnWine()) {
      told.push_back(inputNotice);
      told.push_back(exclusiveNotice);
    }
    // The two devices' notices come in no fixed order: a box opened for one
    // runs its own loop, in which the other's notice may open a box on top.
    told = Collapsed(told);
    std::sort(told.begin(), told.end());
    auto noticesShown = [] {
      std::vector<std::wstring> shown = Collapsed(gBoxTexts);
      std::sort(shown.begin(), shown.end());
      return shown;
    };
    EXPECT_EQ(noticesShown(), told);

    // A refresh refills the list and checks again: the same mark, no second
    // notice; nor after the camera was unblocked and blocked again.
    SendArrival(kKsCategoryVideo);
    Pump(600);
    const int again = IndexOf(list, name);
    ASSERT_NE(again, LB_ERR);
    EXPECT_EQ(LockMarkPixel(list, again), MarkFace(c.skin));
    ClickEntry(list, again);
    EXPECT_EQ(EntryBlocked(list, again), 0);
    ClickEntry(list, again);
    EXPECT_EQ(LockMarkPixel(list, again), MarkFace(c.skin));
    EXPECT_EQ(gProtectedState, protectedState);
    EXPECT_EQ(noticesShown(), told);
    DestroyWindow(window_);
    window_ = nullptr;
    Pump(50);
  }
}

// The system stops sharing a held camera: the refresh's check finds the hold
// refused now, and the mark and panel turn green.
TEST_F(MainWindowTest, ARefreshFollowsASharedCameraThatIsNoLongerShared) {
  const std::wstring path = L"\\\\?\\virtual#main-window-unshared";
  PluggedDevice plugged = PluggedDevice::SharedCamera(L"Unshared Camera", path);
  settings_.blockStart = 1;
  const int index = OpenWithCamera(plugged);
  ASSERT_NE(index, LB_ERR);
  HWND list = List(IDC_VIDEO_LIST);
  Pump(300);
  ASSERT_EQ(LockMarkPixel(list, index), MarkFace(kSkinLockShared));
  ASSERT_EQ(gProtectedState, 0);

  ASSERT_HRESULT_SUCCEEDED(virtualdevices::SetCameraSharing(plugged.clsid(), false));
  SendArrival(kKsCategoryVideo);
  Pump(600);
  const int again = IndexOf(list, L"Unshared Camera");
  ASSERT_NE(again, LB_ERR);
  EXPECT_EQ(LockMarkPixel(list, again), MarkFace(kSkinLockBlocked));
  // Windows: the inputs' system-wide mute is verified, so the panel turns green.
  EXPECT_EQ(gProtectedState, testing::OnWine(0, 1)) << "Wine's own input is still not silent for others";
  // Windows: only the camera is told of; an input muted system-wide is silent.
  EXPECT_EQ(gBoxTexts.size(), testing::OnWine<size_t>(3u, 1u))
      << "the camera told of once, when it was shared, and Wine's input (heard, exclusive)";
}

TEST_F(MainWindowTest, TheStatusPanelPaintsTheProtectionState) {
  ASSERT_NE(Open(), nullptr);
  struct Case {
    int state;
    COLORREF panel;
    COLORREF corner;
    int shieldX;
  } cases[] = {{1, RGB(143, 184, 90), RGB(220, 233, 203), 0}, {0, RGB(219, 68, 68), RGB(243, 197, 197), 31}};
  for (const Case& c : cases) {
    gProtectedState = c.state;
    InvalidateRect(window_, nullptr, FALSE);
    Pump(50);
    EXPECT_EQ(PixelAt(window_, 30, 120), c.panel) << c.state;
    EXPECT_EQ(PixelAt(window_, kPanelLeft, kPanelTop), c.corner) << c.state;
    EXPECT_EQ(PixelAt(window_, kShieldX + 15, kShieldY + 20), SkinPixel(kSkinStatusShields, c.shieldX + 15, 20))
        << c.state;
  }
}

// The frame's stretches repeat one column (or row) of the skin by doubling
// what is drawn: every place of them, the last one too, is that skin pixel.
TEST_F(MainWindowTest, TheFrameRepeatsItsSkinColumnAndRowToTheEnds) {
  ASSERT_NE(Open(), nullptr);
  RECT client{};
  GetClientRect(window_, &client);
  const int w = client.right;
  const int bottom = client.bottom - kMainBottomHeight;
  for (int x : {kMainBandLeftWidth, kMainBandLeftWidth + 1, w / 2, w - kMainBandRightWidth - 1}) {
    for (int y : {0, kMainBandHeight / 2, kMainBandHeight - 1}) {
      EXPECT_EQ(PixelAt(window_, x, y), SkinPixel(kSkinMainFrame, kMainFillSourceX, y)) << x << "," << y;
    }
  }
  for (int y : {kMainBandHeight, kMainBandHeight + 1, bottom / 2, bottom - 1}) {
    for (int x = 0; x < kMainSideWidth; ++x) {
      EXPECT_EQ(PixelAt(window_, x, y), SkinPixel(kSkinMainFrame, x, kMainSideSourceY)) << x << "," << y;
      EXPECT_EQ(PixelAt(window_, w - kMainSideWidth + x, y), SkinPixel(kSkinMainFrame, x, kMainSideSourceY))
          << "right " << x << "," << y;
    }
  }
}

// Also for a camera that refuses only at pause, which the graph's own
// answer hides: the capture filter tells.
TEST_F(MainWindowTest, ACameraHeldByAnotherProgramGivesTheWarningAndKeepsItsMark) {
  for (bool opensAtPause : {false, true}) {
    SCOPED_TRACE(opensAtPause ? "refused at pause" : "refused at connection");
    const std::wstring path = L"\\\\?\\virtual#main-window-held";
    PluggedDevice plugged = opensAtPause ? PluggedDevice::CameraOpeningAtPause(L"Held Camera", path)
                                         : PluggedDevice::Camera(L"Held Camera", path);
    ASSERT_TRUE(plugged.ok());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"ShadowpaneMainReady");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"ShadowpaneMainRelease");
    ResetEvent(ready);
    ResetEvent(release);
    HelperProcess holder(L"hold-camera " + Quoted(path) + L" ShadowpaneMainReady ShadowpaneMainRelease");
    ASSERT_TRUE(holder.ok());
    HANDLE waits[] = {ready, holder.handle()};
    ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, kHelperLimitMs), WAIT_OBJECT_0);

    gBoxTexts.clear();
    ASSERT_NE(Open(), nullptr);
    HWND list = List(IDC_VIDEO_LIST);
    const int index = IndexOf(list, L"Held Camera");
    ASSERT_NE(index, LB_ERR);
    ClickEntry(list, index);
    ASSERT_EQ(gBoxTexts.size(), 1u);
    EXPECT_EQ(gBoxTexts[0], L"Unable to block device.\n \nDevice: Held Camera");
    EXPECT_EQ(EntryBlocked(list, index), 0);
    EXPECT_TRUE(IsWindowEnabled(window_)) << "the box gave its owner back";

    SetEvent(release);
    EXPECT_EQ(holder.Wait(kHelperLimitMs), S_OK);
    CloseHandle(ready);
    CloseHandle(release);
    DestroyWindow(window_);
    window_ = nullptr;
    Pump(50);
  }
}

TEST_F(MainWindowTest, APluggedInCameraIsRefreshedOnceAnnouncedAndBlocked) {
  settings_.blockPluggedIn = 1;
  ASSERT_NE(Open(), nullptr);
  HWND list = List(IDC_VIDEO_LIST);
  const LRESULT before = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const std::wstring path = L"\\\\?\\virtual#main-window-plugged";
  PluggedDevice plugged = PluggedDevice::Camera(L"Plugged Camera", path);
  ASSERT_TRUE(plugged.ok());

  const ClassGuid storage = {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
  SendArrival(storage);
  Pump(400);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), before) << "a storage device starts no refresh";

  // One camera reporting several interfaces in quick succession.
  for (int i = 0; i < 3; ++i) {
    SendArrival(kKsCategoryVideo);
    Pump(30);
  }
  Pump(600);
  const int index = IndexOf(list, L"Plugged Camera");
  ASSERT_NE(index, LB_ERR);
  ASSERT_EQ(gBoxTexts.size(), 1u) << "announced once";
  EXPECT_EQ(gBoxTexts[0], L"Device has been plugged in.\n \nDevice: Plugged Camera");
  EXPECT_EQ(EntryBlocked(list, index), 1);
  EXPECT_TRUE(virtualdevices::IsCameraOpen(plugged.clsid()));
}

// The keys move the list's own caret and never select (click) an entry;
// Space clicks the caret's entry through the mouse's path. Typed letters
// (the list box's own type-ahead) select nothing.
TEST_F(MainWindowTest, ListKeysMoveTheCaretSpaceClicksItAndThePointerGivesThemTheFocus) {
  PluggedDevice plugged = PluggedDevice::Camera(L"Keyed Camera", L"\\\\?\\virtual#keyed");
  ASSERT_TRUE(plugged.ok());
  ASSERT_NE(Open(), nullptr);
  HWND video = List(IDC_VIDEO_LIST);
  HWND audio = List(IDC_AUDIO_LIST);
  const int count = static_cast<int>(SendMessageW(video, LB_GETCOUNT, 0, 0));
  ASSERT_GT(count, 0);
  testing::SendMouse(audio, WM_MOUSEMOVE, 100, 100);
  EXPECT_EQ(GetFocus(), audio);
  testing::SendMouse(video, WM_MOUSEMOVE, 100, 100);
  EXPECT_EQ(GetFocus(), video);
  EXPECT_EQ(SendMessageW(video, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
  for (WPARAM key : {VK_DOWN, VK_UP, VK_END}) SendMessageW(video, WM_KEYDOWN, key, 0);
  SendMessageW(video, WM_CHAR, 'k', 0);
  Pump(100);
  EXPECT_EQ(SendMessageW(video, LB_GETCURSEL, 0, 0), LB_ERR) << "no entry selected, none clicked";
  EXPECT_EQ(ListCaret(video), count - 1) << "End went to the last entry";
  for (int i = 0; i < count; ++i) EXPECT_EQ(EntryBlocked(video, i), 0);
  // The focus mark around the caret's entry: not while the mouse was all
  // that moved the focus, once the keyboard did.
  RECT entry{};
  SendMessageW(video, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&entry));
  const RECT markRow{entry.left + kEntryTextX, entry.bottom - 4, entry.right - 10, entry.bottom - 1};
  EXPECT_EQ(InkIn(video, markRow), 0);
  ShowKeyboardCues(window_);
  EXPECT_GT(InkIn(video, markRow), 0);

  const int keyed = IndexOf(video, L"Keyed Camera");
  ASSERT_NE(keyed, LB_ERR);
  SendMessageW(video, WM_KEYDOWN, VK_HOME, 0);
  for (int i = 0; i < keyed; ++i) SendMessageW(video, WM_KEYDOWN, VK_DOWN, 0);
  gRaised.clear();
  SetAccessibleEventWatchForTests(RecordRaised);
  SendMessageW(video, WM_KEYDOWN, VK_SPACE, 0);
  Pump(300);
  SetAccessibleEventWatchForTests(nullptr);
  EXPECT_EQ(EntryBlocked(video, keyed), 1) << "Space blocked it";
  // The entry's state change, then the focus on it again, so that a reader
  // that speaks only at a focus says "Blocked" too.
  int stateAt = -1, focusAt = -1;
  for (int i = 0; i < static_cast<int>(gRaised.size()); ++i) {
    if (gRaised[i].window != video || gRaised[i].child != keyed + 1) continue;
    if (gRaised[i].event == EVENT_OBJECT_STATECHANGE && stateAt < 0) stateAt = i;
    if (gRaised[i].event == EVENT_OBJECT_FOCUS) focusAt = i;
  }
  EXPECT_GE(stateAt, 0) << "the state change is raised";
  EXPECT_GT(focusAt, stateAt) << "and the focus after it";
  EXPECT_TRUE(virtualdevices::IsCameraOpen(plugged.clsid()));
  EXPECT_EQ(SendMessageW(video, LB_GETCURSEL, 0, 0), LB_ERR) << "and it does not stay highlighted";
}

TEST_F(MainWindowTest, AfterTheShellRestartsTheTrayIconComesBackInItsCurrentState) {
  ASSERT_NE(Open(true), nullptr);
  ASSERT_NE(TrayIconIdShown(), kIconProtected);
  gProtectedState = 1;
  SendMessageW(window_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(TrayIconIdShown(), kIconProtected);
}

// The capture services of a machine whose only inputs are the virtual ones:
// Wine's own input, which no other program would find silent here, is left
// out of the enumeration, so every device can be held for sure.
class MonikersWithoutWineInput : public MonikerEnumerator {
 public:
  explicit MonikersWithoutWineInput(std::unique_ptr<MonikerEnumerator> all) : all_(std::move(all)) {}
  HResult Next(std::unique_ptr<DeviceMoniker>* moniker) override {
    for (;;) {
      const HResult result = all_->Next(moniker);
      if (result != kHrOk || !*moniker) return result;
      std::unique_ptr<PropertyBag> bag;
      WideChar name[kNameUnits] = {};
      if (Succeeded((*moniker)->BindToStorage(&bag)) && bag) bag->ReadText(u"FriendlyName", name);
      if (std::u16string(name) != u"In: default") return result;
    }
  }

 private:
  std::unique_ptr<MonikerEnumerator> all_;
};

class DevicesWithoutWineInput : public DeviceEnumerator {
 public:
  explicit DevicesWithoutWineInput(std::unique_ptr<DeviceEnumerator> all) : all_(std::move(all)) {}
  HResult CreateClassEnumerator(DeviceCategory category, std::unique_ptr<MonikerEnumerator>* monikers) override {
    std::unique_ptr<MonikerEnumerator> all;
    const HResult result = all_->CreateClassEnumerator(category, &all);
    if (all) *monikers = std::make_unique<MonikersWithoutWineInput>(std::move(all));
    return result;
  }

 private:
  std::unique_ptr<DeviceEnumerator> all_;
};

class ServicesWithoutWineInput : public Win32CaptureServices {
 public:
  HResult CreateDeviceEnumerator(std::unique_ptr<DeviceEnumerator>* enumerator) override {
    std::unique_ptr<DeviceEnumerator> all;
    const HResult result = Win32CaptureServices::CreateDeviceEnumerator(&all);
    if (all) *enumerator = std::make_unique<DevicesWithoutWineInput>(std::move(all));
    return result;
  }
};

// With every device blocked at start, an open camera plugged in turns the
// panel and the tray icon red; pulled out again, both turn green.
TEST_F(MainWindowTest, ThePanelAndTheTrayIconFollowAPlugInAndAnUnplug) {
  // Outlives the window, also when an assertion ends the test early.
  static ServicesWithoutWineInput capture;
  services_.captureServices = &capture;
  PluggedDevice held = PluggedDevice::Camera(L"Held At Start", L"\\\\?\\virtual#main-window-held-at-start");
  ASSERT_TRUE(held.ok());
  settings_.blockStart = 1;
  ASSERT_NE(Open(), nullptr);
  auto shows = [&](int state) {
    const DWORD start = GetTickCount();
    while (gProtectedState != state && GetTickCount() - start < 5000) Pump(50);
    Pump(50);
    EXPECT_EQ(PixelAt(window_, 30, 110), state == 1 ? RGB(143, 184, 90) : RGB(219, 68, 68)) << state;
    EXPECT_EQ(TrayIconIdShown(), state == 1 ? kIconProtected : kIconAtRisk) << state;
  };
  ASSERT_EQ(SendMessageW(List(IDC_AUDIO_LIST), LB_GETCOUNT, 0, 0), 0) << "no input of Wine's own";
  ASSERT_EQ(AllBlockedNow(), 1);
  shows(1);

  PluggedDevice plugged = PluggedDevice::Camera(L"Open Camera", L"\\\\?\\virtual#main-window-open");
  ASSERT_TRUE(plugged.ok());
  SendArrival(kKsCategoryVideo);
  Pump(600);
  ASSERT_NE(IndexOf(List(IDC_VIDEO_LIST), L"Open Camera"), LB_ERR);
  shows(0);
  plugged.Unplug();
  SendArrival(kKsCategoryVideo);
  Pump(600);
  EXPECT_EQ(IndexOf(List(IDC_VIDEO_LIST), L"Open Camera"), LB_ERR);
  shows(1);
}

// A shell that refuses the icon (not ready at logon) a few times.
int gRefusedAdds = 0;
int gAdds = 0;
BOOL WINAPI RefusingShell(DWORD message, PNOTIFYICONDATAW record) {
  if (message == NIM_ADD) ++gAdds;
  if (message == NIM_ADD && gRefusedAdds > 0) {
    --gRefusedAdds;
    return FALSE;
  }
  return Shell_NotifyIconW(message, record);
}

TEST_F(MainWindowTest, TheTrayIconIsAddedAgainUntilTheShellTakesIt) {
  gRefusedAdds = 2;
  gAdds = 0;
  SetTrayShellForTests(RefusingShell);
  ASSERT_NE(Open(true), nullptr);
  const DWORD start = GetTickCount();
  while (gRefusedAdds > 0 && GetTickCount() - start < 10000) Pump(100);
  Pump(2 * kTrayRetryIntervalMs);
  SetTrayShellForTests(nullptr);
  EXPECT_EQ(gAdds, 3) << "tried again until the shell took it, then no more";
  const MainWindowData* data = GetWindowRecord<MainWindowData>(window_);
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->trayShown);
  EXPECT_EQ(TrayIconIdShown(), StateIconId(gProtectedState)) << "added in the current state";
}

// Every icon at its size for the DPI, loaded again at a DPI change, never
// shared, and the ones replaced destroyed. Wine's shared cache is keyed by
// size, so the sizes alone could not catch a shared load: the loading seam
// shows the flags.
TEST_F(MainWindowTest, TheIconsAreLoadedAtTheirSizesForEachDpiAndTheReplacedOnesDestroyed) {
  ASSERT_NE(Open(true), nullptr);
  const MainWindowData* data = GetWindowRecord<MainWindowData>(window_);
  ASSERT_NE(data, nullptr);
  const DWORD start = GetTickCount();
  while (!data->trayShown && GetTickCount() - start < 5000) Pump(20);
  ASSERT_TRUE(data->trayShown);
  const struct {
    int dpi;
    int large;
    int small;
  } sizes[] = {{96, 32, 16}, {144, 48, 24}, {192, 64, 32}};
  // LoadIconMetric (Wine's comctl32 has it) gives the small icon of the
  // system's DPI, 96 in the prefix; without it the tray's follows the window.
  for (bool metric : {true, false}) {
    if (!metric) SetIconMetricLoadForTests(NoIconMetric);
    for (const auto& c : sizes) {
      const HICON before[] = {ClassIcon(window_, GCLP_HICON), ClassIcon(window_, GCLP_HICONSM), TrayIconShown()};
      RECT place{};
      GetWindowRect(window_, &place);
      SendMessageW(window_, kDpiChangedMessage, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&place));
      EXPECT_EQ(IconWidth(ClassIcon(window_, GCLP_HICON)), c.large) << c.dpi;
      EXPECT_EQ(IconWidth(ClassIcon(window_, GCLP_HICONSM)), c.small) << c.dpi;
      EXPECT_EQ(IconWidth(TrayIconShown()), metric ? 16 : c.small) << c.dpi << (metric ? " by metric" : "");
      for (HICON old : before) EXPECT_EQ(IconWidth(old), 0) << c.dpi << ": a replaced icon is destroyed";
    }
  }
  ASSERT_FALSE(gIconLoads.empty());
  for (const IconLoadSeen& load : gIconLoads) {
    EXPECT_EQ(load.flags & LR_SHARED, 0u) << "icon " << load.id << " at " << load.size << " loaded shared";
  }
  // Its size at a new DPI is its 96-DPI size scaled once.
  SIZE wanted{kMainWindowWidth, kMainWindowHeight};
  EXPECT_EQ(SendMessageW(window_, kDpiScaledSizeMessage, 144, reinterpret_cast<LPARAM>(&wanted)), TRUE);
  EXPECT_EQ(wanted.cx, MainWindowSize(144).width);
  EXPECT_EQ(wanted.cy, MainWindowSize(144).height);
}

TEST(MainWindowHelp, TheViewerComesFromTheSystemFolderNotFromBesideTheExecutable) {
  // A file of the viewer's name beside the executable that is no library:
  // loaded by its bare name, it would be found first and fail.
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring planted(exe);
  planted = planted.substr(0, planted.find_last_of(L'\\') + 1) + L"hhctrl.ocx";
  ASSERT_TRUE(testing::WriteWholeFile(planted, "not a library"));
  const int opened = OpenHelp();
  DeleteFileW(planted.c_str());
  EXPECT_EQ(opened, 1);
  EXPECT_NE(GetModuleHandleW(HelpViewerLibraryPath().c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleW(planted.c_str()), nullptr);
}

// Stand-ins for the Settings window: OK after choosing Italian with
// "BlockStart" on, or Cancel.
int SettingsChoosingItalian(HWND, Settings* edited, const EnforcedPolicy&) {
  edited->language = LANGUAGE_ITALIAN;
  edited->blockStart = 1;
  return 1;
}
int SettingsCancelled(HWND, Settings*, const EnforcedPolicy&) { return 0; }

TEST_F(MainWindowTest, SettingsClosedWithOkRepaintsInTheNewLanguageAndSavesCancelWritesNothing) {
  services_.showSettings = SettingsCancelled;
  ASSERT_NE(Open(), nullptr);
  SendMessageW(window_, WM_COMMAND, IDM_SETTINGS, 0);
  EXPECT_TRUE(store_.settings.values.empty()) << "a cancelled window writes nothing";

  DestroyWindow(window_);
  services_.showSettings = SettingsChoosingItalian;
  ASSERT_NE(Open(), nullptr);
  const std::vector<COLORREF> english = CaptionPixels();
  SendMessageW(window_, WM_COMMAND, IDM_SETTINGS, 0);
  EXPECT_EQ(store_.settings.values[u"Language"].number, static_cast<std::uint32_t>(LANGUAGE_ITALIAN));
  EXPECT_EQ(store_.settings.values[u"BlockStart"].number, 1u);
  // The video group's caption is painted in Italian at once.
  const bool repainted = CaptionPixels() != english;
  EXPECT_TRUE(repainted);
  gDisplayLanguage = LANGUAGE_ENGLISH;
}

// What the Settings window was last opened with.
EnforcedPolicy gSettingsPolicy;
int SettingsSeeingThePolicy(HWND, Settings*, const EnforcedPolicy& policy) {
  gSettingsPolicy = policy;
  return 0;
}

// The policy as the window reads it, at its creation and again at the audio
// poll's tick: a forced language shows over the user's own, which is kept;
// the Settings window is opened with the policy; a withdrawn exit makes
// closing only hide; once the policy goes, the user's language is back and
// closing ends the window.
TEST_F(MainWindowTest, ThePolicyReadAtCreationAndAtEachTickRulesLanguageSettingsAndClosing) {
  testing::MemoryPolicySource policies;
  policies.machine[u"Language"] = testing::PolicyDword(LANGUAGE_GERMAN);
  policies.user[u"AllowExit"] = testing::PolicyDword(0);
  services_.policySource = &policies;
  services_.showSettings = SettingsSeeingThePolicy;
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(gDisplayLanguage, LANGUAGE_GERMAN);
  SendMessageW(window_, WM_COMMAND, IDM_SETTINGS, 0);
  EXPECT_TRUE(gSettingsPolicy.language.forced);
  EXPECT_EQ(gSettingsPolicy.language.value, LANGUAGE_GERMAN);
  EXPECT_EQ(settings_.language, LANGUAGE_ENGLISH) << "the user's own language is kept";

  SendMessageW(window_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(IsWindow(window_)) << "closing only hides";
  EXPECT_FALSE(IsWindowVisible(window_));

  policies.machine.clear();
  policies.user.clear();
  SendMessageW(window_, WM_TIMER, TIMER_AUDIO_POLL, 0);
  EXPECT_EQ(gDisplayLanguage, LANGUAGE_ENGLISH) << "withdrawn at the next tick";
  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, ClosingSavesTheProfileReleasesEveryDeviceAndEndsTheLoop) {
  const std::wstring path = L"\\\\?\\virtual#main-window-closed";
  PluggedDevice plugged = PluggedDevice::Camera(L"Closed Camera", path);
  const int index = OpenWithCamera(plugged);
  ASSERT_NE(index, LB_ERR);
  HWND list = List(IDC_VIDEO_LIST);
  ClickEntry(list, index);
  ASSERT_TRUE(virtualdevices::IsCameraOpen(plugged.clsid()));

  SendMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_FALSE(virtualdevices::IsCameraOpen(plugged.clsid()));
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);

  const std::string bytes = testing::ReadWholeFile(folder_.File(L"Profile.db"));
  std::vector<ProfileRecord> records;
  ASSERT_EQ(DecodeProfile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), records), 1);
  bool saved = false;
  for (const ProfileRecord& record : records) {
    if (record.path == std::u16string(path.begin(), path.end())) saved = record.blocked != 0;
  }
  EXPECT_TRUE(saved) << "the camera is saved blocked, as it was at the close";
}

}  // namespace
}  // namespace shadowpane
