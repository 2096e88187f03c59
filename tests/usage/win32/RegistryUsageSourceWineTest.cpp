// The registry reader against the prefix's real registry: records written
// as the system writes them (Wine writes none itself), read from both
// roots, and each change noticed through the change notification.
#include "usage/win32/RegistryUsageSource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/win32/TestPlatform.h"
#include "usage/UsageDecisions.h"

namespace shadowpane {
namespace {

constexpr ULONGLONG kStart = 0x01D6380A8C9E3000ull;
// The change must reach the window well within the figure's 250 ms.
constexpr DWORD kNoticeLimitMs = 250;

std::wstring KindKey(const wchar_t* kind) { return std::wstring(kConsentStoreKey) + L"\\" + kind; }

void DeleteTree(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  wchar_t name[256];
  for (;;) {
    DWORD units = 256;
    if (RegEnumKeyExW(key, 0, name, &units, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteTree(root, path + L"\\" + name);
  }
  RegCloseKey(key);
  RegDeleteKeyW(root, path.c_str());
}

// Writes a program's key as the system does: two REG_QWORD FILETIMEs.
void WriteRecord(HKEY root, const std::wstring& programKey, ULONGLONG start, ULONGLONG stop,
                 DWORD startType = REG_QWORD) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, programKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, kLastUsedTimeStartValue, 0, startType, reinterpret_cast<const BYTE*>(&start), sizeof(start));
  RegSetValueExW(key, kLastUsedTimeStopValue, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&stop), sizeof(stop));
  RegCloseKey(key);
}

class NoticeClock : public UsageNotice {
 public:
  NoticeClock() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~NoticeClock() override { CloseHandle(event_); }
  void UsageChanged() override { SetEvent(event_); }
  // Milliseconds until the next notice, or MAXDWORD when none came in time.
  DWORD WaitMs(DWORD since) {
    if (WaitForSingleObject(event_, kNoticeLimitMs * 4) != WAIT_OBJECT_0) return MAXDWORD;
    return GetTickCount() - since;
  }
  // Lets a burst of notices of one write pass before the next write.
  void Drain() {
    while (WaitForSingleObject(event_, 50) == WAIT_OBJECT_0) {
    }
  }

 private:
  HANDLE event_;
};

// The tests write the system's own usage records and remove its store: on
// Windows the store is the system's (with the user's privacy choices), so
// they run only under Wine, which keeps none.
constexpr char kSystemsStore[] = "the test stands in for the system that owns the usage records";

class RegistryUsageSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_UNLESS_WINE(kSystemsStore);
    TearDown();
  }
  void TearDown() override {
    if (!testing::RunsOnWine()) return;
    DeleteTree(HKEY_CURRENT_USER, kConsentStoreKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kConsentStoreKey);
  }
};

TEST_F(RegistryUsageSourceTest, ReadsBothRootsAsTheSystemWritesThem) {
  RegistryUsageSource source;
  std::vector<UsageRecord> records;
  EXPECT_EQ(source.ReadRecords(UsageKind::Camera, records), 0) << "no key: an older system, nothing to say";

  WriteRecord(HKEY_CURRENT_USER, KindKey(L"webcam") + L"\\NonPackaged\\C:#Tools#Zoom.exe", kStart, 0);
  WriteRecord(HKEY_CURRENT_USER, KindKey(L"webcam") + L"\\Microsoft.WindowsCamera_8wekyb3d8bbwe", kStart,
              kStart + 5);
  WriteRecord(HKEY_CURRENT_USER, KindKey(L"webcam") + L"\\NonPackaged\\C:#Tools#bad.exe", kStart, 0, REG_BINARY);
  WriteRecord(HKEY_LOCAL_MACHINE, KindKey(L"microphone") + L"\\NonPackaged\\C:#rec#rec.exe", kStart, 0);

  ASSERT_EQ(source.ReadRecords(UsageKind::Camera, records), 1);
  ASSERT_EQ(records.size(), 2u) << "a start of the wrong type is no record";
  EXPECT_EQ(ProgramsUsingNow(records), std::vector<WideString>{u"Zoom.exe"});
  ASSERT_EQ(source.ReadRecords(UsageKind::Microphone, records), 1);
  EXPECT_EQ(ProgramsUsingNow(records), std::vector<WideString>{u"rec.exe"}) << "the machine's root is read too";
}

