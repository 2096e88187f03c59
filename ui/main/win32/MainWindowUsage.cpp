#include "ui/main/win32/MainWindowUsage.h"

#include <atomic>
#include <new>

#include "core/win32/TextCast.h"
#include "policy/PolicyRules.h"
#include "settings/Languages.h"
#include "ui/main/DeviceEntries.h"
#include "ui/main/EntryUsage.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/TrayIcon.h"
#include "usage/UsageTexts.h"

namespace shadowpane {

// Told on a watcher's or the system's thread: posts one message, and none
// more until the window has taken it, so a burst of writes costs one read.
class PostingUsageNotice : public UsageNotice {
 public:
  explicit PostingUsageNotice(HWND window) : window_(window) {}
  void UsageChanged() override {
    if (!waiting_.exchange(true)) PostMessageW(window_, WM_USAGE_NOTIFY, 0, 0);
  }
  // Before the reading, so a change during it posts again.
  void Taken() { waiting_ = false; }

 private:
  HWND window_;
  std::atomic<bool> waiting_{false};
};

struct MainWindowUsage {
  explicit MainWindowUsage(const MainWindowData& data)
      : notice(data.window), monitor(data.services.usageRecords, data.services.audioSessions, notice, data.services.usageProcesses) {}
  PostingUsageNotice notice;
  UsageMonitor monitor;
  UsersByEntry users;
};

void MainWindowUsageDeleter::operator()(MainWindowUsage* usage) const { delete usage; }

namespace {

std::uint64_t Now() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

bool NotifyAttempts(const MainWindowData& data) {
  const Settings user = data.services.settings != nullptr ? *data.services.settings : Settings{};
  return EffectiveSettings(user, data.policy).notifyAttempts != 0;
}

void RepaintLists(const MainWindowData& data) {
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    HWND list = GetDlgItem(data.window, id);
    if (list != nullptr) InvalidateRect(list, nullptr, FALSE);
  }
}

}  // namespace

void StartUsage(MainWindowData& data) {
  data.usage.reset(new (std::nothrow) MainWindowUsage(data));
  if (!data.usage) return;
  if (data.services.recentUseFile != nullptr) LoadRecentUse(*data.services.recentUseFile, data.usage->monitor.Log());
  data.usage->monitor.Start();
  UpdateUsage(data);
}

void UpdateUsage(MainWindowData& data) {
  if (!data.usage || !data.devices) return;
  MainWindowUsage& usage = *data.usage;
  usage.notice.Taken();
  const std::vector<UsageDevice> devices = UsageDevicesOf(*data.devices, *data.services.captureServices);
  const UsageUpdate update = usage.monitor.Update(devices, Now(), NotifyAttempts(data));
  UsersByEntry users = UsersOfEntries(usage.monitor, devices);
  if (users != usage.users) {
    usage.users = std::move(users);
    RepaintLists(data);
  }
  if (!update.events.empty() && data.services.recentUseFile != nullptr) {
    SaveRecentUse(*data.services.recentUseFile, usage.monitor.Log());
  }
  if (!data.trayShown) return;
  for (const UsageEvent& event : update.announced) {
    const WideString text = AttemptBalloonText(event, gDisplayLanguage);
    ShowTrayBalloon(data.window, StateIconId(gProtectedState), AsWide(text.c_str()), true);
  }
}

void StopUsage(MainWindowData& data) {
  if (data.usage) data.usage->monitor.Stop();
}

WideString EntryUsageText(const MainWindowData& data, const WideString& entry) {
  if (!data.usage) return WideString();
  const auto found = data.usage->users.find(entry);
  if (found == data.usage->users.end()) return WideString();
  return InUseByText(found->second, gDisplayLanguage);
}

std::vector<WideString> EntryUsers(const MainWindowData& data, const WideString& entry) {
  if (!data.usage) return {};
  const auto found = data.usage->users.find(entry);
  return found == data.usage->users.end() ? std::vector<WideString>() : found->second;
}

std::vector<WideString> UsersOf(const MainWindowData& data, const std::vector<DeviceSnapshot>& devices) {
  std::vector<WideString> users;
  for (const DeviceSnapshot& device : devices) {
    users.push_back(data.usage ? JoinedUsers(data.usage->users, device.displayName) : WideString());
  }
  return users;
}

void ShowRecentUse(MainWindowData& data) {
  if (!data.usage || data.services.showRecentUse == nullptr) return;
  data.services.showRecentUse(data.window, data.usage->monitor.Log());
}

}  // namespace shadowpane
