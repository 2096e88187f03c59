// What a main window works with in the tests, the gallery and the
// benchmark: Profile.db in a folder of its own, the real capture services
// and the settings in memory, starting from the defaults. The poster is the caller's.
#pragma once

#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32ProfileFile.h"
#include "tests/support/MemoryKeyValueStore.h"
#include "tests/support/win32/TempFolder.h"
#include "ui/main/win32/MainWindow.h"

namespace shadowpane::testing {

struct MainWindowRig {
  explicit MainWindowRig(DevicePoster& poster) {
    services.captureServices = &capture;
    services.poster = &poster;
    services.profileFile = &profile;
    services.settingsStore = &store;
    services.settings = &settings;
  }
  MainWindowRig(const MainWindowRig&) = delete;
  MainWindowRig& operator=(const MainWindowRig&) = delete;

  TempFolder folder;
  Win32ProfileFile profile{folder.File(L"Profile.db")};
  Win32CaptureServices capture;
  MemoryKeyValueStore store;
  Settings settings;  // the defaults: English, every option off
  MainWindowServices services;
};

}  // namespace shadowpane::testing