TEST_F(RegistryUsageSourceTest, NoticesEachWriteWithinTheLimit) {
  // The stores exist (the system makes them), their kinds' keys not yet:
  // the creation of those is noticed too.
  for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY store = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, kConsentStoreKey, 0, nullptr, 0, KEY_WRITE, nullptr, &store, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(store);
  }
  RegistryUsageSource source;
  NoticeClock clock;
  ASSERT_EQ(source.StartWatching(clock), 1);
  const std::wstring zoom = KindKey(L"webcam") + L"\\NonPackaged\\C:#Tools#Zoom.exe";
  struct Step {
    const char* what;
    HKEY root;
    std::wstring key;
    ULONGLONG stop;
  } const steps[] = {
      {"the kind's key created with a use", HKEY_CURRENT_USER, zoom, 0},
      {"the use stops", HKEY_CURRENT_USER, zoom, kStart + 9},
      {"the use starts again", HKEY_CURRENT_USER, zoom, 0},
      {"a use in the machine's root", HKEY_LOCAL_MACHINE, KindKey(L"microphone") + L"\\NonPackaged\\rec.exe", 0},
  };
  DWORD slowest = 0;
  for (const Step& step : steps) {
    clock.Drain();
    const DWORD since = GetTickCount();
    WriteRecord(step.root, step.key, kStart, step.stop);
    const DWORD took = clock.WaitMs(since);
    ASSERT_LE(took, kNoticeLimitMs) << step.what;
    slowest = took > slowest ? took : slowest;
  }
  std::vector<UsageRecord> records;
  ASSERT_EQ(source.ReadRecords(UsageKind::Camera, records), 1);
  EXPECT_EQ(ProgramsUsingNow(records), std::vector<WideString>{u"Zoom.exe"});
  ::testing::Test::RecordProperty("slowest_notice_ms", static_cast<int>(slowest));
  std::printf("slowest notice: %lu ms\n", static_cast<unsigned long>(slowest));

  source.StopWatching();
  clock.Drain();
  WriteRecord(HKEY_CURRENT_USER, zoom, kStart, kStart + 20);
  EXPECT_EQ(clock.WaitMs(GetTickCount()), MAXDWORD) << "nothing is told after the watch ended";
}

TEST_F(RegistryUsageSourceTest, AStoreMadeAfterTheWatchBeganIsWatchedFromAbove) {
  // As in a fresh prefix, or a system that gains the feature while the
  // program runs: not even the ConsentStore key exists in either root.
  RegistryUsageSource source;
  NoticeClock clock;
  ASSERT_EQ(source.StartWatching(clock), 1);
  // A change above the store that makes no kind's key is not told.
  const std::wstring unrelated = L"Software\\Microsoft\\Windows\\CurrentVersion\\ShadowpaneUnrelatedTestKey";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, unrelated.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(clock.WaitMs(GetTickCount()), MAXDWORD);
  DeleteTree(HKEY_CURRENT_USER, unrelated);
  clock.Drain();

  const std::wstring zoom = KindKey(L"webcam") + L"\\NonPackaged\\C:#Tools#Zoom.exe";
  const DWORD since = GetTickCount();
  WriteRecord(HKEY_CURRENT_USER, zoom, kStart, 0);
  ASSERT_LE(clock.WaitMs(since), kNoticeLimitMs) << "the store and its kind made with a use";
  // From then on the kind's own key is watched: a stop is told too.
  clock.Drain();
  const DWORD stopped = GetTickCount();
  WriteRecord(HKEY_CURRENT_USER, zoom, kStart, kStart + 9);
  EXPECT_LE(clock.WaitMs(stopped), kNoticeLimitMs);
  std::vector<UsageRecord> records;
  ASSERT_EQ(source.ReadRecords(UsageKind::Camera, records), 1);
  EXPECT_EQ(records.size(), 1u);
}

}  // namespace
}  // namespace shadowpane
