// The command "/restore-inputs", which the logon entry runs:
// gives back every audio input a copy of the program that is gone (killed,
// crashed, uninstalled) left muted. And the lock it shares with a starting
// copy, so the two never give back or take the same inputs at once.
#pragma once

#include <windows.h>

namespace shadowpane {

// The session's lock on the record of muted inputs (a named mutex in this
// session's namespace: a copy in another session has a record and a
// window of its own). Released at the latest when the object goes.
class InputsLock {
 public:
  InputsLock();
  ~InputsLock();
  InputsLock(const InputsLock&) = delete;
  InputsLock& operator=(const InputsLock&) = delete;

  // Waits at most limitMs; true once this thread holds it (also when a
  // process that held it ended without letting go).
  bool Acquire(DWORD limitMs);
  void Release();

 private:
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

// Runs /restore-inputs; its exit code (0 done, 5 an input not given back
// or not known to be). COM is initialised and ended here.
int RestoreInputs();

}  // namespace shadowpane
