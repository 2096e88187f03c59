// Saving and loading the profile of 1000 devices through the real file
// under Wine: open, write, truncate, and the shared-read load.
#include <windows.h>

#include "bench/win32/BenchClock.h"

#include <cstdio>
#include <string>
#include <vector>

#include "devices/DeviceList.h"
#include "devices/win32/Win32ProfileFile.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"
#include "tests/support/win32/TempFolder.h"

using namespace shadowpane;

using bench::Now;

namespace {

constexpr int kDevices = 1000;
constexpr int kRounds = 200;

std::u16string PathFor(int i) {
  const std::string s = "\\\\?\\usb#vid_046d&pid_" + std::to_string(i) + "#{65e8773d}\\global";
  return std::u16string(s.begin(), s.end());
}

}  // namespace

int main() {
  testing::TempFolder folder;
  testing::RecordingPoster poster;
  Win32ProfileFile file(folder.File(L"Profile.db"));
  DeviceList list(&file);
  for (int i = 0; i < kDevices; ++i) {
    SPDEV* device = list.LinkDevice(testing::MakeTestDevice(poster, u"Camera", PathFor(i)));
    if (i % 2) device->Block();
  }

  double start = Now();
  SaveProfile(list);  // the first save opens and truncates
  const double firstSave = Now() - start;

  start = Now();
  for (int round = 0; round < kRounds; ++round) SaveProfile(list);
  const double save = (Now() - start) / kRounds;
  file.Close();

  Win32ProfileFile reader(folder.File(L"Profile.db"));
  std::vector<ProfileRecord> records;
  start = Now();
  for (int round = 0; round < kRounds; ++round) LoadProfile(reader, records);
  const double load = (Now() - start) / kRounds;

  std::printf("profile of %d devices (%zu records loaded)\n", kDevices, records.size());
  std::printf("  first save (open + write): %8.1f us\n", firstSave * 1e6);
  std::printf("  save through open handle:  %8.1f us\n", save * 1e6);
  std::printf("  load:                      %8.1f us\n", load * 1e6);
  list.DestroyDeviceList();
  return 0;
}
