#include "program/StartUpRules.h"

#include "commands/Command.h"

namespace shadowpane {

WideString ExecutableFolder(const WideString& executablePath) {
  const std::size_t slash = executablePath.find_last_of(u"\\/");
  if (slash == WideString::npos) return WideString();
  return executablePath.substr(0, slash + 1);
}

int TakeFirstRun(KeyValueKey* firstRunKey) {
  if (firstRunKey == nullptr) return 0;
  const StoredValue seen = firstRunKey->Query(kFirstRunValue);
  if (seen.type == StoredType::Dword && seen.number != 0) return 0;
  firstRunKey->SetDword(kFirstRunValue, 1);
  return 1;
}

RestoreInputsStep DecideRestoreInputs(bool copyRunning, bool locked) {
  if (copyRunning) return RestoreInputsStep::LeaveToRunningCopy;
  return locked ? RestoreInputsStep::GiveBack : RestoreInputsStep::CannotTell;
}

int RestoreInputsExitCode(RestoreInputsStep step, std::size_t endpointsLeft) {
  switch (step) {
    case RestoreInputsStep::LeaveToRunningCopy:
      return kExitDone;
    case RestoreInputsStep::GiveBack:
      return endpointsLeft == 0 ? kExitDone : kExitNotBlocked;
    default:
      return kExitNotBlocked;
  }
}

}  // namespace shadowpane
