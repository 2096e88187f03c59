#include "program/win32/InputsRestore.h"

#include <objbase.h>

#include <cstddef>

#include "commands/Command.h"
#include "devices/EndpointHolders.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32EndpointHolders.h"
#include "devices/win32/Win32MutedEndpointsLock.h"
#include "program/RecordedInputsGiveBack.h"
#include "program/StartUpRules.h"
#include "program/win32/ConsoleOutput.h"
#include "settings/win32/RegistryStore.h"
#include "ui/main/win32/MainWindow.h"

namespace shadowpane {
namespace {

constexpr wchar_t kInputsLockName[] = L"Local\\KSP2InputsLock";

// Gives back every recorded endpoint no copy holds; how many are left.
std::size_t GiveBackWithSystemObjects() {
  RegistryStore store;
  Win32MutedEndpointsLock recordLock;
  Win32CaptureServices services;
  // A copy in another session that still holds an endpoint keeps it muted;
  // it gives it back when it lets go.
  Win32EndpointHolderSystem holderSystem;
  EndpointHolders holders(holderSystem);
  return GiveBackRecordedInputs(store, &recordLock, services, &holders);
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
      left = GiveBackWithSystemObjects();
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
