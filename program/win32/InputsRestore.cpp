#include "program/win32/InputsRestore.h"

#include <objbase.h>

#include <cstddef>

#include "commands/Command.h"
#include "devices/DeviceList.h"
#include "devices/EndpointMute.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32EndpointHolders.h"
#include "program/SettingsMutedEndpointStore.h"
#include "program/StartUpRules.h"
#include "program/win32/ConsoleOutput.h"
#include "settings/Settings.h"
#include "settings/win32/RegistryStore.h"
#include "ui/main/win32/MainWindow.h"

namespace shadowpane {
namespace {

constexpr wchar_t kInputsLockName[] = L"Local\\KSP2InputsLock";

// Gives back every recorded endpoint; how many are left recorded.
std::size_t GiveBackRecordedInputs() {
  RegistryStore store;
  SettingsMutedEndpointStore recordStore(store);
  MutedEndpoints record(recordStore);
  Win32CaptureServices services;
  // A copy in another session that still holds an endpoint keeps it muted;
  // it gives it back when it lets go.
  Win32EndpointHolderSystem holderSystem;
  EndpointHolders holders(holderSystem);
  // No device holds anything here, so every recorded endpoint is a stray.
  DeviceList none;
  const std::size_t left = ReleaseStrayEndpointMutes(none, services, record, &holders);
  // The system removed the entry before it ran this; whatever is left
  // needs it again for the next logon, and nothing left needs none.
  ApplyRestoreInputsEntry(store, left != 0);
  return left;
}

}  // namespace

InputsLock::InputsLock() : mutex_(CreateMutexW(nullptr, FALSE, kInputsLockName)) {}

InputsLock::~InputsLock() {
  Release();
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool InputsLock::Acquire(DWORD limitMs) {
  if (mutex_ == nullptr || held_) return held_;
  const DWORD waited = WaitForSingleObject(mutex_, limitMs);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  return held_;
}

void InputsLock::Release() {
  if (held_) ReleaseMutex(mutex_);
  held_ = false;
}

int RestoreInputs() {
  InputsLock lock;
  const bool locked = lock.Acquire(kInputsLockWaitMs);
  // Looked for with the lock held: a copy that started before has its
  // window by now, one that starts after finds the record as left here.
  const bool copyRunning = FindWindowW(kMainWindowClassName, nullptr) != nullptr;
  RestoreInputsStep step = DecideRestoreInputs(copyRunning, locked);
  std::size_t left = 0;
  if (step == RestoreInputsStep::GiveBack) {
    if (SUCCEEDED(CoInitialize(nullptr))) {
      left = GiveBackRecordedInputs();
      CoUninitialize();
    } else {
      step = RestoreInputsStep::CannotTell;
    }
  }
  const int exitCode = RestoreInputsExitCode(step, left);
  if (exitCode != kExitDone) PrintLines({kInputsNotRestoredLine});
  return exitCode;
}

}  // namespace shadowpane
